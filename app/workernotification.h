// How a worker thread talks to its page: worker notifications (WM_APP with a code and a value, sent
// with SendNotifyMessageA so the worker never waits for the page), and the answer values through
// which a page hands back a message box's result.
#pragma once

#include "framework/wnd.h"
#include "platform/win32api.h"

enum WorkerNotification : UINT {
    WN_ANIMATE = 0,            // busy without measurable progress: the animation plays
    WN_PROGRESS_START = 1,     // measurable work begins: the progress bar at 0
    WN_PROGRESS = 2,           // the value is the new progress
    WN_ASK_NOT_CONNECTED = 3,  // no mixer: ask the user, answer through the answer value
    WN_DONE = 4,               // the outcome is stored: move on
    WN_ASK_BAD_IMAGE = 5,      // a firmware image was rejected: ask the user
    WN_MARQUEE_ON = 6,         // a long step without measurable progress
    WN_MARQUEE_OFF = 7,
};

// One per progress page; 0 until the page stores a message box's result. Only ever read or written
// with InterlockedExchange.
extern LONG volatile UpdateAnswer;
extern LONG volatile UsbTestAnswer;
extern LONG volatile DanteTestAnswer;

void NotifyPage(CWnd* pPage, UINT code, LONG value = 0);

// Asks the page for its message box (WN_ASK_NOT_CONNECTED or WN_ASK_BAD_IMAGE) and waits, 100 ms a
// look, until the page has stored the result. An answer left from an earlier box is cleared first,
// and each answer is consumed once.
void AskUser(CWnd* pPage, LONG volatile* pAnswer, UINT code);
