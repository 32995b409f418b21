// The mixer as a USB device, seen from the guest's side of usbredir as QEMU sees it: what the
// device announces in each mode, its descriptors, feature reports carried to the simulated mixer
// and back, its restarts and departures as disconnects and connects, and its audio stream. All on
// the virtual clock.
#include "sim/usbmixer/redirdevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sim/reportdescriptor.h"
#include "sim/servedmixer.h"
#include "tests/support/simulatedsystem.h"
#include "tests/usbmixer/redirguest.h"

namespace {

constexpr std::size_t kReportLength = 65;
constexpr BYTE kSetReport = 0x09;
constexpr BYTE kGetReport = 0x01;
constexpr WORD kFeature = 0x0300;

// A connection whose device has been announced to the guest.
struct Served {
    explicit Served(SimulatedSystem* system, std::size_t unit = 0)
        : device(&system->Mixer(), unit), guest(&device) {}
    bool Connected() {
        return guest.Until([&] { return guest.events.size() >= 4; });
    }
    sim::RedirDevice device;
    RedirGuest guest;
};

std::vector<BYTE> Command(const char* code) {
    std::vector<BYTE> report(kReportLength, 0);
    report[0] = 0xF0;
    std::memcpy(&report[1], code, 4);
    return report;
}

RedirGuest::Reply SetReport(RedirGuest& guest, const std::vector<BYTE>& report) {
    return guest.Control({0x21, kSetReport, static_cast<WORD>(kFeature | report[0]), 0,
                          static_cast<WORD>(report.size())},
                         report);
}

RedirGuest::Reply GetReport(RedirGuest& guest, BYTE reportId, WORD length = kReportLength) {
    return guest.Control({0xA1, kGetReport, static_cast<WORD>(kFeature | reportId), 0, length});
}

std::vector<BYTE> Utf16Descriptor(const std::u16string& text) {
    std::vector<BYTE> out{static_cast<BYTE>(2 + 2 * text.size()), 0x03};
    for (const char16_t c : text) {
        out.push_back(static_cast<BYTE>(c));
        out.push_back(static_cast<BYTE>(c >> 8));
    }
    return out;
}

TEST(RedirDevice, AnnouncesTheMixerInEachModeAfterTheClientsHello) {
    struct Case {
        sim::MixerStart start;
        const char* connect;
        std::vector<BYTE> device;  // the device descriptor
        WORD configurationLength;
        std::uint32_t interfaceCount;
        std::uint8_t audioEndpointType;
        std::uint16_t audioEndpointSize;
    } const cases[] = {
        {sim::MixerStart::Application,
         "connect 0CA8:0801 0214",
         {18, 1, 0x00, 0x02, 0, 0, 0, 64, 0xA8, 0x0C, 0x01, 0x08, 0x14, 0x02, 1, 2, 3, 1},
         125,
         3,
         usb_redir_type_iso,
         192},
        {sim::MixerStart::Update,
         "connect 0CA8:0800 0102",
         {18, 1, 0x00, 0x02, 0, 0, 0, 64, 0xA8, 0x0C, 0x00, 0x08, 0x02, 0x01, 1, 2, 3, 1},
         34,
         1,
         usb_redir_type_invalid,
         0},
    };
    for (const Case& c : cases) {
        SimulatedSystem system(MixerStartingIn(c.start));
        Served served(&system);
        ASSERT_TRUE(served.Connected()) << c.connect;
        RedirGuest& guest = served.guest;
        EXPECT_EQ(guest.events,
                  (std::vector<std::string>{"hello", "interfaces", "endpoints", c.connect}));
        // What QEMU asks of a device before it attaches it to an XHCI port.
        for (const int cap : {usb_redir_cap_ep_info_max_packet_size,
                              usb_redir_cap_32bits_bulk_length, usb_redir_cap_64bits_ids}) {
            EXPECT_TRUE(usbredirparser_peer_has_cap(guest.parser, cap)) << cap;
        }
        EXPECT_EQ(guest.interfaces.interface_count, c.interfaceCount) << c.connect;
        EXPECT_EQ(guest.interfaces.interface_class[0], 0x03);  // HID
        // Endpoint 0x81 (index 17): the HID interrupt IN; 0x82 (index 18): the audio stream.
        EXPECT_EQ(guest.endpoints.type[17], usb_redir_type_interrupt);
        EXPECT_EQ(guest.endpoints.max_packet_size[17], 64);
        EXPECT_EQ(guest.endpoints.interval[17], 10);
        EXPECT_EQ(guest.endpoints.interface[17], 0);
        EXPECT_EQ(guest.endpoints.type[18], c.audioEndpointType) << c.connect;
        EXPECT_EQ(guest.endpoints.max_packet_size[18], c.audioEndpointSize) << c.connect;
        // Every frame, on the streaming interface.
        EXPECT_EQ(guest.endpoints.interval[18], c.audioEndpointSize != 0 ? 1 : 0) << c.connect;
        EXPECT_EQ(guest.endpoints.interface[18], c.audioEndpointSize != 0 ? 2 : 0) << c.connect;

        EXPECT_EQ(guest.GetDescriptor(0x01, 0, 18).data, c.device) << c.connect;
        const RedirGuest::Reply head = guest.GetDescriptor(0x02, 0, 9);
        ASSERT_EQ(head.data.size(), 9u);
        EXPECT_EQ(head.data[2] | head.data[3] << 8, c.configurationLength) << c.connect;
        EXPECT_EQ(head.data[4], c.interfaceCount) << c.connect;
        EXPECT_EQ(guest.GetDescriptor(0x02, 0, 0xFFFF).data.size(), c.configurationLength);
    }
}

TEST(RedirDevice, NoDeviceIsAnnouncedBeforeTheClientsHello) {
    SimulatedSystem system;
    sim::RedirDevice device(&system.Mixer(), 0);
    RedirGuest guest(&device);
    // The guest has not written its hello yet: the device has had nothing to read.
    device.Pump();
    ASSERT_TRUE(guest.Until([&] { return !guest.events.empty(); }));
    EXPECT_EQ(guest.events.front(), "hello");
    ASSERT_TRUE(guest.Until([&] { return guest.events.size() == 4; }));
}

TEST(RedirDevice, AnswersItsDescriptorsFromTheOneDescriptionOfTheMixer) {
    SimulatedSystem system;
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    struct Case {
        const char* what;
        RedirGuest::Reply reply;
        std::uint8_t status;
        std::vector<BYTE> data;
    } const cases[] = {
        {"languages", guest.GetDescriptor(0x03, 0, 255), usb_redir_success, {4, 3, 0x09, 0x04}},
        {"manufacturer", guest.GetDescriptor(0x03, 1, 255), usb_redir_success,
         Utf16Descriptor(u"Corvena")},
        {"product", guest.GetDescriptor(0x03, 2, 255), usb_redir_success,
         Utf16Descriptor(u"Vantor")},
        {"serial", guest.GetDescriptor(0x03, 3, 255), usb_redir_success,
         Utf16Descriptor(u"VT24A0117")},
        {"no such string", guest.GetDescriptor(0x03, 4, 255), usb_redir_stall, {}},
        {"device qualifier", guest.GetDescriptor(0x06, 0, 10), usb_redir_stall, {}},
        {"report descriptor", guest.GetDescriptor(0x22, 0, 255, 0x81), usb_redir_success,
         sim::MixerReportDescriptor(kReportLength)},
        {"cut to the asked length",
         guest.GetDescriptor(0x01, 0, 8),
         usb_redir_success,
         {18, 1, 0x00, 0x02, 0, 0, 0, 64}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.reply.status, c.status) << c.what;
        EXPECT_EQ(c.reply.data, c.data) << c.what;
    }
    // The HID descriptor inside the configuration announces the report descriptor's length.
    const std::vector<BYTE> configuration = guest.GetDescriptor(0x02, 0, 0xFFFF).data;
    ASSERT_GE(configuration.size(), 25u);
    const std::size_t reportLength = sim::MixerReportDescriptor(kReportLength).size();
    EXPECT_EQ(
        std::vector<BYTE>(configuration.begin() + 18, configuration.begin() + 27),
        (std::vector<BYTE>{9, 0x21, 0x11, 0x01, 0, 1, 0x22, static_cast<BYTE>(reportLength), 0}));
}

// The first descriptor in a configuration that begins as `head` does (its length, its type and the
// byte after: a class descriptor's subtype, an endpoint's address); empty when there is none.
std::vector<BYTE> DescriptorLike(const std::vector<BYTE>& configuration,
                                 const std::vector<BYTE>& head) {
    for (std::size_t at = 0; at + 2 < configuration.size() && configuration[at] >= 3;
         at += configuration[at]) {
        if (std::equal(head.begin(), head.begin() + 3,
                       configuration.begin() + static_cast<std::ptrdiff_t>(at))) {
            return {configuration.begin() + static_cast<std::ptrdiff_t>(at),
                    configuration.begin() + static_cast<std::ptrdiff_t>(at + configuration[at])};
        }
    }
    return {};
}

TEST(RedirDevice, DeclaresItsAudioFormatAndEndpointAsTheAudioDriverReadsThem) {
    SimulatedSystem system;
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    const std::vector<BYTE> configuration = served.guest.GetDescriptor(0x02, 0, 0xFFFF).data;
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    } const cases[] = {
        {"control header: UAC 1.0, its length, streaming interface 2",
         {9, 0x24, 0x01, 0x00, 0x01, 30, 0, 1, 2}},
        {"type I: 2 channels of 2 bytes, 16 bits, 48 kHz",
         {11, 0x24, 0x02, 1, 2, 2, 16, 1, 0x80, 0xBB, 0x00}},
        {"isochronous IN, asynchronous, 192 bytes every frame",
         {9, 0x05, 0x82, 0x05, 192, 0, 1, 0, 0}},
        {"HID interrupt IN, 64 bytes every 10 ms", {7, 0x05, 0x81, 0x03, 64, 0, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescriptorLike(configuration, c.bytes), c.bytes) << c.what;
    }
}

TEST(RedirDevice, AnswersTheSettingsPacketsWithTheirStatus) {
    SimulatedSystem system;
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    struct Case {
        const char* what;
        RedirGuest::Reply reply;
        std::uint8_t status;
        BYTE value;  // the configuration or alternate setting the status gives
    } const cases[] = {
        {"configuration 1", guest.SetConfiguration(1), usb_redir_success, 1},
        {"then it is the one", guest.GetConfiguration(), usb_redir_success, 1},
        {"no configuration 2", guest.SetConfiguration(2), usb_redir_stall, 1},
        {"streaming setting 1", {guest.SetAltSetting(2, 1), {1}}, usb_redir_success, 1},
        {"then it is the one", guest.GetAltSetting(2), usb_redir_success, 1},
        {"the HID interface has no setting 1",
         {guest.SetAltSetting(0, 1), {0}},
         usb_redir_stall,
         0},
        {"the streaming endpoint is no interrupt endpoint",
         {guest.StartInterruptReceiving(0x82), {0}},
         usb_redir_stall,
         0},
        {"the HID endpoint is no isochronous endpoint",
         {guest.StartIsoStream(0x81), {0}},
         usb_redir_stall,
         0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.reply.status, c.status) << c.what;
        ASSERT_EQ(c.reply.data.size(), 1u) << c.what;
        EXPECT_EQ(c.reply.data[0], c.value) << c.what;
    }
}

TEST(RedirDevice, HasNoAudioFunctionInUpdateMode) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    EXPECT_EQ(guest.SetAltSetting(2, 1), usb_redir_stall);
    EXPECT_EQ(guest.StartIsoStream(0x82), usb_redir_stall);
    EXPECT_EQ(guest.Control({0xA2, 0x81, 0x0100, 0x82, 3}).status, usb_redir_stall);
    EXPECT_EQ(guest.events.back(), "connect 0CA8:0804 0102");
}

TEST(RedirDevice, CarriesEfwuToTheMixerAndReconnectsUnderItsUpdateIdentity) {
    for (const WORD updateId : {WORD{0x0804}, WORD{0x0800}}) {
        sim::SimConfig config;
        config.updateProductId = updateId;
        SimulatedSystem system(config);
        Served served(&system);
        ASSERT_TRUE(served.Connected());
        RedirGuest& guest = served.guest;

        const RedirGuest::Reply set = SetReport(guest, Command("GECF"));
        EXPECT_EQ(set.status, usb_redir_success);
        EXPECT_TRUE(set.data.empty());
        const RedirGuest::Reply status = GetReport(guest, 0xF0);
        EXPECT_EQ(status.status, usb_redir_success);
        ASSERT_EQ(status.data.size(), kReportLength);
        EXPECT_EQ(std::vector<BYTE>(status.data.begin(), status.data.begin() + 5),
                  (std::vector<BYTE>{0xF0, 0, 0, 0, 10}));  // the Dante counter's first reading
        EXPECT_EQ(SetReport(guest, Command("EFWU")).status, usb_redir_success);

        const std::string back =
            updateId == 0x0804 ? "connect 0CA8:0804 0102" : "connect 0CA8:0800 0102";
        ASSERT_TRUE(guest.Until([&] {
            Sleep(10);
            return guest.events.size() == 8;
        })) << back;
        EXPECT_EQ(std::vector<std::string>(guest.events.begin() + 4, guest.events.end()),
                  (std::vector<std::string>{"disconnect", "interfaces", "endpoints", back}));
        // The update-mode device has the HID interface alone.
        EXPECT_EQ(guest.interfaces.interface_count, 1u);
        EXPECT_EQ(guest.endpoints.type[18], usb_redir_type_invalid);
        const std::vector<std::string> transcript = system.Mixer().GetTranscript();
        ASSERT_GE(transcript.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(transcript.begin(), transcript.begin() + 4),
                  (std::vector<std::string>{"plug 0CA8:0801", "set F0 GECF", "get F0 0000000A",
                                            "set F0 EFWU"}));
        EXPECT_EQ(GetReport(guest, 0xF0).status, usb_redir_success) << back;
    }
}

TEST(RedirDevice, StallsATransferThatFails) {
    sim::SimConfig config;
    config.faults.commands.push_back({"GECF", sim::CommandFault::Kind::SendFails, 1, 0});
    config.featureReportByteLength = kReportLength;
    SimulatedSystem system(config);
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    struct Case {
        const char* what;
        RedirGuest::Reply reply;
        std::uint8_t status;
    } const cases[] = {
        {"the send fails once", SetReport(guest, Command("GECF")), usb_redir_stall},
        {"then goes through", SetReport(guest, Command("GECF")), usb_redir_success},
        {"a report the mixer does not have", GetReport(guest, 0xF1), usb_redir_stall},
        {"a report id that is not the one of the data",
         guest.Control({0x21, kSetReport, kFeature | 0xF1, 0, kReportLength}, Command("GECF")),
         usb_redir_stall},
        {"an input report", guest.Control({0xA1, kGetReport, 0x01F0, 0, kReportLength}),
         usb_redir_stall},
        {"a request HID does not have", guest.Control({0xA1, 0x7F, 0, 0, 1}), usb_redir_stall},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.reply.status, c.status) << c.what;
    }
    EXPECT_EQ(system.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 GECF failed 1117", "set F0 GECF",
                                        "get F1 failed 31"}));
}

TEST(RedirDevice, AnUnplugIsADisconnectAndAReplugAConnect) {
    sim::SimConfig config;
    config.faults.unplugAfterTransfers = 1;
    SimulatedSystem system(config);
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    SetReport(guest, Command("GECF"));
    ASSERT_TRUE(guest.Until([&] { return guest.events.size() == 5; }));
    EXPECT_EQ(guest.events.back(), "disconnect");
    // A transfer on its way as the device left stalls.
    EXPECT_EQ(GetReport(guest, 0xF0).status, usb_redir_stall);
    system.Mixer().Replug();
    ASSERT_TRUE(guest.Until([&] { return guest.events.size() == 8; }));
    EXPECT_EQ(guest.events.back(), "connect 0CA8:0801 0214");
}

TEST(RedirDevice, ATransferThatMeetsThePullIsNeverAnswered) {
    // A pulled cable takes the device with the transfer on the wire: no stall comes back, the port
    // empties, and the host fails the transfer itself.
    sim::SimConfig config;
    config.faults.unplugAtBlock = 1;
    SimulatedSystem system(config);
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    std::vector<BYTE> block(kReportLength, 0);
    block[0] = 0xF1;
    EXPECT_EQ(SetReport(guest, block).status, 0xFF);  // no reply within the bound
    EXPECT_TRUE(guest.replies.empty());
    EXPECT_EQ(guest.events.back(), "disconnect");
    EXPECT_EQ(system.Mixer().GetTranscript().back(), "set F1 - failed 1167");
}

TEST(RedirDevice, StreamsWhatTheMixerRecordsOnePacketAMillisecond) {
    // The guest's driver ends a stream by selecting the setting without bandwidth, or QEMU by
    // stopping the stream: either stops the packets and the mixer's capture.
    for (const bool byAlternateSetting : {true, false}) {
        SimulatedSystem system;
        Served served(&system);
        ASSERT_TRUE(served.Connected());
        RedirGuest& guest = served.guest;
        ASSERT_EQ(SetReport(guest, Command("UATE")).status, usb_redir_success);
        Sleep(500);  // the signal has started
        EXPECT_EQ(guest.StartInterruptReceiving(0x81), usb_redir_success);
        EXPECT_EQ(guest.SetAltSetting(2, 1), usb_redir_success);
        EXPECT_EQ(guest.StartIsoStream(0x82), usb_redir_success);

        // The same run as the backend's own capture gives it, started at the same time.
        std::shared_ptr<portable::WaveCapture> capture;
        ASSERT_EQ(system.Mixer().OpenWaveCapture(*sim::MixerCaptureDevice(&system.Mixer()),
                                                 sim::kMixerCaptureFormat, &capture),
                  MMSYSERR_NOERROR);
        const DWORD startedAt = timeGetTime();
        ASSERT_EQ(capture->Start(startedAt), MMSYSERR_NOERROR);
        Sleep(20);
        ASSERT_TRUE(guest.Until([&] { return guest.isoPackets.size() >= 20; }));
        EXPECT_EQ(guest.isoPackets.size(), 20u);  // no more than the time gives
        std::vector<BYTE> expected(20 * 192);
        capture->Read(startedAt, 0, expected.data(), expected.size());
        capture->Stop(timeGetTime());
        std::vector<BYTE> streamed;
        for (const std::vector<BYTE>& packet : guest.isoPackets) {
            EXPECT_EQ(packet.size(), 192u);
            streamed.insert(streamed.end(), packet.begin(), packet.end());
        }
        EXPECT_EQ(streamed, expected);
        EXPECT_NE(streamed, std::vector<BYTE>(streamed.size(), 0));
        EXPECT_EQ(guest.isoEndpoints, std::vector<BYTE>(20, 0x82));

        EXPECT_EQ(byAlternateSetting ? guest.SetAltSetting(2, 0) : guest.StopIsoStream(0x82),
                  usb_redir_success);
        Sleep(20);
        guest.Until([] { return false; });
        EXPECT_EQ(guest.isoPackets.size(), 20u) << byAlternateSetting;
        const std::vector<std::string> transcript = system.Mixer().GetTranscript();
        // The test's own capture and the stream's, each started and stopped.
        EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "audio: start"), 2);
        EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "audio: stop"), 2)
            << byAlternateSetting;
    }
}

TEST(RedirDevice, AnswersTheSamplingFrequencyOfTheAudioEndpoint) {
    SimulatedSystem system;
    Served served(&system);
    ASSERT_TRUE(served.Connected());
    RedirGuest& guest = served.guest;
    const std::vector<BYTE> rate{0x80, 0xBB, 0x00};  // 48,000
    EXPECT_EQ(guest.Control({0x22, 0x01, 0x0100, 0x82, 3}, rate).status, usb_redir_success);
    const RedirGuest::Reply current = guest.Control({0xA2, 0x81, 0x0100, 0x82, 3});
    EXPECT_EQ(current.status, usb_redir_success);
    EXPECT_EQ(current.data, rate);
    EXPECT_EQ(guest.Control({0xA2, 0x81, 0x0100, 0x81, 3}).status, usb_redir_stall);
}

TEST(RedirDevice, AClientThatComesBackIsServedAgain) {
    SimulatedSystem system;
    sim::RedirDevice device(&system.Mixer(), 0);
    for (int client = 0; client < 2; ++client) {
        RedirGuest guest(&device);
        ASSERT_TRUE(guest.Until([&] { return guest.events.size() == 4; })) << client;
        EXPECT_EQ(guest.events.back(), "connect 0CA8:0801 0214") << client;
    }
    // The last client has gone: the device notices at its next read.
    device.Pump();
    EXPECT_EQ(device.ClientFd(), -1);
}

TEST(RedirDevice, TheSecondMixerIsServedByTheSecondDevice) {
    sim::SimConfig config;
    config.secondMixer = true;
    SimulatedSystem system(config);
    Served first(&system, 0);
    Served second(&system, 1);
    ASSERT_TRUE(first.Connected());
    ASSERT_TRUE(second.Connected());
    EXPECT_EQ(first.guest.GetDescriptor(0x03, 3, 255).data, Utf16Descriptor(u"VT24A0117"));
    EXPECT_EQ(second.guest.GetDescriptor(0x03, 3, 255).data, Utf16Descriptor(u"VT24A0342"));
}

}  // namespace
