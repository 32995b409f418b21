// The USB port test page.
#pragma once

#include "app/porttestpage.h"

class CTestingPage : public CPortTestPage {
public:
    CTestingPage();
    LPCSTR GetLogName() const override { return "usb-test"; }

    UINT RunWorker() override { return UsbTestWorker(); }
    // The USB audio port test, on the page's worker thread.
    UINT UsbTestWorker();

    void StoreSuccess() override;
};
