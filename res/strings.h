#pragma once
// String-table ids.
#define IDS_PRIMARY_CONTACT_SUFFIX 103
#define IDS_DOWNLOAD_PAGE_URL 107
#define IDS_SETTINGS_KEY 108
#define IDS_MENU_EDIT 109
#define IDS_MENU_NEW 110
