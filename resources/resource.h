// Resource ids, shared by the resource script and the C++ code: plain #defines only, since the
// resource compiler reads this file too.
#pragma once

// Application icon, wizard art and the busy animation.
#define IDI_APP 100
#define IDB_WATERMARK 101
#define IDB_HEADER 102
#define IDR_BUSY_AVI 103
// The wizard's bitmaps drawn for 150 % and 200 % (144 and 192 dots per inch); the two above are
// drawn for 100 %.
#define IDB_WATERMARK_150 120
#define IDB_WATERMARK_200 121
#define IDB_HEADER_150 122
#define IDB_HEADER_200 123

// Dialog templates of the wizard pages.
#define IDD_WELCOME 105
#define IDD_INSTALLING 106
#define IDD_FINISH 107
#define IDD_TESTING 108
#define IDD_DANTE 109

// Firmware images (RCDATA). The logic image comes in one build per update-mode product id.
#define IDR_CODE_IMAGE 110
#define IDR_LOGIC_IMAGE_0800 111
#define IDR_LOGIC_IMAGE_0804 112

// Controls.
#define IDC_STATIC (-1)
#define IDC_WELCOME_TITLE 1001
#define IDC_ANIMATE 1002
#define IDC_FINISH_TITLE 1003
#define IDC_FINISH_TEXT 1004
#define IDC_FINISH_FOOTER 1005
#define IDC_PROGRESS 1006

// String table.
#define IDS_CAPTION 1
#define IDS_UPDATE_TITLE 2
#define IDS_UPDATE_SUBTITLE 3
#define IDS_BAD_IMAGE 4
#define IDS_NOT_CONNECTED 12
#define IDS_UPDATE_FAILED_TITLE 15
#define IDS_UPDATE_FAILED_TEXT 16
#define IDS_USB_TEST_TITLE 17
#define IDS_USB_TEST_SUBTITLE 18
#define IDS_DANTE_TEST_TITLE 19
#define IDS_DANTE_TEST_SUBTITLE 20
#define IDS_USB_TEST_FAILED_TITLE 21
#define IDS_USB_TEST_FAILED_TEXT 22
#define IDS_USB_TEST_PASSED_TEXT 23
#define IDS_DANTE_TEST_FAILED_TITLE 24
#define IDS_DANTE_TEST_FAILED_TEXT 25
#define IDS_DANTE_TEST_PASSED_TEXT 26
#define IDS_BOTH_TESTS_PASSED_TEXT 27
#define IDS_ANOTHER_UPDATE 28
#define IDS_LOG_NOT_WRITTEN 29
