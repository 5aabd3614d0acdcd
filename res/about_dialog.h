#pragma once
// The about box (dialog 307), its controls and the link's hand cursor.

#define IDD_ABOUT 307
#define IDC_HAND_CURSOR 311
#define IDC_ABOUT_LINK 352
#define IDC_ABOUT_VERSION 353
