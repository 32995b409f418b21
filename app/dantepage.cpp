#include "app/dantepage.h"

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "resources/resource.h"

CDantePage::CDantePage()
    : CPortTestPage(IDD_DANTE, IDS_DANTE_TEST_TITLE, IDS_DANTE_TEST_SUBTITLE, &DanteTestAnswer,
                    IDS_DANTE_TEST_FAILED_TITLE, IDS_DANTE_TEST_FAILED_TEXT) {}

void CDantePage::StoreSuccess() {
    int nTitleId = 0;
    int nBodyId = 0;
    int nFooterId = 0;
    int nError = 0;
    CSetupDlg::GetWorkerOutcome(&nTitleId, &nBodyId, &nFooterId, &nError);
    CSetupDlg::SetWorkerOutcome(0,
                                nBodyId == IDS_USB_TEST_PASSED_TEXT ? IDS_BOTH_TESTS_PASSED_TEXT
                                                                    : IDS_DANTE_TEST_PASSED_TEXT,
                                0, 0);
}
