#include "app/workernotification.h"

LONG volatile UpdateAnswer = 0;
LONG volatile UsbTestAnswer = 0;
LONG volatile DanteTestAnswer = 0;

void NotifyPage(CWnd* pPage, UINT code, LONG value) {
    SendNotifyMessageA(pPage->GetSafeHwnd(), WM_APP, code, value);
}

void AskUser(CWnd* pPage, LONG volatile* pAnswer, UINT code) {
    InterlockedExchange(pAnswer, 0);
    NotifyPage(pPage, code);
    // Waits for a person, so without a bound of its own.
    while (InterlockedExchange(pAnswer, 0) == 0) {
        Sleep(100);
    }
}
