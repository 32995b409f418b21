#include "sim/mixerbus.h"

#include "sim/mixernames.h"
#include "sim/processclock.h"

namespace sim {

namespace {

// The room that a wave device's interface name has in the wizard, NUL included, in UTF-16.
constexpr std::size_t kInterfaceNameRoom = 1024;

// The second mixer signals and counts as the first one does, but shows none of its audio faults.
SimConfig ForSecondMixer(const SimConfig& config) {
    SimConfig second = config;
    second.audio = AudioConfig{};
    second.audio.signalDelayMs = config.audio.signalDelayMs;
    second.audio.signalSeed = config.audio.signalSeed;
    second.dante.failingRead = 0;
    return second;
}

}  // namespace

MixerBus::MixerBus(const SimConfig& config, DeviceTree* tree, DWORD rootHub, Transcript* transcript,
                   DWORD now)
    : m_config(config), m_tree(tree), m_rootHub(rootHub), m_transcript(transcript) {
    const std::size_t count = config.secondMixer ? 2 : 1;
    for (std::size_t unit = 0; unit < count; ++unit) {
        auto mixer = std::make_unique<BusMixer>(unit, unit == 0 ? config : ForSecondMixer(config));
        mixer->serialNumber = unit == 0 ? u"VT24A0117" : u"VT24A0342";
        m_mixers.push_back(std::move(mixer));
    }
    const WORD first = config.start == MixerStart::Update      ? PRODUCT_ID_UPDATE
                       : config.start == MixerStart::UpdateAlt ? PRODUCT_ID_UPDATE_ALT
                                                               : PRODUCT_ID_RUN;
    if (config.start != MixerStart::Absent) {
        Arrive(At(0), first, now);
    }
    if (config.secondMixer) {
        Arrive(At(1), PRODUCT_ID_RUN, now);
    }
    // Whatever was attached before the program started is installed already.
    for (auto& mixer : m_mixers) {
        mixer->installedAt = now;
    }
}

BusMixer* MixerBus::Live(std::size_t unit, unsigned generation) {
    BusMixer& mixer = At(unit);
    return mixer.present && mixer.generation == generation ? &mixer : nullptr;
}

void MixerBus::Advance(DWORD now) {
    for (auto& mixer : m_mixers) {
        if (mixer->arriving && Reached(now, mixer->arrivalAt)) {
            Arrive(*mixer, mixer->arrivalProductId, mixer->arrivalAt);
        }
    }
}

void MixerBus::Arrive(BusMixer& mixer, WORD productId, DWORD now) {
    ++mixer.generation;
    const MixerHidNames names = HidNames(mixer.unit, productId, mixer.generation,
                                         m_config.faults.longPath && mixer.unit == 0);
    mixer.usbNode = m_tree->Add(m_rootHub, names.usbDevice);
    const DWORD function = m_tree->Add(mixer.usbNode, names.hidFunction);
    mixer.hidNode = m_tree->Add(function, names.hidDevice);
    mixer.path = names.path;
    if (productId == PRODUCT_ID_RUN) {
        AddAudioFunction(mixer);
    }
    mixer.protocol.Start(productId);
    mixer.present = true;
    mixer.arriving = false;
    mixer.installedAt = now + m_config.timing.installationMs;
    m_transcript->Log(mixer.unit, "plug " + MixerIdentity(productId));
}

void MixerBus::AddAudioFunction(BusMixer& mixer) {
    // Beside the HID interface function, under the same USB composite device.
    mixer.audioNode = m_tree->Add(mixer.usbNode, AudioFunctionInstance());
    // A long name is one character more than a 1,024-byte name buffer holds: the device-setup
    // service still gives the whole path to a detail buffer of 1,030 bytes, the wave driver's name
    // no longer fits.
    const bool longName = mixer.unit == 0 && m_config.audio.longInterfaceName;
    mixer.audioPath = AudioInterfacePath(mixer.unit, mixer.generation,
                                         longName ? kInterfaceNameRoom / sizeof(char16_t) : 0);
}

void MixerBus::Leave(BusMixer& mixer, DWORD now) {
    m_tree->Remove(mixer.usbNode);
    mixer.present = false;
    mixer.usbNode = mixer.hidNode = mixer.audioNode = 0;
    mixer.audioPath.clear();
    mixer.leftAt = now;
    m_transcript->Log(mixer.unit, "unplug " + MixerIdentity(mixer.protocol.GetProductId()));
}

void MixerBus::Restart(BusMixer& mixer, MixerProtocol::Restart restart, DWORD now) {
    Leave(mixer, now);
    mixer.arriving = true;
    mixer.arrivalAt = now + m_config.timing.restartMs;
    mixer.arrivalProductId =
        restart == MixerProtocol::Restart::IntoUpdate        ? m_config.updateProductId
        : restart == MixerProtocol::Restart::IntoApplication ? PRODUCT_ID_RUN
                                                             : mixer.protocol.GetProductId();
}

void MixerBus::PullOut(BusMixer& mixer, DWORD now) {
    if (mixer.present) {
        Leave(mixer, now);
    }
    mixer.arriving = false;
}

}  // namespace sim
