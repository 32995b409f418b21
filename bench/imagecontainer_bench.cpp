// Costs of taking a firmware image in: the CRC over a logic-image-sized range, the header parse,
// and the whole acceptance rule, which the update runs once per image before sending it.
#include <benchmark/benchmark.h>

#include <vector>

#include "firmware/crc32.h"
#include "firmware/imageacceptance.h"
#include "firmware/imagebuilder.h"
#include "firmware/imageheader.h"

namespace {

constexpr std::size_t LOGIC_PAYLOAD_SIZE = 677300;  // the shipped logic image's payload

const std::vector<BYTE>& LogicImage() {
    static const std::vector<BYTE> image = [] {
        std::vector<BYTE> payload(LOGIC_PAYLOAD_SIZE);
        DWORD state = 112;
        for (BYTE& b : payload) {
            state = state * 1664525 + 1013904223;
            b = static_cast<BYTE>(state >> 24);
        }
        CImageBuilder builder;
        builder.AddPayloadCrc();
        builder.AddValue("tim", 1670880423);
        builder.AddFlag("lgc");
        builder.AddValue("sub", 7);
        builder.AddValue("dpi", 0x000C0002);
        builder.AddText(20, "Corvena Vantor");
        std::vector<BYTE> built;
        builder.Build(payload.data(), payload.size(), &built);
        return built;
    }();
    return image;
}

void BM_Crc32OverLogicImage(benchmark::State& state) {
    const std::vector<BYTE>& image = LogicImage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crc32(0xFFFFFFFF, image.data(), static_cast<DWORD>(image.size())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_Crc32OverLogicImage);

void BM_ParseImageHeader(benchmark::State& state) {
    const std::vector<BYTE>& image = LogicImage();
    ImageHeaderInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &info));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ParseImageHeader);

void BM_AcceptLogicImage(benchmark::State& state) {
    const std::vector<BYTE>& image = LogicImage();
    ImageHeaderInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AcceptImage(image.data(), static_cast<DWORD>(image.size()),
                                             ImageKind::Logic, true, &info));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_AcceptLogicImage);

}  // namespace
