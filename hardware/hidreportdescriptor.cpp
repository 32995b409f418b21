#include "hardware/hidreportdescriptor.h"

#include <algorithm>
#include <array>

#include "hid/itemtags.h"

namespace hardware {

namespace {

using hid::ItemType;
namespace main_tag = hid::main_tag;
namespace global_tag = hid::global_tag;
namespace local_tag = hid::local_tag;

// The two bits of a short item's prefix that say how many data bytes follow: 0, 1, 2 or 4.
constexpr std::array<std::size_t, 4> kDataSizes = {0, 1, 2, 4};
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::size_t kLongItemHeader = 3;  // the prefix, bDataSize and bLongItemTag

// The global items that leave the capabilities as they are (logical and physical extents, units)
// are read past like any unknown tag. Of the local items only the usage names the top-level
// collection; usage ranges, designators, strings and delimiters describe controls, whose details
// the capabilities do not reach.

// Deep enough for any descriptor a device ships; a bound keeps a hostile one from growing the
// stack without end.
constexpr std::size_t kMaxPushDepth = 32;

// The longest report whose length, with its id byte, still fits in a WORD.
constexpr std::uint64_t kMaxReportBits = (0xFFFFu - 1u) * 8u;
constexpr std::size_t kReportIds = 256;  // a report id is one byte; 0 stands for "none declared"

struct Item {
    ItemType type;
    std::uint8_t tag;
    std::size_t size;    // data bytes
    std::uint32_t data;  // little-endian, zero-extended
};

// Walks the items of a descriptor, stepping over long items: no long item tag is defined, and
// none says anything about the reports.
class ItemReader {
public:
    ItemReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // The next short item; false at the end of the descriptor, and at an item that runs past it,
    // which Malformed() then tells apart.
    bool Next(Item* item) {
        while (!AtEnd() && m_data[m_offset] == kLongItemPrefix) {
            if (!SkipLongItem()) {
                return false;
            }
        }
        return !AtEnd() && ReadShortItem(item);
    }

    bool Malformed() const { return m_malformed; }

private:
    bool AtEnd() const { return m_offset == m_size; }
    std::size_t Remaining() const { return m_size - m_offset; }

    bool SkipLongItem() {
        if (Remaining() < kLongItemHeader || Remaining() < kLongItemHeader + m_data[m_offset + 1]) {
            m_malformed = true;
            return false;
        }
        m_offset += kLongItemHeader + m_data[m_offset + 1];
        return true;
    }

    bool ReadShortItem(Item* item) {
        const std::uint8_t prefix = m_data[m_offset];
        const std::size_t size = kDataSizes[prefix & 0x3u];
        if (Remaining() - 1 < size) {
            m_malformed = true;
            return false;
        }
        std::uint32_t data = 0;
        for (std::size_t i = 0; i < size; ++i) {
            data |= static_cast<std::uint32_t>(m_data[m_offset + 1 + i]) << (8 * i);
        }
        *item = {static_cast<ItemType>((prefix >> 2) & 0x3u),
                 static_cast<std::uint8_t>(prefix >> 4), size, data};
        m_offset += 1 + size;
        return true;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
    bool m_malformed = false;
};

enum ReportKind : std::size_t { kInputReport, kOutputReport, kFeatureReport, kReportKinds };

// The bits that the main items of one kind have added to each report id.
class ReportLengths {
public:
    // False when the report would grow past what a WORD can give as its length.
    bool Add(ReportKind kind, std::uint8_t reportId, std::uint64_t bits) {
        Report& report = m_reports[kind][reportId];
        // No wrap: a product of two 32-bit values leaves room for any report's bits below the
        // bound.
        const std::uint64_t total = report.bits + bits;
        if (total > kMaxReportBits) {
            return false;
        }
        report = {true, static_cast<std::uint32_t>(total)};
        return true;
    }

    // The longest report of the kind in whole bytes and its id byte, which Windows counts even
    // when the descriptor declares no report id; 0 when no main item declared one.
    WORD LongestByteLength(ReportKind kind) const {
        std::uint32_t longest = 0;
        for (const Report& report : m_reports[kind]) {
            if (report.declared) {
                longest = std::max(longest, (report.bits + 7) / 8 + 1);
            }
        }
        return static_cast<WORD>(longest);
    }

private:
    struct Report {
        bool declared = false;
        std::uint32_t bits = 0;
    };
    std::array<std::array<Report, kReportIds>, kReportKinds> m_reports{};
};

// What Push saves and Pop restores, less the items that do not change the capabilities.
struct GlobalState {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// The first usage since the last main item: the one that names a collection that follows.
struct LocalState {
    bool hasUsage = false;
    bool usageHasPage = false;  // a 4-byte usage, with its page in the upper half
    std::uint32_t usage = 0;
};

// Reads a descriptor item by item into the reports of its first top-level collection, the one
// whose capabilities HidP_GetCaps gives for the interface.
class DescriptorParser {
public:
    bool Parse(const std::uint8_t* data, std::size_t size) {
        ItemReader reader(data, size);
        Item item{};
        while (reader.Next(&item)) {
            if (!Apply(item)) {
                return false;
            }
        }
        // A collection left open would leave unsaid where its reports end.
        return !reader.Malformed() && m_depth == 0 && m_topLevel != TopLevel::NotSeen;
    }

    portable::HidCapabilities Capabilities() const {
        portable::HidCapabilities caps;
        caps.usagePage = m_usagePage;
        caps.usage = m_usage;
        caps.inputReportByteLength = m_topLevelReports.LongestByteLength(kInputReport);
        caps.outputReportByteLength = m_topLevelReports.LongestByteLength(kOutputReport);
        caps.featureReportByteLength = m_topLevelReports.LongestByteLength(kFeatureReport);
        return caps;
    }

private:
    enum class TopLevel { NotSeen, Open, Closed };

    bool Apply(const Item& item) {
        switch (item.type) {
            case ItemType::Main:
                return ApplyMain(item);
            case ItemType::Global:
                return ApplyGlobal(item);
            case ItemType::Local:
                ApplyLocal(item);
                return true;
            case ItemType::Reserved:
                break;
        }
        return true;
    }

    bool ApplyMain(const Item& item) {
        bool wellFormed = true;
        switch (item.tag) {
            case main_tag::kInput:
                wellFormed = AddToReport(kInputReport);
                break;
            case main_tag::kOutput:
                wellFormed = AddToReport(kOutputReport);
                break;
            case main_tag::kFeature:
                wellFormed = AddToReport(kFeatureReport);
                break;
            case main_tag::kCollection:
                OpenCollection();
                break;
            case main_tag::kEndCollection:
                wellFormed = CloseCollection();
                break;
            default:
                break;
        }
        m_local = {};
        return wellFormed;
    }

    bool ApplyGlobal(const Item& item) {
        switch (item.tag) {
            case global_tag::kUsagePage:
                m_global.usagePage = item.data;
                return true;
            case global_tag::kReportSize:
                m_global.reportSize = item.data;
                return true;
            case global_tag::kReportCount:
                m_global.reportCount = item.data;
                return true;
            case global_tag::kReportId:
                return SetReportId(item.data);
            case global_tag::kPush:
                return Push();
            case global_tag::kPop:
                return Pop();
            default:
                return true;
        }
    }

    void ApplyLocal(const Item& item) {
        if (item.tag == local_tag::kUsage && !m_local.hasUsage) {
            m_local = {true, item.size == 4, item.data};
        }
    }

    // Reports outside the first top-level collection are kept apart, but held to the same bound:
    // the descriptor is accepted or refused as a whole.
    bool AddToReport(ReportKind kind) {
        const std::uint64_t bits = std::uint64_t{m_global.reportSize} * m_global.reportCount;
        ReportLengths& reports = m_topLevel == TopLevel::Open ? m_topLevelReports : m_otherReports;
        return reports.Add(kind, m_global.reportId, bits);
    }

    void OpenCollection() {
        if (m_topLevel == TopLevel::NotSeen) {  // and so no collection is open
            m_topLevel = TopLevel::Open;
            NameTopLevelCollection();
        }
        ++m_depth;
    }

    bool CloseCollection() {
        if (m_depth == 0) {
            return false;
        }
        --m_depth;
        if (m_depth == 0 && m_topLevel == TopLevel::Open) {
            m_topLevel = TopLevel::Closed;
        }
        return true;
    }

    // A usage of one or two bytes is on the usage page declared last before the main item; one of
    // four bytes carries its own. A collection without a usage has usage page and usage 0.
    void NameTopLevelCollection() {
        if (!m_local.hasUsage) {
            return;
        }
        const std::uint32_t page = m_local.usageHasPage ? m_local.usage >> 16 : m_global.usagePage;
        m_usagePage = static_cast<WORD>(page);
        m_usage = static_cast<WORD>(m_local.usage);
    }

    // Report id 0 is what a descriptor without report ids uses; declared, it would be ambiguous.
    bool SetReportId(std::uint32_t reportId) {
        if (reportId == 0 || reportId >= kReportIds) {
            return false;
        }
        m_global.reportId = static_cast<std::uint8_t>(reportId);
        return true;
    }

    bool Push() {
        if (m_pushed == m_stack.size()) {
            return false;
        }
        m_stack[m_pushed++] = m_global;
        return true;
    }

    bool Pop() {
        if (m_pushed == 0) {
            return false;
        }
        m_global = m_stack[--m_pushed];
        return true;
    }

    GlobalState m_global;
    std::array<GlobalState, kMaxPushDepth> m_stack{};
    std::size_t m_pushed = 0;
    LocalState m_local;
    std::size_t m_depth = 0;  // of open collections
    TopLevel m_topLevel = TopLevel::NotSeen;
    WORD m_usagePage = 0;
    WORD m_usage = 0;
    ReportLengths m_topLevelReports;
    ReportLengths m_otherReports;
};

}  // namespace

bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size,
                           portable::HidCapabilities* caps) {
    DescriptorParser parser;
    if (!parser.Parse(data, size)) {
        return false;
    }
    *caps = parser.Capabilities();
    return true;
}

}  // namespace hardware
