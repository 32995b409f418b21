#include "platform/portable/clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/portable/duecaptures.h"
#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

std::atomic<bool> g_virtual{false};
// Milliseconds; wider than a DWORD so that many threads sleeping at once cannot lose a carry.
std::atomic<std::uint64_t> g_virtualNow{0};

std::uint64_t RealMilliseconds() {
    // A steady clock, like the multimedia timer: it never jumps when the wall clock is set.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

namespace portable {

void UseVirtualClock() {
    // Virtual time starts where real time stands, so an interval that a waiter began measuring
    // before the switch does not come out negative.
    if (!g_virtual.load()) {
        g_virtualNow.store(RealMilliseconds());
        g_virtual.store(true);
    }
}

void UseRealClock() {
    g_virtual.store(false);
}

bool IsClockVirtual() {
    return g_virtual.load();
}

}  // namespace portable

void Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == INFINITE) {
        portable::Unsupported("Sleep(INFINITE), a wait that never ends");
    }
    if (g_virtual.load()) {
        const std::uint64_t now = g_virtualNow.fetch_add(dwMilliseconds) + dwMilliseconds;
        // Simulated audio is produced on threads of its own; virtual time must not run past a
        // buffer that is due before its thread has handed it back.
        portable::WaitForDueCaptures(static_cast<DWORD>(now));
        // No yield: on a machine whose cores are all busy, each one gives away a whole time slice,
        // and an update sleeps tens of thousands of times. A thread that a poller waits for runs
        // on another core, or when the scheduler preempts the poller.
        return;
    }
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

DWORD timeGetTime() {
    const std::uint64_t now = g_virtual.load() ? g_virtualNow.load() : RealMilliseconds();
    return static_cast<DWORD>(now);  // wraps after 49.7 days, as on Windows
}
