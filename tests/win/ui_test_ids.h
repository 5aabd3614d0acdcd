#pragma once
// Resource ids of the dialog layer's test templates (tests/win/ui_test.rc).
#define IDD_UI_FORM 9101
#define IDD_UI_PAGE 9102
#define IDM_UI_POPUP 9103

#define IDC_UI_NAME 1001
#define IDC_UI_SHORT 1002
#define IDC_UI_FREE 1003
#define IDC_UI_LABEL 1004
#define IDC_UI_CHECK 1005
#define IDC_UI_RADIO_A 1010
#define IDC_UI_RADIO_B 1011
#define IDC_UI_RADIO_C 1012
#define IDC_UI_ACT 1013
#define IDC_UI_RADIO_X 1020
#define IDC_UI_RADIO_Y 1021

#define IDC_UI_PAGE_EDIT 1101
#define IDC_UI_PAGE_ACT 1102
