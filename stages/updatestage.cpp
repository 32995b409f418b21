#include "stages/updatestage.h"

#include <memory>

#include "device/mixerids.h"
#include "device/mixerstatus.h"
#include "device/vantorhid.h"
#include "diagnostics/runlog.h"
#include "firmware/firmwareimage.h"
#include "firmware/imageacceptance.h"
#include "firmware/imageheader.h"

namespace {

typedef DWORD(WINAPI* InstallWaitFunction)(DWORD);

// Fixed waits of the update, in milliseconds.
const DWORD RESTART_WAIT_MS = 8000;       // after "EFWU" and after "BOOT"
const DWORD SETTLE_WAIT_MS = 2000;        // after the installation that follows "BOOT"
const DWORD INSTALL_POLL_MS = 500;        // between looks at pending installations
const DWORD BACKUP_CYCLE_MS = 350;        // per "BKFP" cycle
const DWORD BACKUP_PROGRESS_CYCLES = 16;  // "BKFP" cycles that advance the progress
// A mixer that stays busy this long in its "BKFP" cycles is taken as stuck, as in PollStatus.
const DWORD BACKUP_LIMIT_MS = STATUS_BUSY_LIMIT_MS;

enum class Exchange { Done, SendFailed, PollFailed, WrongStatus };

// How an exchange that did not end in its expected status is recorded as the run's failure.
enum class OnFailure {
    GeneralFailure,  // whatever went wrong: the mixer gives no reason worth passing on
    LastError,       // the reason the transfer left; none for a wrong status
    ClosingPass,     // a poll that failed: a general failure; otherwise the last error
};

// When the progress value of a step is sent, once its command has been answered.
enum class Report { Never, Always, OnceSent };

// One command of the update and what follows it. A command that opens a pass is followed by the
// image's blocks; before each, the progress is base + (scale * offset) / size, offset counted
// from the start of the image.
struct Step {
    const char* command;
    DWORD expected;
    OnFailure onFailure;
    Report report;
    LONG progress;
    DWORD blockBase;  // the blocks' progress base; with blockScale 0, no blocks follow
    DWORD blockScale;
};

// clang-format off
// The code image: erase, the boot loader's preparation, then the write and verify passes. The erase
// and the preparation report their progress whatever their result; the verify pass closes at 100
// unless its closing command could not be sent.
const Step CODE_STEPS[] = {
    // command expected          on failure                 report            progress  base scale
    {"ERFW",   STATUS_DONE,      OnFailure::GeneralFailure, Report::Always,     5,       0,   0},
    {"BLFW",   STATUS_DONE,      OnFailure::GeneralFailure, Report::Always,    10,       0,   0},
    {"WRFW",   STATUS_PASS_OPEN, OnFailure::LastError,      Report::Never,      0,      10,  55},
    {"WRFI",   STATUS_DONE,      OnFailure::ClosingPass,    Report::Never,      0,       0,   0},
    {"VFFW",   STATUS_PASS_OPEN, OnFailure::LastError,      Report::Never,      0,      65,  30},
    {"VFFI",   STATUS_DONE,      OnFailure::ClosingPass,    Report::OnceSent, 100,       0,   0},
};

// The logic image's erase, made only under the second update identity, under the marquee.
const Step LOGIC_ERASE_STEPS[] = {
    {"ERFP",   STATUS_DONE,      OnFailure::GeneralFailure, Report::Never,      0,       0,   0},
};

// One logic pass, written and verified; pass k's blocks are LOGIC_PASS_SHIFT * k further on.
const Step LOGIC_PASS_STEPS[] = {
    {"WRFP",   STATUS_PASS_OPEN, OnFailure::LastError,      Report::Never,      0,     100,  17},
    {"WFPI",   STATUS_DONE,      OnFailure::ClosingPass,    Report::Never,      0,       0,   0},
    {"VFFP",   STATUS_PASS_OPEN, OnFailure::LastError,      Report::Never,      0,     117,  16},
    {"VFPI",   STATUS_DONE,      OnFailure::ClosingPass,    Report::Never,      0,       0,   0},
};
// clang-format on
const DWORD LOGIC_PASS_SHIFT = 50;
// The backup of the first logic pass moves the progress from where its verify pass ended up to the
// second pass's start.
const DWORD BACKUP_PROGRESS_BASE = 134;
const DWORD BACKUP_PROGRESS_END = 150;

class CUpdateRun {
public:
    CUpdateRun(CWorkerSite& site, const FirmwareImageIds& images)
        : m_site(site), m_images(images) {}
    void Run();

private:
    void WaitForInstallations();
    std::unique_ptr<CVantorHid> OpenMixer(WORD productId);

    // The steps in order, until one fails; `shift` moves the blocks' progress base.
    template <std::size_t N>
    void RunSteps(const Step (&steps)[N], const CFirmwareImage& image, DWORD shift = 0);
    // One step: false when the run goes no further.
    bool RunStep(const Step& step, const CFirmwareImage& image, DWORD shift);
    // One command and its status poll.
    Exchange ExchangeCommand(const char* code, DWORD expected);
    // The image's blocks from its header on, each followed by its status poll; before each block,
    // progress base + (scale * offset) / size.
    void SendBlocks(const CFirmwareImage& image, DWORD base, DWORD scale);

    void Fail(DWORD error);
    // A failure with no code of its own: the reason is the thread's last error at that moment.
    void FailWithLastError();
    void RecordFailure(OnFailure onFailure, Exchange result);

    // Loads and accepts an image. False when there is nothing to program: the run has failed,
    // unless a logic image is simply not there, which leaves the update a success.
    bool LoadImage(WORD id, ImageKind kind, bool requireSub, CFirmwareImage* image);
    void ProgramCode();
    void ProgramLogic();
    void BackUpLogic(DWORD k);
    void Close();
    void LogRestartedMixer();
    void StoreOutcome();

    CWorkerSite& m_site;
    const FirmwareImageIds m_images;
    bool m_quiet = false;
    InstallWaitFunction m_installWait = nullptr;
    std::unique_ptr<CVantorHid> m_mixer;
    bool m_alt = false;  // the mixer answered under PRODUCT_ID_UPDATE_ALT
    bool m_ok = true;
    DWORD m_error = 0;
    ImageHeaderInfo m_info{};
    CFirmwareImage m_code;
    CFirmwareImage m_logic;
};

void CUpdateRun::Run() {
    m_quiet = m_site.IsQuiet();
    m_site.Animate();

    // Looked up, not linked: the program's own device-setup imports have loaded the module.
    if (HMODULE setupApi = GetModuleHandleA("setupapi.dll")) {
        FARPROC proc = GetProcAddress(setupApi, "CMP_WaitNoPendingInstallEvents");
        m_installWait = reinterpret_cast<InstallWaitFunction>(reinterpret_cast<void (*)()>(proc));
    }
    WaitForInstallations();

    // A mixer in application mode is sent into update mode; one already there is not found here.
    if (std::unique_ptr<CVantorHid> running = OpenMixer(PRODUCT_ID_RUN)) {
        running->SendCommand("EFWU");
        Sleep(RESTART_WAIT_MS);
    }
    WaitForInstallations();

    m_mixer = OpenMixer(PRODUCT_ID_UPDATE);
    if (!m_mixer) {
        m_mixer = OpenMixer(PRODUCT_ID_UPDATE_ALT);
        m_alt = m_mixer != nullptr;
    }
    m_site.StartProgress();
    if (!m_mixer) {
        runlog::Write("mixer not found in update mode");
        if (!m_quiet) {
            m_site.Ask(WorkerQuestion::NotConnected);
        }
        m_site.StoreFailure(ERROR_BAD_UNIT);
        m_site.Done();
        return;
    }

    ProgramCode();
    if (m_ok) {
        ProgramLogic();
    }
    Close();
}

void CUpdateRun::WaitForInstallations() {
    if (m_installWait == nullptr) {
        return;
    }
    while (m_installWait(0) == WAIT_TIMEOUT) {
        Sleep(INSTALL_POLL_MS);
    }
}

std::unique_ptr<CVantorHid> CUpdateRun::OpenMixer(WORD productId) {
    try {
        return std::make_unique<CVantorHid>(VENDOR_ID, productId, 0);
    } catch (...) {
        // Not there, or no memory to find out: either way the mixer cannot be reached.
        return nullptr;
    }
}

template <std::size_t N>
void CUpdateRun::RunSteps(const Step (&steps)[N], const CFirmwareImage& image, DWORD shift) {
    for (const Step& step : steps) {
        const bool next = RunStep(step, image, shift);
        m_mixer->LogCommand();
        if (!next) {
            return;
        }
    }
}

bool CUpdateRun::RunStep(const Step& step, const CFirmwareImage& image, DWORD shift) {
    const Exchange result = ExchangeCommand(step.command, step.expected);
    if (step.report == Report::Always ||
        (step.report == Report::OnceSent && result != Exchange::SendFailed)) {
        m_site.Progress(step.progress);
    }
    if (result != Exchange::Done) {
        RecordFailure(step.onFailure, result);
        return false;
    }
    if (step.blockScale != 0) {
        SendBlocks(image, step.blockBase + shift, step.blockScale);
    }
    return m_ok;
}

Exchange CUpdateRun::ExchangeCommand(const char* code, DWORD expected) {
    // A wrong status leaves no error of its own; an older one must not stand in for it.
    SetLastError(ERROR_SUCCESS);
    if (!m_mixer->SendCommand(code)) {
        return Exchange::SendFailed;
    }
    DWORD status = 0;
    if (!m_mixer->PollStatus(&status)) {
        return Exchange::PollFailed;
    }
    return status == expected ? Exchange::Done : Exchange::WrongStatus;
}

void CUpdateRun::SendBlocks(const CFirmwareImage& image, DWORD base, DWORD scale) {
    const DWORD size = image.GetImageSize();
    for (DWORD offset = m_info.headerLength; offset < size && m_ok; offset += DATA_BLOCK_SIZE) {
        m_site.Progress(static_cast<LONG>(base + (scale * offset) / size));
        SetLastError(ERROR_SUCCESS);
        DWORD status = 0;
        if (!m_mixer->WriteFeature(REPORT_ID_DATA, image.GetData() + offset, DATA_BLOCK_SIZE) ||
            !m_mixer->PollStatus(&status) || status != STATUS_DONE) {
            FailWithLastError();
        }
    }
}

void CUpdateRun::Fail(DWORD error) {
    m_ok = false;
    m_error = error;
    runlog::Write("failure " + runlog::ErrorText(error));
}

void CUpdateRun::FailWithLastError() {
    m_ok = false;
    if (m_error == 0) {
        m_error = GetLastError();
        // A wrong status leaves no code: the command's line in the log names the status.
        runlog::Write(m_error != 0 ? "failure " + runlog::ErrorText(m_error)
                                   : std::string("failure without a code of its own"));
    }
}

void CUpdateRun::RecordFailure(OnFailure onFailure, Exchange result) {
    if (onFailure == OnFailure::GeneralFailure ||
        (onFailure == OnFailure::ClosingPass && result == Exchange::PollFailed)) {
        Fail(ERROR_GEN_FAILURE);
    } else {
        FailWithLastError();
    }
}

bool CUpdateRun::LoadImage(WORD id, ImageKind kind, bool requireSub, CFirmwareImage* image) {
    const ImageLoadResult loaded = image->LoadFromResource(GetModuleHandleA(nullptr), id);
    const std::string name = kind == ImageKind::Code ? "code" : "logic";
    if (loaded == ImageLoadResult::NotFound && kind == ImageKind::Logic) {
        runlog::Write("image logic " + std::to_string(id) + " not carried: no logic update");
        return false;
    }
    if (loaded != ImageLoadResult::Loaded) {
        FailWithLastError();
        return false;
    }
    if (!AcceptImage(image->GetData(), image->GetImageSize(), kind, requireSub, &m_info)) {
        // The message only informs: whatever the person answers, nothing is programmed.
        runlog::Write("image " + name + " " + std::to_string(id) + " refused as damaged");
        if (!m_quiet) {
            m_site.Ask(WorkerQuestion::BadImage);
        }
        Fail(ERROR_BAD_FORMAT);
        return false;
    }
    runlog::Write("image " + name + " " + std::to_string(id) + " accepted, " +
                  std::to_string(image->GetImageSize()) + " bytes");
    return true;
}

void CUpdateRun::ProgramCode() {
    if (LoadImage(m_images.code, ImageKind::Code, false, &m_code)) {
        RunSteps(CODE_STEPS, m_code);
    }
}

void CUpdateRun::ProgramLogic() {
    const WORD id = m_alt ? m_images.logic0804 : m_images.logic0800;
    if (!LoadImage(id, ImageKind::Logic, m_alt, &m_logic)) {
        return;
    }
    if (m_alt) {
        m_site.Marquee(true);
        RunSteps(LOGIC_ERASE_STEPS, m_logic);
        m_site.Marquee(false);
    }
    // One pass under the second update identity; two, each backed up, under the first.
    for (DWORD k = m_alt ? 1 : 0; k < 2 && m_ok; ++k) {
        RunSteps(LOGIC_PASS_STEPS, m_logic, LOGIC_PASS_SHIFT * k);
        if (m_ok && !m_alt) {
            BackUpLogic(k);
        }
    }
}

void CUpdateRun::BackUpLogic(DWORD k) {
    SetLastError(ERROR_SUCCESS);
    if (!m_mixer->SendCommand("BKFP")) {
        FailWithLastError();
        return;
    }
    // The backup takes a while: the progress moves one step per cycle, for a limited number of
    // cycles, while the mixer answers busy.
    const DWORD start = timeGetTime();
    for (DWORD r = 0;; ++r) {
        DWORD status = 0;
        const bool read = m_mixer->ReadStatusPass(&status);
        if (r < BACKUP_PROGRESS_CYCLES) {
            m_site.Progress(static_cast<LONG>(BACKUP_PROGRESS_BASE + LOGIC_PASS_SHIFT * k + r));
        }
        Sleep(BACKUP_CYCLE_MS);
        if (!read) {
            Fail(ERROR_GEN_FAILURE);
            break;
        }
        if (status != STATUS_BUSY) {
            if (status != STATUS_DONE) {
                FailWithLastError();
            }
            break;
        }
        if (timeGetTime() - start >= BACKUP_LIMIT_MS) {
            Fail(ERROR_TIMEOUT);
            break;
        }
    }
    m_mixer->LogCommand();
    m_site.Progress(static_cast<LONG>(BACKUP_PROGRESS_END + LOGIC_PASS_SHIFT * k));
}

void CUpdateRun::Close() {
    if (!m_ok && m_error == 0) {
        m_error = GetLastError();
    }
    m_mixer->SendCommand("BOOT");
    m_mixer.reset();  // the mixer leaves the bus now; nothing uses the object after "BOOT"
    m_site.Animate();
    Sleep(RESTART_WAIT_MS);
    WaitForInstallations();
    Sleep(SETTLE_WAIT_MS);
    LogRestartedMixer();
    StoreOutcome();
    m_site.Done();
}

void CUpdateRun::LogRestartedMixer() {
    // The version the mixer came back with: only looked for when someone will read it.
    if (!runlog::IsOn()) {
        return;
    }
    runlog::Write("looking for the restarted mixer");
    if (!OpenMixer(PRODUCT_ID_RUN) && !OpenMixer(PRODUCT_ID_UPDATE) &&
        !OpenMixer(PRODUCT_ID_UPDATE_ALT)) {
        runlog::Write("restarted mixer not found");
    }
}

void CUpdateRun::StoreOutcome() {
    if (m_ok) {
        m_site.StoreSuccess();
        return;
    }
    // A failed run never records 0: to a script that runs the wizard quietly, 0 is success.
    m_site.StoreFailure(m_error != 0 ? m_error : GetLastError());
}

}  // namespace

void RunUpdateStage(CWorkerSite& site, const FirmwareImageIds& images) {
    CUpdateRun(site, images).Run();
}
