#include "update/updateworker.h"

#include <memory>

#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "update/firmwareimage.h"
#include "update/imageacceptance.h"
#include "update/imageheader.h"

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

class CUpdateRun {
public:
    CUpdateRun(CWorkerSite& site, const FirmwareImageIds& images)
        : m_site(site), m_images(images) {}
    void Run();

private:
    void Notify(UINT code, LONG value = 0) { m_site.Notify(code, value); }
    void WaitForInstallations();
    std::unique_ptr<CVantorHid> OpenMixer(WORD productId);

    // One command and its status poll.
    Exchange ExchangeCommand(const char* code, DWORD expected);
    // The image's blocks from its header on, each followed by its status poll; before each block,
    // progress base + (scale * offset) / size.
    void SendBlocks(const CFirmwareImage& image, DWORD base, DWORD scale);

    void Fail(DWORD error);
    // A failure with no code of its own: the reason is the thread's last error at that moment.
    void FailWithLastError();
    void FailClosingCommand(Exchange result);

    // Loads and accepts an image; false when the update cannot go on with it (ok is then false),
    // and *found false when a logic image is simply not there.
    bool LoadImage(WORD id, ImageKind kind, bool requireSub, CFirmwareImage* image, bool* found);
    void ProgramCode();
    void ProgramLogic();
    void LogicPass(const CFirmwareImage& image, DWORD k);
    void BackUpLogic(DWORD k);
    void Close();
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
    Notify(WN_ANIMATE);

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
    Notify(WN_PROGRESS_START);
    if (!m_mixer) {
        if (!m_quiet) {
            m_site.Ask(WN_ASK_NOT_CONNECTED);
        }
        m_site.StoreFailure(ERROR_BAD_UNIT);
        Notify(WN_DONE);
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
        Notify(WN_PROGRESS, static_cast<LONG>(base + (scale * offset) / size));
        SetLastError(ERROR_SUCCESS);
        DWORD status = 0;
        if (!m_mixer->WriteFeature(REPORT_ID_DATA, image.GetData() + offset, DATA_BLOCK_SIZE) ||
            !m_mixer->PollStatus(&status)) {
            FailWithLastError();
        } else if (status != 4) {
            FailWithLastError();
        }
    }
}

void CUpdateRun::Fail(DWORD error) {
    m_ok = false;
    m_error = error;
}

void CUpdateRun::FailWithLastError() {
    m_ok = false;
    if (m_error == 0) {
        m_error = GetLastError();
    }
}

void CUpdateRun::FailClosingCommand(Exchange result) {
    if (result == Exchange::PollFailed) {
        Fail(ERROR_GEN_FAILURE);
    } else if (result != Exchange::Done) {
        FailWithLastError();
    }
}

bool CUpdateRun::LoadImage(WORD id, ImageKind kind, bool requireSub, CFirmwareImage* image,
                           bool* found) {
    *found = true;
    const ImageLoadResult loaded = image->LoadFromResource(GetModuleHandleA(nullptr), id);
    if (loaded == ImageLoadResult::NotFound && kind == ImageKind::Logic) {
        *found = false;
        return false;
    }
    if (loaded != ImageLoadResult::Loaded) {
        FailWithLastError();
        return false;
    }
    if (!AcceptImage(image->GetData(), image->GetImageSize(), kind, requireSub, &m_info)) {
        // The message only informs: whatever the person answers, nothing is programmed.
        if (!m_quiet) {
            m_site.Ask(WN_ASK_BAD_IMAGE);
        }
        Fail(ERROR_BAD_FORMAT);
        return false;
    }
    return true;
}

void CUpdateRun::ProgramCode() {
    bool found = false;
    if (!LoadImage(m_images.code, ImageKind::Code, false, &m_code, &found)) {
        return;
    }
    // The erase and the boot loader's preparation report their progress whatever their result.
    Exchange result = ExchangeCommand("ERFW", 4);
    Notify(WN_PROGRESS, 5);
    if (result != Exchange::Done) {
        Fail(ERROR_GEN_FAILURE);
        return;
    }
    result = ExchangeCommand("BLFW", 4);
    Notify(WN_PROGRESS, 10);
    if (result != Exchange::Done) {
        Fail(ERROR_GEN_FAILURE);
        return;
    }
    if (ExchangeCommand("WRFW", 0) != Exchange::Done) {
        FailWithLastError();
        return;
    }
    SendBlocks(m_code, 10, 55);
    if (!m_ok) {
        return;
    }
    FailClosingCommand(ExchangeCommand("WRFI", 4));
    if (!m_ok) {
        return;
    }
    if (ExchangeCommand("VFFW", 0) != Exchange::Done) {
        FailWithLastError();
        return;
    }
    SendBlocks(m_code, 65, 30);
    if (!m_ok) {
        return;
    }
    result = ExchangeCommand("VFFI", 4);
    FailClosingCommand(result);
    if (result != Exchange::SendFailed) {
        Notify(WN_PROGRESS, 100);
    }
}

void CUpdateRun::ProgramLogic() {
    bool found = false;
    const WORD id = m_alt ? m_images.logic0804 : m_images.logic0800;
    if (!LoadImage(id, ImageKind::Logic, m_alt, &m_logic, &found)) {
        return;  // a logic image that is not there leaves the update a success
    }
    if (m_alt) {
        Notify(WN_MARQUEE_ON);
        if (ExchangeCommand("ERFP", 4) != Exchange::Done) {
            Fail(ERROR_GEN_FAILURE);
        }
        Notify(WN_MARQUEE_OFF);
    }
    // One pass under the second update identity; two, each backed up, under the first.
    for (DWORD k = m_alt ? 1 : 0; k < 2 && m_ok; ++k) {
        LogicPass(m_logic, k);
    }
}

void CUpdateRun::LogicPass(const CFirmwareImage& image, DWORD k) {
    if (ExchangeCommand("WRFP", 0) != Exchange::Done) {
        FailWithLastError();
        return;
    }
    SendBlocks(image, 100 + 50 * k, 17);
    if (!m_ok) {
        return;
    }
    FailClosingCommand(ExchangeCommand("WFPI", 4));
    if (!m_ok) {
        return;
    }
    if (ExchangeCommand("VFFP", 0) != Exchange::Done) {
        FailWithLastError();
        return;
    }
    SendBlocks(image, 117 + 50 * k, 16);
    if (!m_ok) {
        return;
    }
    FailClosingCommand(ExchangeCommand("VFPI", 4));
    if (m_ok && !m_alt) {
        BackUpLogic(k);
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
            Notify(WN_PROGRESS, static_cast<LONG>(134 + 50 * k + r));
        }
        Sleep(BACKUP_CYCLE_MS);
        if (!read) {
            Fail(ERROR_GEN_FAILURE);
            break;
        }
        if (status != STATUS_BUSY) {
            if (status != 4) {
                FailWithLastError();
            }
            break;
        }
        if (timeGetTime() - start >= BACKUP_LIMIT_MS) {
            Fail(ERROR_TIMEOUT);
            break;
        }
    }
    Notify(WN_PROGRESS, static_cast<LONG>(150 + 50 * k));
}

void CUpdateRun::Close() {
    if (!m_ok && m_error == 0) {
        m_error = GetLastError();
    }
    m_mixer->SendCommand("BOOT");
    m_mixer.reset();  // the mixer leaves the bus now; nothing uses the object after "BOOT"
    Notify(WN_ANIMATE);
    Sleep(RESTART_WAIT_MS);
    WaitForInstallations();
    Sleep(SETTLE_WAIT_MS);
    StoreOutcome();
    Notify(WN_DONE);
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

void RunUpdate(CWorkerSite& site, const FirmwareImageIds& images) {
    CUpdateRun(site, images).Run();
}
