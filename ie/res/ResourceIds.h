// Resource ids of the add-on module. The numbers are fixed: the dialogs,
// menu and artwork are looked up by them, and QuillonIE.rc includes this
// file, so it must stay plain preprocessor definitions.
#pragma once

// Dialogs.
#define IDD_ABOUT                 102
#define IDD_DOWNLOAD_WARNING      133
#define IDD_SETTINGS              134
#define IDD_SAFETY_ALERT          135
#define IDD_DO_NOT_WARN_LIST      223

// The product menu of the status button; its first submenu is shown.
#define IDR_PRODUCT_MENU          202
#define ID_MENU_HELP              32780
#define ID_MENU_TELL_A_FRIEND     32781
#define ID_MENU_SETTINGS          32782
#define ID_MENU_VIEW_SITE_DETAILS 32783
#define ID_MENU_ABOUT             32784
#define ID_MENU_DO_NOT_WARN_LIST  32785
#define ID_MENU_SHOW_BALLOON      32791
#define ID_MENU_SEND_FEEDBACK     32793
#define ID_MENU_GET_LATEST        32794
#define ID_MENU_ENABLE            32795

// Status button faces: strips of three 90 x 18 frames (normal, pointer
// over, pressed), except "wait", a single frame.
#define IDB_FACE_GREEN            239
#define IDB_FACE_RED              240
#define IDB_FACE_YELLOW           241
#define IDB_FACE_WAIT             253
#define IDB_FACE_OFF              255
#define IDB_FACE_GREY             267
#define IDB_FACE_SERVICE_DOWN     270  // ratings unavailable: the service is not running

// Balloon, alert and download warning artwork.
#define IDB_BALLOON_CLOSE         249  // three 11 x 11 frames, magenta transparent
#define IDB_DOWNLOAD_INFO_BADGE   265  // 140 x 124, yellow, magenta transparent
#define IDB_DOWNLOAD_WARN_BADGE   266  // 115 x 118, red, magenta transparent
#define IDB_SAFETY_ALERT_PICTURE  268  // 151 x 61

// The product icon, the large icon of every dialog.
#define IDI_QUILLON               264

// About dialog.
#define IDC_ABOUT_VERSION         210
#define IDC_ABOUT_EULA            215
#define IDC_ABOUT_LEARN_MORE      221
#define IDC_ABOUT_PRIVACY         222

// Download warning dialog.
#define IDC_DOWNLOAD_REPORT       213
#define IDC_DOWNLOAD_VERDICT      216
#define IDC_DOWNLOAD_PICTURE      217
#define IDC_DOWNLOAD_QUESTION     219

// Settings dialog.
#define IDC_SETTINGS_PIP          213
#define IDC_SETTINGS_HIGHLIGHT    220
#define IDC_SETTINGS_SHOW_ICONS   223

// Real-time safety alert.
#define IDC_ALERT_PICTURE         217
#define IDC_ALERT_REASON          229
#define IDC_ALERT_LEFT_LINK       230
#define IDC_ALERT_RIGHT_LINK      231
#define IDC_ALERT_TITLE           232

// Do-not-warn list dialog.
#define IDC_LIST_SITES            207
#define IDC_LIST_SITE_EDIT        225
#define IDC_LIST_ADD              226
#define IDC_LIST_REMOVE           227
