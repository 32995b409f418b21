#include "app/testingpage.h"

#include "app/workernotification.h"
#include "resources/resource.h"

CTestingPage::CTestingPage()
    : CPortTestPage(IDD_TESTING, IDS_USB_TEST_TITLE, IDS_USB_TEST_SUBTITLE, &UsbTestAnswer,
                    IDS_USB_TEST_FAILED_TITLE, IDS_USB_TEST_FAILED_TEXT) {}
