#include "sim/virtualmixer/reportdescriptor.h"

namespace sim {

namespace {

// Short items: a prefix of tag, type and size, then the data, little-endian.
void Item(std::vector<BYTE>* out, BYTE prefix, unsigned value, unsigned size) {
    const BYTE sizeCode = size == 0 ? 0 : size == 1 ? 1 : size == 2 ? 2 : 3;
    out->push_back(static_cast<BYTE>(prefix | sizeCode));
    for (unsigned i = 0; i < size; ++i) {
        out->push_back(static_cast<BYTE>(value >> (8 * i)));
    }
}

// The smallest of the item sizes 1, 2 and 4 that holds an unsigned value with its sign bit clear.
unsigned SizeFor(unsigned value) {
    return value < 0x80 ? 1 : value < 0x8000 ? 2 : 4;
}

constexpr BYTE kUsagePage = 0x04;        // global
constexpr BYTE kLogicalMinimum = 0x14;   // global
constexpr BYTE kLogicalMaximum = 0x24;   // global
constexpr BYTE kReportSize = 0x74;       // global
constexpr BYTE kReportId = 0x84;         // global
constexpr BYTE kReportCount = 0x94;      // global
constexpr BYTE kUsage = 0x08;            // local
constexpr BYTE kCollection = 0xA0;       // main
constexpr BYTE kFeature = 0xB0;          // main
constexpr BYTE kEndCollection = 0xC0;    // main
constexpr unsigned kApplication = 0x01;  // collection type
constexpr unsigned kDataVariableAbsolute = 0x02;

}  // namespace

std::vector<BYTE> MixerReportDescriptor(WORD featureReportByteLength) {
    std::vector<BYTE> out;
    Item(&out, kUsagePage, 0xFF00, 2);  // vendor-defined
    Item(&out, kUsage, 0x01, 1);
    Item(&out, kCollection, kApplication, 1);
    if (featureReportByteLength >= 2) {
        const unsigned count = featureReportByteLength - 1u;
        Item(&out, kLogicalMinimum, 0, 1);
        Item(&out, kLogicalMaximum, 0xFF, 2);
        Item(&out, kReportSize, 8, 1);
        for (const unsigned reportId : {0xF0u, 0xF1u}) {
            Item(&out, kReportId, reportId, 1);
            Item(&out, kReportCount, count, SizeFor(count));
            Item(&out, kUsage, 0x01, 1);
            Item(&out, kFeature, kDataVariableAbsolute, 1);
        }
    }
    Item(&out, kEndCollection, 0, 0);
    return out;
}

}  // namespace sim
