#include "sim/reportdescriptor.h"

#include "hid/itemtags.h"

namespace sim {

namespace {

using hid::ItemPrefix;
using hid::ItemType;

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

constexpr BYTE kUsagePage = ItemPrefix(ItemType::Global, hid::global_tag::kUsagePage);
constexpr BYTE kLogicalMinimum = ItemPrefix(ItemType::Global, hid::global_tag::kLogicalMinimum);
constexpr BYTE kLogicalMaximum = ItemPrefix(ItemType::Global, hid::global_tag::kLogicalMaximum);
constexpr BYTE kReportSize = ItemPrefix(ItemType::Global, hid::global_tag::kReportSize);
constexpr BYTE kReportId = ItemPrefix(ItemType::Global, hid::global_tag::kReportId);
constexpr BYTE kReportCount = ItemPrefix(ItemType::Global, hid::global_tag::kReportCount);
constexpr BYTE kUsage = ItemPrefix(ItemType::Local, hid::local_tag::kUsage);
constexpr BYTE kCollection = ItemPrefix(ItemType::Main, hid::main_tag::kCollection);
constexpr BYTE kFeature = ItemPrefix(ItemType::Main, hid::main_tag::kFeature);
constexpr BYTE kEndCollection = ItemPrefix(ItemType::Main, hid::main_tag::kEndCollection);
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
