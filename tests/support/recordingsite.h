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
    void Animate() override { Record("posted animate"); }
    void StartProgress() override { Record("posted progress start"); }
    void Progress(LONG value) override {
        transcript.push_back("posted progress " + std::to_string(value));
        progress.push_back(value);
    }
    void Marquee(bool on) override { Record(on ? "posted marquee on" : "posted marquee off"); }
    void Done() override { Record("posted done"); }
    LONG Ask(WorkerQuestion question) override {
        Record(question == WorkerQuestion::BadImage ? "sent ask bad image"
                                                    : "sent ask not connected");
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
    std::vector<LONG> progress;  // every Progress value, in order

private:
    void Record(const std::string& line) {
        transcript.push_back(line);
        m_steps.push_back(line);
    }

    std::vector<std::string> m_steps;
};
