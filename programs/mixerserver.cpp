#include "programs/mixerserver.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace programs {

namespace {

bool WriteFile(const std::string& path, const std::vector<BYTE>& data) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    file.close();
    return !file.fail();
}

}  // namespace

sigset_t BlockServerSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR2}) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

bool OpenTranscript(sim::ServerOptions* options, std::ofstream* file, std::string* error) {
    if (options->transcriptPath.empty()) {
        return true;
    }
    file->open(options->transcriptPath);
    if (!*file) {
        *error = "cannot write the transcript to " + options->transcriptPath;
        return false;
    }
    *file << std::unitbuf;  // a reader follows it while the mixer works
    options->config.transcript = file;
    return true;
}

void TellReplayVerdicts(const char* program, const sim::SimulatedVantor& mixer) {
    for (const std::string& verdict : {mixer.GetReplayDifference(), mixer.GetReplayUnasked()}) {
        if (!verdict.empty()) {
            std::fprintf(stderr, "%s: %s\n", program, verdict.c_str());
        }
    }
}

bool WriteFlashOut(const sim::ServerOptions& options, const sim::SimulatedVantor& mixer,
                   std::string* error) {
    if (options.flashDir.empty()) {
        return true;
    }
    std::error_code made;
    std::filesystem::create_directories(options.flashDir, made);
    const std::string dir = options.flashDir + "/";
    if (made || !WriteFile(dir + "code.bin", mixer.GetCodeFlash()) ||
        !WriteFile(dir + "logic.bin", mixer.GetLogicFlash())) {
        *error = "cannot write the flash to " + options.flashDir;
        return false;
    }
    return true;
}

}  // namespace programs
