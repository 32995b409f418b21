#include "app/testingpage.h"

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "resources/resource.h"

CTestingPage::CTestingPage()
    : CPortTestPage(IDD_TESTING, IDS_USB_TEST_TITLE, IDS_USB_TEST_SUBTITLE, &UsbTestAnswer,
                    IDS_USB_TEST_FAILED_TITLE, IDS_USB_TEST_FAILED_TEXT) {}

void CTestingPage::StoreSuccess() {
    CSetupDlg::SetWorkerOutcome(0, IDS_USB_TEST_PASSED_TEXT, 0, 0);
}
