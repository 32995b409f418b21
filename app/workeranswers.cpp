#include "app/workeranswers.h"

LONG volatile UpdateAnswer = 0;
LONG volatile UsbTestAnswer = 0;
LONG volatile DanteTestAnswer = 0;
