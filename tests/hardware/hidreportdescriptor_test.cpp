// The report descriptor parser on the descriptors of real kinds of device, on the items that
// change what it counts, and on descriptors it must refuse.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hardware/hidreportdescriptor.h"
#include "sim/reportdescriptor.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The capabilities as one comparable value, so that a failure shows all of them at once.
struct Caps {
    WORD usagePage;
    WORD usage;
    WORD input;
    WORD output;
    WORD feature;
    bool operator==(const Caps&) const = default;
};

void PrintTo(const Caps& caps, std::ostream* os) {
    *os << "{page 0x" << std::hex << caps.usagePage << ", usage 0x" << caps.usage << std::dec
        << ", input " << caps.input << ", output " << caps.output << ", feature " << caps.feature
        << "}";
}

// A value that the capabilities hold before each parse: a refused descriptor must leave every
// field at it, and an accepted one must overwrite each.
constexpr WORD kUntouched = 0xA5A5;

portable::HidCapabilities UntouchedCaps() {
    return {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched};
}

Caps ToCaps(const portable::HidCapabilities& caps) {
    return {caps.usagePage, caps.usage, caps.inputReportByteLength, caps.outputReportByteLength,
            caps.featureReportByteLength};
}

std::optional<Caps> Parse(const Bytes& descriptor) {
    portable::HidCapabilities caps = UntouchedCaps();
    if (!hardware::ParseReportDescriptor(descriptor.data(), descriptor.size(), &caps)) {
        return std::nullopt;
    }
    return ToCaps(caps);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

// An application collection on the first vendor-defined page around the given items.
Bytes VendorApplication(const Bytes& items) {
    return Join({{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}, items, {0xC0}});
}

// The boot keyboard of the HID class definition's appendix E.6.
const Bytes kBootKeyboard = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x06,  // Usage (Keyboard)
    0xA1, 0x01,  // Collection (Application)
    0x05, 0x07,  //   Usage Page (Key Codes)
    0x19, 0xE0,  //   Usage Minimum (224)
    0x29, 0xE7,  //   Usage Maximum (231)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x08,  //   Report Count (8)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): modifier byte
    0x95, 0x01,  //   Report Count (1)
    0x75, 0x08,  //   Report Size (8)
    0x81, 0x01,  //   Input (Constant): reserved byte
    0x95, 0x05,  //   Report Count (5)
    0x75, 0x01,  //   Report Size (1)
    0x05, 0x08,  //   Usage Page (LEDs)
    0x19, 0x01,  //   Usage Minimum (1)
    0x29, 0x05,  //   Usage Maximum (5)
    0x91, 0x02,  //   Output (Data, Variable, Absolute): LED report
    0x95, 0x01,  //   Report Count (1)
    0x75, 0x03,  //   Report Size (3)
    0x91, 0x01,  //   Output (Constant): LED report padding
    0x95, 0x06,  //   Report Count (6)
    0x75, 0x08,  //   Report Size (8)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x65,  //   Logical Maximum (101)
    0x05, 0x07,  //   Usage Page (Key Codes)
    0x19, 0x00,  //   Usage Minimum (0)
    0x29, 0x65,  //   Usage Maximum (101)
    0x81, 0x00,  //   Input (Data, Array): key array
    0xC0,        // End Collection
};

// The boot mouse of the HID class definition's appendix E.10.
const Bytes kBootMouse = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x09, 0x01,  //   Usage (Pointer)
    0xA1, 0x00,  //   Collection (Physical)
    0x95, 0x03,  //     Report Count (3)
    0x75, 0x01,  //     Report Size (1)
    0x05, 0x09,  //     Usage Page (Buttons)
    0x19, 0x01,  //     Usage Minimum (1)
    0x29, 0x03,  //     Usage Maximum (3)
    0x15, 0x00,  //     Logical Minimum (0)
    0x25, 0x01,  //     Logical Maximum (1)
    0x81, 0x02,  //     Input (Data, Variable, Absolute): buttons
    0x95, 0x01,  //     Report Count (1)
    0x75, 0x05,  //     Report Size (5)
    0x81, 0x01,  //     Input (Constant): padding
    0x75, 0x08,  //     Report Size (8)
    0x95, 0x02,  //     Report Count (2)
    0x05, 0x01,  //     Usage Page (Generic Desktop)
    0x09, 0x30,  //     Usage (X)
    0x09, 0x31,  //     Usage (Y)
    0x15, 0x81,  //     Logical Minimum (-127)
    0x25, 0x7F,  //     Logical Maximum (127)
    0x81, 0x06,  //     Input (Data, Variable, Relative)
    0xC0,        //   End Collection
    0xC0,        // End Collection
};

// The joystick example of the USB-IF's HID Descriptor Tool, which firmware for joysticks often
// starts from: a throttle, a pointer's X and Y, a 4-bit hat switch and four buttons.
const Bytes kJoystick = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x15, 0x00,        // Logical Minimum (0)
    0x09, 0x04,        // Usage (Joystick)
    0xA1, 0x01,        // Collection (Application)
    0x05, 0x02,        //   Usage Page (Simulation Controls)
    0x09, 0xBB,        //   Usage (Throttle)
    0x15, 0x81,        //   Logical Minimum (-127)
    0x25, 0x7F,        //   Logical Maximum (127)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x05, 0x01,        //   Usage Page (Generic Desktop)
    0x09, 0x01,        //   Usage (Pointer)
    0xA1, 0x00,        //   Collection (Physical)
    0x09, 0x30,        //     Usage (X)
    0x09, 0x31,        //     Usage (Y)
    0x95, 0x02,        //     Report Count (2)
    0x81, 0x02,        //     Input (Data, Variable, Absolute)
    0xC0,              //   End Collection
    0x09, 0x39,        //   Usage (Hat switch)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x03,        //   Logical Maximum (3)
    0x35, 0x00,        //   Physical Minimum (0)
    0x46, 0x0E, 0x01,  //   Physical Maximum (270)
    0x65, 0x14,        //   Unit (English Rotation: Angular Position)
    0x75, 0x04,        //   Report Size (4)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x05, 0x09,        //   Usage Page (Button)
    0x19, 0x01,        //   Usage Minimum (Button 1)
    0x29, 0x04,        //   Usage Maximum (Button 4)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x04,        //   Report Count (4)
    0x55, 0x00,        //   Unit Exponent (0)
    0x65, 0x00,        //   Unit (None)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// A vendor-defined device whose reports differ in length by id: the longest of each kind is
// neither always the first nor always the last, and report id 3 is both an input and an output
// report, each of its own length.
const Bytes kVendorDevice = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x85, 0x01,        //   Report ID (1)
    0x95, 0x07,        //   Report Count (7)
    0x09, 0x01,        //   Usage (1)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute): 7 bytes
    0x85, 0x02,        //   Report ID (2)
    0x95, 0x1F,        //   Report Count (31)
    0x09, 0x02,        //   Usage (2)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute): 31 bytes
    0x85, 0x03,        //   Report ID (3)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x03,        //   Usage (3)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): 63 bytes
    0x95, 0x13,        //   Report Count (19)
    0x09, 0x04,        //   Usage (4)
    0x91, 0x02,        //   Output (Data, Variable, Absolute): 19 bytes
    0x85, 0x04,        //   Report ID (4)
    0x95, 0x0F,        //   Report Count (15)
    0x09, 0x05,        //   Usage (5)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): 15 bytes
    0xC0,              // End Collection
};

// A keyboard with media keys, as composite keyboards declare it: a consumer control collection
// with report id 1, then a boot-style keyboard with report id 2.
const Bytes kMediaKeyboard = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x01,        //   Report ID (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x03,  //   Logical Maximum (1023)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x03,  //   Usage Maximum (1023)
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x10,        //   Report Size (16)
    0x81, 0x00,        //   Input (Data, Array)
    0xC0,              // End Collection
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x06,        // Usage (Keyboard)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x02,        //   Report ID (2)
    0x05, 0x07,        //   Usage Page (Key Codes)
    0x19, 0xE0,        //   Usage Minimum (224)
    0x29, 0xE7,        //   Usage Maximum (231)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x08,        //   Report Size (8)
    0x81, 0x01,        //   Input (Constant)
    0x95, 0x05,        //   Report Count (5)
    0x75, 0x01,        //   Report Size (1)
    0x05, 0x08,        //   Usage Page (LEDs)
    0x19, 0x01,        //   Usage Minimum (1)
    0x29, 0x05,        //   Usage Maximum (5)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x03,        //   Report Size (3)
    0x91, 0x01,        //   Output (Constant)
    0x95, 0x06,        //   Report Count (6)
    0x75, 0x08,        //   Report Size (8)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x65,        //   Logical Maximum (101)
    0x05, 0x07,        //   Usage Page (Key Codes)
    0x19, 0x00,        //   Usage Minimum (0)
    0x29, 0x65,        //   Usage Maximum (101)
    0x81, 0x00,        //   Input (Data, Array)
    0xC0,              // End Collection
};

TEST(ReportDescriptorOfDevice, BootKeyboardHasItsModifierKeyAndLedReports) {
    EXPECT_EQ(Parse(kBootKeyboard), (Caps{0x01, 0x06, 9, 2, 0}));
}

TEST(ReportDescriptorOfDevice, BootMouseCountsTheReportsOfItsNestedCollection) {
    EXPECT_EQ(Parse(kBootMouse), (Caps{0x01, 0x02, 4, 0, 0}));
}

TEST(ReportDescriptorOfDevice, JoystickCountsItemsAfterItsNestedCollectionCloses) {
    EXPECT_EQ(Parse(kJoystick), (Caps{0x01, 0x04, 5, 0, 0}));
}

TEST(ReportDescriptorOfDevice, VendorDeviceGivesItsLongestReportOfEachKind) {
    EXPECT_EQ(Parse(kVendorDevice), (Caps{0xFF00, 0x01, 64, 20, 32}));
}

TEST(ReportDescriptorOfDevice, OnlyTheFirstTopLevelCollectionCounts) {
    EXPECT_EQ(Parse(kMediaKeyboard), (Caps{0x0C, 0x01, 3, 0, 0}));
}

TEST(ReportDescriptorOfDevice, MixerGivesTheFeatureReportLengthItDeclares) {
    EXPECT_EQ(Parse(sim::MixerReportDescriptor(65)), (Caps{0xFF00, 0x01, 0, 0, 65}));
    // 2 is the shortest report there is; 129 needs a 2-byte count, 40000 a 4-byte one, and 65535
    // is the longest a WORD can give.
    for (const WORD length : {2, 64, 129, 40000, 65535}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(Parse(sim::MixerReportDescriptor(length)), (Caps{0xFF00, 0x01, 0, 0, length}));
    }
}

TEST(ReportDescriptorOfDevice, MixerWithoutFeatureReportsHasNoFeatureLength) {
    EXPECT_EQ(Parse(sim::MixerReportDescriptor(0)), (Caps{0xFF00, 0x01, 0, 0, 0}));
}

TEST(ReportDescriptorItems, LongItemsAreSkippedWhateverTheirData) {
    // The long items' data, read as short items, would be a report id of 0 and an output report.
    const Bytes longItems = Join({{0xFE, 0x00, 0x10},  // no data
                                  {0xFE, 0x04, 0xF0, 0x85, 0x00, 0x91, 0x02}});
    const Bytes mouse = Join({longItems, kBootMouse, longItems});
    EXPECT_EQ(Parse(mouse), (Caps{0x01, 0x02, 4, 0, 0}));
}

TEST(ReportDescriptorItems, ItemsOfReservedTagsAreSkipped) {
    const Bytes descriptor = VendorApplication({
        0xC5, 0x00,  // reserved global tag 0xC, which would be Report ID 0 were it read as one
        0xF9, 0x07,  // reserved local tag 0xF
        0x0D, 0x85,  // reserved item type
        0x75, 0x08, 0x95, 0x02, 0xB1, 0x02,  // Report Size (8), Report Count (2), Feature
        0xD1, 0x02,                          // reserved main tag 0xD
    });
    EXPECT_EQ(Parse(Join({descriptor, {0x00, 0x00}})), (Caps{0xFF00, 0x01, 0, 0, 3}));
}

TEST(ReportDescriptorItems, ReportLengthsRoundUpToWholeBytes) {
    EXPECT_EQ(Parse(VendorApplication({0x75, 0x03, 0x95, 0x03, 0x81, 0x02})),
              (Caps{0xFF00, 0x01, 3, 0, 0}));  // 9 bits
}

TEST(ReportDescriptorItems, FourByteUsageCarriesItsOwnPage) {
    const Bytes descriptor = {
        0x05, 0x01,                    // Usage Page (Generic Desktop)
        0x0B, 0x01, 0x00, 0x0C, 0x00,  // Usage (Consumer: Consumer Control)
        0xA1, 0x01, 0xC0,              // Collection (Application), End Collection
    };
    EXPECT_EQ(Parse(descriptor), (Caps{0x0C, 0x01, 0, 0, 0}));
}

TEST(ReportDescriptorItems, ShortUsageTakesThePageDeclaredLastBeforeTheCollection) {
    const Bytes descriptor = {
        0x05, 0x0C,        // Usage Page (Consumer)
        0x09, 0x06,        // Usage (6)
        0x05, 0x01,        // Usage Page (Generic Desktop)
        0xA1, 0x01, 0xC0,  // Collection (Application), End Collection
    };
    EXPECT_EQ(Parse(descriptor), (Caps{0x01, 0x06, 0, 0, 0}));
}

TEST(ReportDescriptorItems, FirstUsageBeforeTheCollectionNamesIt) {
    const Bytes descriptor = {
        0x05, 0x01,        // Usage Page (Generic Desktop)
        0x09, 0x02,        // Usage (Mouse)
        0x09, 0x06,        // Usage (Keyboard)
        0xA1, 0x01, 0xC0,  // Collection (Application), End Collection
    };
    EXPECT_EQ(Parse(descriptor), (Caps{0x01, 0x02, 0, 0, 0}));
}

TEST(ReportDescriptorItems, UsageSpentOnAMainItemOutsideTheCollectionNamesNothing) {
    // The input report before the collection is not in it, and takes the usage with it.
    const Bytes descriptor = {
        0x05, 0x01,                          // Usage Page (Generic Desktop)
        0x09, 0x06,                          // Usage (Keyboard)
        0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // Report Size (8), Report Count (4), Input
        0xA1, 0x01, 0xC0,                    // Collection (Application), End Collection
    };
    EXPECT_EQ(Parse(descriptor), (Caps{0, 0, 0, 0, 0}));
}

TEST(ReportDescriptorItems, PopRestoresReportSizeAndCount) {
    const Bytes descriptor = VendorApplication({
        0x75, 0x08, 0x95, 0x04,  // Report Size (8), Report Count (4)
        0xA4,                    // Push
        0x75, 0x01, 0x95, 0x03,  // Report Size (1), Report Count (3)
        0x81, 0x02,              // Input: 3 bits
        0xB4,                    // Pop
        0x81, 0x02,              // Input: 32 bits
    });
    EXPECT_EQ(Parse(descriptor), (Caps{0xFF00, 0x01, 6, 0, 0}));
}

TEST(ReportDescriptorItems, PopRestoresReportIdAndUsagePage) {
    const Bytes descriptor = {
        0x05, 0x0C,              // Usage Page (Consumer)
        0x75, 0x08, 0x95, 0x04,  // Report Size (8), Report Count (4)
        0x85, 0x01,              // Report ID (1)
        0xA4,                    // Push
        0x05, 0x01, 0x85, 0x02,  // Usage Page (Generic Desktop), Report ID (2)
        0xB4,                    // Pop
        0x09, 0x01, 0xA1, 0x01,  // Usage (Consumer Control), Collection (Application)
        0xA4,                    // Push
        0x85, 0x02, 0xB1, 0x02,  // Report ID (2), Feature: 4 bytes
        0xB4,                    // Pop
        0xB1, 0x02,              // Feature: 4 bytes on report id 1
        0xC0,                    // End Collection
    };
    EXPECT_EQ(Parse(descriptor), (Caps{0x0C, 0x01, 0, 0, 5}));
}

TEST(ReportDescriptorItems, PushesNestThirtyTwoDeep) {
    const Bytes descriptor = Join({Bytes(32, 0xA4), Bytes(32, 0xB4),
                                   VendorApplication({0x75, 0x08, 0x95, 0x01, 0x81, 0x02})});
    EXPECT_EQ(Parse(descriptor), (Caps{0xFF00, 0x01, 2, 0, 0}));
}

// Descriptors that are not well formed: each is refused, and the capabilities keep what they held.
struct Malformed {
    std::string name;
    Bytes descriptor;
};

void PrintTo(const Malformed& malformed, std::ostream* os) {
    *os << malformed.name;
}

class MalformedReportDescriptor : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedReportDescriptor, IsRefusedAndLeavesTheCapabilitiesAlone) {
    const Bytes& descriptor = GetParam().descriptor;
    portable::HidCapabilities caps = UntouchedCaps();
    EXPECT_FALSE(hardware::ParseReportDescriptor(descriptor.data(), descriptor.size(), &caps));
    EXPECT_EQ(ToCaps(caps), ToCaps(UntouchedCaps()));
}

// Report Size (8) and the given count, as a 4-byte item, then a feature item.
Bytes FeatureBytes(std::uint32_t count) {
    const Bytes countData = {
        static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
        static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
    return Join({{0x75, 0x08, 0x97}, countData, {0xB1, 0x02}});
}

const Bytes kInput = {0x75, 0x08, 0x95, 0x01, 0x81, 0x02};

const std::vector<Malformed> kMalformed = {
    {"Empty", {}},
    {"ShortItemCutShort", Join({kBootMouse, {0x26, 0xFF}})},
    {"FourByteItemCutShort", Join({kBootMouse, {0x27, 0xFF, 0xFF, 0xFF}})},
    {"ShortItemWithoutItsData", Join({kBootMouse, {0x05}})},
    {"LongItemWithoutItsSize", Join({kBootMouse, {0xFE}})},
    {"LongItemWithoutItsTag", Join({kBootMouse, {0xFE, 0x00}})},
    {"LongItemDataCutShort", Join({kBootMouse, {0xFE, 0x04, 0xF0, 0x01, 0x02, 0x03}})},
    {"ReportIdZero", VendorApplication({0x85, 0x00})},
    {"ReportIdWithoutData", VendorApplication({0x84})},
    {"ReportIdAboveOneByte", VendorApplication({0x86, 0x00, 0x01})},
    {"PopWithNothingPushed", VendorApplication({0xB4})},
    {"PopOnceMoreThanPushed", VendorApplication({0xA4, 0xB4, 0xB4})},
    {"ThirtyThreePushes", Join({Bytes(33, 0xA4), VendorApplication(kInput)})},
    {"EndCollectionFirst", Join({{0xC0}, kBootMouse})},
    {"EndCollectionOnceTooOften", Join({kBootMouse, {0xC0}})},
    // Depth alone would come out even here.
    {"EndCollectionBeforeItsCollection", Join({kBootMouse, {0xC0, 0xA1, 0x01}})},
    {"CollectionLeftOpen", Bytes(kBootKeyboard.begin(), kBootKeyboard.end() - 1)},
    {"NestedCollectionLeftOpen", Bytes(kBootMouse.begin(), kBootMouse.end() - 1)},
    {"NoCollection", Join({{0x05, 0x01, 0x09, 0x06}, kInput})},
    {"OnlyLongItems", {0xFE, 0x00, 0x10}},
    // 65535 data bytes and the id byte: one more than a WORD can count.
    {"ReportTooLongForAWord", VendorApplication(FeatureBytes(65535))},
    {"ReportTooLongInTwoItems",
     VendorApplication(Join({FeatureBytes(40000), FeatureBytes(40000)}))},
    {"ReportTooLongInTheSecondCollection",
     Join({kBootMouse, VendorApplication(FeatureBytes(70000))})},
    // Report Size and Report Count of 2^32 - 1: their product, taken in 32 bits, would be 1.
    {"ReportSizeTimesCountPastThirtyTwoBits",
     VendorApplication({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02})},
};

std::string MalformedName(const testing::TestParamInfo<Malformed>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(ReportDescriptor, MalformedReportDescriptor, testing::ValuesIn(kMalformed),
                         MalformedName);

}  // namespace
