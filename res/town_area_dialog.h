#pragma once
// The town-area chooser and its list.
#define IDD_TOWN_AREA_CHOICE 306
#define IDC_TOWN_AREA_LIST 368
