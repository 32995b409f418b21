// The shell's taskbar object: its progress state, value and overlay icon go to the view.
#include <atomic>

#include "framework/portable/windowmodel.h"

namespace {

class TaskbarList final : public ITaskbarList3 {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) {
            return E_POINTER;
        }
        if (!(riid == IID_ITaskbarList3)) {
            *ppvObject = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *ppvObject = static_cast<ITaskbarList3*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            portable::WindowModel& model = portable::WindowModel::Instance();
            model.Taskbar() = portable::TaskbarView{};
            model.Report(portable::ViewEvent::Kind::TaskbarReleased);
            delete this;
        }
        return left;
    }
    HRESULT SetProgressValue(HWND /*hwnd*/, ULONGLONG ullCompleted, ULONGLONG ullTotal) override {
        portable::WindowModel& model = portable::WindowModel::Instance();
        model.Taskbar().completed = ullCompleted;
        model.Taskbar().total = ullTotal;
        model.Report(portable::ViewEvent::Kind::TaskbarValue);
        return S_OK;
    }
    HRESULT SetProgressState(HWND /*hwnd*/, TBPFLAG tbpFlags) override {
        portable::WindowModel& model = portable::WindowModel::Instance();
        model.Taskbar().state = tbpFlags;
        model.Report(portable::ViewEvent::Kind::TaskbarState);
        return S_OK;
    }
    HRESULT SetOverlayIcon(HWND /*hwnd*/, HICON hIcon, LPCWSTR /*pszDescription*/) override {
        portable::WindowModel& model = portable::WindowModel::Instance();
        model.Taskbar().overlay = hIcon != nullptr;
        model.Report(portable::ViewEvent::Kind::TaskbarOverlay);
        return S_OK;
    }

private:
    ~TaskbarList() = default;
    std::atomic<ULONG> m_references{1};
};

}  // namespace

const CLSID CLSID_TaskbarList = {
    0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID IID_ITaskbarList3 = {
    0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!(rclsid == CLSID_TaskbarList) || pUnkOuter != nullptr ||
        (dwClsContext & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    if (!(riid == IID_ITaskbarList3)) {
        return E_NOINTERFACE;
    }
    const portable::View* view = portable::CurrentView();
    if (view != nullptr && !view->HasTaskbar()) {
        return REGDB_E_CLASSNOTREG;  // a desktop without a taskbar
    }
    portable::WindowModel& model = portable::WindowModel::Instance();
    model.Taskbar() = portable::TaskbarView{};
    model.Taskbar().present = true;
    *ppv = static_cast<ITaskbarList3*>(new TaskbarList);
    model.Report(portable::ViewEvent::Kind::TaskbarCreated);
    return S_OK;
}
