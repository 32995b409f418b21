#include <atomic>
#include <mutex>
#include <thread>

#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

// std::recursive_mutex cannot tell who owns it, and leaving a section one does not own is a fault
// we want to hear about rather than undefined behaviour; so the owner is tracked here.
class CriticalSection {
public:
    void Enter() {
        const std::thread::id self = std::this_thread::get_id();
        if (m_owner.load(std::memory_order_relaxed) == self) {
            ++m_recursion;
            return;
        }
        m_mutex.lock();
        m_owner.store(self, std::memory_order_relaxed);
        m_recursion = 1;
    }

    void Leave() {
        if (m_owner.load(std::memory_order_relaxed) != std::this_thread::get_id()) {
            portable::Unsupported("LeaveCriticalSection by a thread that does not own the section");
        }
        if (--m_recursion == 0) {
            m_owner.store(std::thread::id(), std::memory_order_relaxed);
            m_mutex.unlock();
        }
    }

    bool IsOwned() const { return m_owner.load(std::memory_order_relaxed) != std::thread::id(); }

private:
    std::mutex m_mutex;
    std::atomic<std::thread::id> m_owner{};
    unsigned m_recursion = 0;
};

CriticalSection& Get(LPCRITICAL_SECTION lpCriticalSection, const char* caller) {
    if (lpCriticalSection == nullptr || lpCriticalSection->impl == nullptr) {
        portable::Unsupported(caller);
    }
    return *static_cast<CriticalSection*>(lpCriticalSection->impl);
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (lpCriticalSection == nullptr) {
        portable::Unsupported("InitializeCriticalSection without a critical section");
    }
    lpCriticalSection->impl = new CriticalSection;
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    CriticalSection& section =
        Get(lpCriticalSection, "DeleteCriticalSection on a section that is not initialised");
    if (section.IsOwned()) {
        portable::Unsupported("DeleteCriticalSection while a thread owns the section");
    }
    delete &section;
    lpCriticalSection->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Get(lpCriticalSection, "EnterCriticalSection on a section that is not initialised").Enter();
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Get(lpCriticalSection, "LeaveCriticalSection on a section that is not initialised").Leave();
}
