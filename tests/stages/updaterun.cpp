#include "tests/stages/updaterun.h"

#include "resources/resource.h"

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
