// The Dante serial port test, on the Dante test page's worker thread: the mixer's counter of its
// Dante serial link read twice, five seconds apart; the link is sound when it grew by at most 2.
#include <memory>

#include "device/vantorhid.h"
#include "stages/porttestopening.h"
#include "stages/porttests.h"

namespace {

const DWORD COUNTER_NOT_CONNECTED = 0xFFFFFFFF;
const DWORD READING_INTERVAL_MS = 5000;
const DWORD WAIT_POLL_MS = 100;
const DWORD ALLOWED_GROWTH = 2;

class CDanteTestRun {
public:
    explicit CDanteTestRun(CWorkerSite& site) : m_site(site) {}
    void Run();

private:
    // One reading of the counter: "GECF", then a single read of its answer, no retries.
    bool ReadCounter(CVantorHid& mixer, DWORD* reading);
    bool Test(CVantorHid& mixer);

    CWorkerSite& m_site;
    DWORD m_error = 0;
};

bool CDanteTestRun::ReadCounter(CVantorHid& mixer, DWORD* reading) {
    DWORD word = 0;
    if (!mixer.SendCommand("GECF") || !mixer.ReadFeature(REPORT_ID_COMMAND, &word, sizeof word)) {
        m_error = GetLastError();
        return false;
    }
    *reading = ntohl(word);
    return true;
}

bool CDanteTestRun::Test(CVantorHid& mixer) {
    DWORD first = 0;
    if (!ReadCounter(mixer, &first)) {
        return false;
    }
    if (first == COUNTER_NOT_CONNECTED) {
        m_error = ERROR_DEVICE_NOT_CONNECTED;
        return false;
    }
    const DWORD start = timeGetTime();
    for (DWORD elapsed = 0; elapsed < READING_INTERVAL_MS; elapsed = timeGetTime() - start) {
        m_site.Progress(static_cast<LONG>((elapsed * 100) / READING_INTERVAL_MS));
        Sleep(WAIT_POLL_MS);
    }
    DWORD second = 0;
    if (!ReadCounter(mixer, &second)) {
        return false;
    }
    // Unsigned: a counter that went down shows as a huge growth.
    if (second - first > ALLOWED_GROWTH) {
        m_error = static_cast<DWORD>(SCARD_F_COMM_ERROR);
        return false;
    }
    return true;
}

void CDanteTestRun::Run() {
    std::unique_ptr<CVantorHid> mixer;
    const PortTestOpening opening = OpenPortTest(m_site, &mixer);
    if (opening == PortTestOpening::Skipped) {
        return;
    }
    bool passed = false;
    if (opening == PortTestOpening::NoMixer) {
        m_error = ERROR_BAD_UNIT;
    } else {
        passed = Test(*mixer);
        m_site.Progress(100);
    }

    // Closed before the outcome: after Done the worker touches nothing of the program's.
    mixer.reset();
    if (passed) {
        m_site.StoreSuccess();
    } else {
        m_site.StoreFailure(m_error);
    }
    m_site.Done();
}

}  // namespace

void RunDanteTest(CWorkerSite& site) {
    CDanteTestRun(site).Run();
}
