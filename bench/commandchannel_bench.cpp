// Host cost of one data block exchange, the unit of a firmware transfer: WriteFeature of 60 bytes
// and the PollStatus that follows, against a mixer that answers without wire latency. On the wire
// each transfer costs a 1 ms USB frame, so the host's share should stay far below that.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "platform/portable/clock.h"
#include "sim/simulatedvantor.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

// Every heap allocation of the process is counted, the simulator's included. The replacements are
// kept out of line so that the compiler pairs each allocation with its own release.
[[gnu::noinline]] void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

[[gnu::noinline]] void* operator new[](std::size_t size) {
    return operator new(size);
}

[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

[[gnu::noinline]] void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}

[[gnu::noinline]] void operator delete[](void* p) noexcept {
    std::free(p);
}

[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int CODE_IMAGE_BLOCKS = 2606;  // the shipped code image

void BM_DataBlockExchange(benchmark::State& state) {
    portable::UseVirtualClock();
    sim::SimConfig config;
    config.start = sim::MixerStart::UpdateAlt;
    config.timing.transferMs = 0;
    config.keepTranscript = false;
    sim::SimulatedVantor mixer(config);
    portable::SetDeviceBackend(&mixer);
    {
        CVantorHid device(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
        BYTE block[DATA_BLOCK_SIZE];
        for (DWORD i = 0; i < DATA_BLOCK_SIZE; ++i) {
            block[i] = static_cast<BYTE>(i * 13);
        }
        DWORD status = 0;
        int blocks = 0;
        long allocations = 0;
        for (auto _ : state) {
            // A new write pass per code image's worth of blocks, so the simulated flash stays the
            // size of a real one.
            if (blocks % CODE_IMAGE_BLOCKS == 0) {
                state.PauseTiming();
                device.SendCommand("WRFW");
                device.PollStatus(&status);
                state.ResumeTiming();
            }
            const long before = g_allocations.load(std::memory_order_relaxed);
            device.WriteFeature(REPORT_ID_DATA, block, DATA_BLOCK_SIZE);
            device.PollStatus(&status);
            allocations += g_allocations.load(std::memory_order_relaxed) - before;
            ++blocks;
        }
        if (status != 4) {
            state.SkipWithError("the mixer did not accept the blocks");
        }
        state.counters["allocations_per_block"] =
            benchmark::Counter(static_cast<double>(allocations) / blocks);
    }
    portable::SetDeviceBackend(nullptr);
    portable::UseRealClock();
}
BENCHMARK(BM_DataBlockExchange);

}  // namespace
