#pragma once
// Resource ids of the editor frame (dialog 301), the note page (dialog 304) and the add-in's
// icon. Shared by the resource script and the C++ code, so plain macros only.

#define IDD_EDITOR_FRAME 301
#define IDI_MARUPO 302
#define IDD_NOTE_PAGE 304

#define IDC_EDITOR_TABS 311
#define IDC_EDITOR_CATEGORY 313
#define IDC_EDITOR_PRIVATE 314
#define IDC_EDITOR_SETTINGS 361
#define IDC_EDITOR_ABOUT 362
#define IDC_EDITOR_SPARE 363

#define IDC_NOTE_TEXT 312

// Items the frame adds to its system menu.
#define IDM_SYSTEM_ABOUT 16
#define IDM_SYSTEM_SETTINGS 32
