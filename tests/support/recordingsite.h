// A worker site that records what a stage does to it, in order, as a transcript: "notify C V",
// "ask C", "success", "failure E". A stage runs on the test's own thread against it, without a
// page or a window, so a test sees every raw value the stage sends.
#pragma once

#include <string>
#include <vector>

#include "update/workersite.h"

class RecordingSite : public CWorkerSite {
public:
    void Notify(UINT code, LONG value = 0) override {
        transcript.push_back("notify " + std::to_string(code) + " " + std::to_string(value));
        if (code == WN_PROGRESS) {
            progress.push_back(value);
        }
    }
    LONG Ask(UINT code) override {
        transcript.push_back("ask " + std::to_string(code));
        return IDOK;
    }
    bool IsQuiet() const override { return quiet; }
    bool EarlierStageFailed() const override { return earlierFailure; }
    void StoreSuccess() override { transcript.push_back("success"); }
    void StoreFailure(DWORD dwError) override {
        transcript.push_back("failure " + std::to_string(dwError));
    }

    // The transcript without the WN_PROGRESS lines.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const std::string& line : transcript) {
            if (line.rfind("notify 2 ", 0) != 0) {
                steps.push_back(line);
            }
        }
        return steps;
    }

    bool quiet = true;
    bool earlierFailure = false;
    std::vector<std::string> transcript;
    std::vector<LONG> progress;  // every WN_PROGRESS value, in order
};
