// Command ids of the framework's wizard sheets: the ids of the wizard buttons, which a wizard's
// modal run also returns when it ends through them.
#pragma once

#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025
