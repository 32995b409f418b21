// The records a replay reads back are the records the log wrote, and nothing that is not one of
// them passes for one.
#include "diagnostics/logrecords.h"

#include <gtest/gtest.h>

namespace {

TEST(LogRecords, TransfersReadBackAsWritten) {
    const struct {
        runlog::TransferRecord transfer;
        const char* event;
    } cases[] = {
        {{true, 0xF0, 0, {0xF0, 'E', 'R', 'F', 'W', 0x00}}, "transfer set F0 0 F04552465700"},
        {{false, 0xF0, 0, {0xF0, 0x00, 0x00, 0x00, 0x01}}, "transfer get F0 0 F000000001"},
        {{false, 0xF1, 1167, {}}, "transfer get F1 1167 -"},
        {{true, 0xF1, 31, {0xF1, 0xAB}},
         "transfer set F1 31 F1AB"},  // a failed set keeps its bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runlog::FormatTransfer(c.transfer), c.event);
        runlog::TransferRecord parsed;
        ASSERT_TRUE(runlog::ParseTransfer(c.event, &parsed)) << c.event;
        EXPECT_EQ(parsed, c.transfer) << c.event;
    }
}

TEST(LogRecords, WhatIsNotAWholeTransferIsRefused) {
    for (const char* event : {
             "transfer put F0 0 F0",          // no such direction
             "transfer set F0 0",             // no bytes
             "transfer set F0 0 -",           // a set always has its bytes
             "transfer get F0 0 F0000",       // half a byte
             "transfer get F0 0 F0 00",       // something after the bytes
             "transfer get F0 5 F000",        // a failed read has no bytes
             "transfer get F0 0 F1000000",    // the report does not begin with its id
             "transfer get F00 0 F000",       // a report id of three digits
             "transfer get F0 -1 F000",       // a negative result
             "transfer get F0 0 F0 0G",       // not hexadecimal
             "transfer get F0 4294967296 -",  // a result beyond 32 bits
             "command ERFW took=1ms",         // another event
         }) {
        runlog::TransferRecord parsed;
        EXPECT_FALSE(runlog::ParseTransfer(event, &parsed)) << event;
    }
}

TEST(LogRecords, LinesSplitIntoTimeAndEvent) {
    std::uint32_t ms = 0;
    std::string event;
    ASSERT_TRUE(runlog::SplitLine("1520 page welcome", &ms, &event));
    EXPECT_EQ(ms, 1520u);
    EXPECT_EQ(event, "page welcome");
    for (const char* line : {"", "1520", "1520 ", "-1 page", "x1 page", " 1 page"}) {
        EXPECT_FALSE(runlog::SplitLine(line, &ms, &event)) << '"' << line << '"';
    }
}

TEST(LogRecords, TheMixerAsFoundReadsBack) {
    // A serial that holds quotes, a backslash and a byte beyond ASCII, and a path that holds the
    // words that end a serial.
    const runlog::MixerIdentity mixer{0x0CA8, 0x0804, 0x0102, "VT 0 \"1\" path=\\\xC3\xA9",
                                      "\\\\?\\hid#vid_0ca8&pid_0804#a b\" path=c"};
    const std::string event = runlog::FormatFound(mixer);
    EXPECT_EQ(event.substr(0, 86),
              "found vendor=0CA8 product=0804 version=1.02 serial=\"VT 0 \\x221\\x22 "
              "path=\\x5C\\xC3\\xA9\" ");
    runlog::MixerIdentity parsed;
    ASSERT_TRUE(runlog::ParseFound(event, &parsed));
    EXPECT_EQ(parsed, mixer);

    const runlog::MixerIdentity odd{0x0CA8, 0x0801, 0x1A00, "", "p"};
    ASSERT_TRUE(runlog::ParseFound(runlog::FormatFound(odd), &parsed));
    EXPECT_EQ(parsed, odd);
    EXPECT_FALSE(runlog::ParseFound("found vendor=0CA8 product=0804 version=1.2 serial=\"\" path=p",
                                    &parsed));
}

TEST(LogRecords, TransfersAreDescribedAsTheProtocolReads) {
    EXPECT_EQ(runlog::DescribeTransfer({true, 0xF0, 0, {0xF0, 'V', 'F', 'F', 'W', 0}}),
              "set F0 \"VFFW\" -> 0");
    EXPECT_EQ(runlog::DescribeTransfer({false, 0xF0, 0, {0xF0, 0, 0, 0, 1, 0}}),
              "get F0 status 00000001 -> 0");
    EXPECT_EQ(runlog::DescribeTransfer({true, 0xF1, 1167, {0xF1, 0x12, 0x34, 0x56, 0x78, 9}}),
              "set F1 data 12345678... -> 1167");
    EXPECT_EQ(runlog::DescribeTransfer({false, 0xF0, 1167, {}}), "get F0 -> 1167");
}

TEST(LogRecords, WritesTheVersionNumberAsMajorDotMinor) {
    const struct {
        unsigned bcdDevice;
        const char* text;
    } cases[] = {
        {0x0123, "1.23"},  // no leading zero in the major number
        {0x0214, "2.14"},
        {0x1002, "10.02"},  // both digits of each half, the minor's leading zero kept
        {0x0000, "0.00"},
        {0x02A4, "0x02A4"},  // not BCD: the number as it stands, never "2.:4"
        {0xA001, "0xA001"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runlog::FirmwareVersionText(c.bcdDevice), c.text) << std::hex << c.bcdDevice;
    }
}

}  // namespace
