#include "app/dantepage.h"

#include "app/workernotification.h"
#include "resources/resource.h"

CDantePage::CDantePage()
    : CPortTestPage(IDD_DANTE, IDS_DANTE_TEST_TITLE, IDS_DANTE_TEST_SUBTITLE, &DanteTestAnswer,
                    IDS_DANTE_TEST_FAILED_TITLE, IDS_DANTE_TEST_FAILED_TEXT) {}
