#include "tests/update/updaterun.h"

#include "platform/portable/moduleresources.h"
#include "resources/resource.h"
#include "update/imageheader.h"

std::vector<std::string> UpdateRun::Commands() const {
    std::vector<std::string> commands;
    for (const std::string& line : system.Mixer().GetTranscript()) {
        if (line.rfind("set F0 ", 0) == 0) {
            commands.push_back(line.substr(7, 4));
        }
    }
    return commands;
}

std::size_t UpdateRun::Blocks() const {
    std::size_t blocks = 0;
    for (const std::string& line : system.Mixer().GetTranscript()) {
        blocks += line.rfind("set F1 ", 0) == 0 ? 1 : 0;
    }
    return blocks;
}

std::vector<int> UpdateRun::Positions() const {
    std::vector<int> positions;
    int last = 0;
    for (const auto& entry :
         wizard.EventsOn(IDD_INSTALLING, portable::ViewEvent::Kind::ControlChanged)) {
        const int position = entry.sheet.page.Control(IDC_PROGRESS)->position;
        if (position != last) {
            positions.push_back(position);
            last = position;
        }
    }
    return positions;
}

int UpdateRun::LastPosition() const {
    const std::vector<int> positions = Positions();
    return positions.empty() ? 0 : positions.back();
}

std::vector<BYTE> ResourceBytes(WORD resourceId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_RCDATA);
    if (info == nullptr) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
    return std::vector<BYTE>(data, data + SizeofResource(module, info));
}

std::vector<BYTE> ExpectedFlash(WORD resourceId) {
    const std::vector<BYTE> image = ResourceBytes(resourceId);
    ImageHeaderInfo header{};
    ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &header);
    std::vector<BYTE> flash(image.begin() + header.headerLength, image.end());
    flash.resize((flash.size() + 59) / 60 * 60, 0);
    return flash;
}

ImageOverride::ImageOverride(WORD resourceId, const std::vector<BYTE>* data)
    : m_id(resourceId), m_original(nullptr), m_originalSize(0) {
    HMODULE module = GetModuleHandleA(nullptr);
    if (HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_RCDATA)) {
        m_original = LockResource(LoadResource(module, info));
        m_originalSize = SizeofResource(module, info);
    }
    portable::ReplaceRawResource(10, resourceId, data != nullptr ? data->data() : nullptr,
                                 data != nullptr ? static_cast<DWORD>(data->size()) : 0);
}

ImageOverride::~ImageOverride() {
    portable::ReplaceRawResource(10, m_id, m_original, m_originalSize);
}
