// The Dante serial port test page.
#pragma once

#include "app/porttestpage.h"

class CDantePage : public CPortTestPage {
public:
    CDantePage();
    LPCSTR GetLogName() const override { return "dante-test"; }

    UINT RunWorker() override { return DanteTestWorker(); }
    // The Dante serial port test, on the page's worker thread.
    UINT DanteTestWorker();

    // After a passed USB test in this run, the finish page speaks of both tests.
    void StoreSuccess() override;
};
