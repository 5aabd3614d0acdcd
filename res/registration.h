#pragma once
// Resource ids of self-registration and of the commands' menu bitmaps.
#define IDR_MARUPO_ADDIN 101
#define IDB_EDIT_COMMAND 201
#define IDB_NEW_COMMAND 312
