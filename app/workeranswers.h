// The answer values through which a progress page hands a message box's result to its waiting
// worker: one per page, 0 until the page stores a result, only ever read or written with
// InterlockedExchange. Process-wide, and never reset between pages.
#pragma once

#include "platform/win32api.h"

extern LONG volatile UpdateAnswer;
extern LONG volatile UsbTestAnswer;
extern LONG volatile DanteTestAnswer;
