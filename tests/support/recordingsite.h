// A worker site that records what a stage does to it, in order, as a transcript, marked as Wine's
// message sequences are: a notification the page is posted and the worker does not wait for
// ("posted progress 10"), a question the worker waits on as on a sent message ("sent ask not
// connected"), and the stored outcome ("success", "failure E"). A stage runs on the test's own
// thread against it, without a page or a window, so a test sees every raw value the stage sends.
#pragma once

#include <string>
#include <vector>

#include "stages/workersite.h"

class RecordingSite : public CWorkerSite {
public:
    void Notify(UINT code, LONG value = 0) override {
        if (code == WN_PROGRESS) {
            transcript.push_back("posted progress " + std::to_string(value));
            progress.push_back(value);
            return;
        }
        Record("posted " + Name(code));
    }
    LONG Ask(UINT code) override {
        Record("sent " + Name(code));
        return IDOK;
    }
    bool IsQuiet() const override { return quiet; }
    bool EarlierStageFailed() const override { return earlierFailure; }
    void StoreSuccess() override { Record("success"); }
    void StoreFailure(DWORD dwError) override { Record("failure " + std::to_string(dwError)); }

    // The transcript without the progress values, which `progress` holds.
    const std::vector<std::string>& Steps() const { return m_steps; }

    bool quiet = true;
    bool earlierFailure = false;
    std::vector<std::string> transcript;
    std::vector<LONG> progress;  // every WN_PROGRESS value, in order

private:
    static std::string Name(UINT code) {
        switch (code) {
            case WN_ANIMATE:
                return "animate";
            case WN_PROGRESS_START:
                return "progress start";
            case WN_ASK_NOT_CONNECTED:
                return "ask not connected";
            case WN_DONE:
                return "done";
            case WN_ASK_BAD_IMAGE:
                return "ask bad image";
            case WN_MARQUEE_ON:
                return "marquee on";
            case WN_MARQUEE_OFF:
                return "marquee off";
            default:
                return "unknown notification " + std::to_string(code);
        }
    }
    void Record(const std::string& line) {
        transcript.push_back(line);
        m_steps.push_back(line);
    }

    std::vector<std::string> m_steps;
};
