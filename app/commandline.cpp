#include "app/commandline.h"

#include <cstring>

namespace {

// Where the next log switch begins, which of the two it is, and its length.
bool FindLogSwitch(const std::string& line, std::size_t from, std::size_t* at, bool* transfers,
                   std::size_t* length) {
    const std::size_t plain = line.find(SWITCH_LOG, from);
    const std::size_t all = line.find(SWITCH_LOG_TRANSFERS, from);
    if (plain == std::string::npos && all == std::string::npos) {
        return false;
    }
    *transfers = all < plain;
    *at = *transfers ? all : plain;
    *length = std::strlen(*transfers ? SWITCH_LOG_TRANSFERS : SWITCH_LOG);
    return true;
}

}  // namespace

std::string TakeLogSwitch(LPCSTR lpCmdLine, LogRequest* request) {
    std::string line = lpCmdLine != nullptr ? lpCmdLine : "";
    *request = LogRequest{};
    bool first = true;
    std::size_t at = 0;
    bool transfers = false;
    std::size_t length = 0;
    while (FindLogSwitch(line, at, &at, &transfers, &length)) {
        std::size_t begin = at;
        std::size_t valueAt = at + length;
        std::size_t end;
        std::string path;
        const bool wholeQuoted = at > 0 && line[at - 1] == '"';
        if (wholeQuoted || (valueAt < line.size() && line[valueAt] == '"')) {
            // "-log=C:\My Logs\run.log" or -log="C:\My Logs\run.log": up to the closing quote.
            begin = wholeQuoted ? at - 1 : at;
            const std::size_t pathAt = wholeQuoted ? valueAt : valueAt + 1;
            const std::size_t quote = line.find('"', pathAt);
            end = quote == std::string::npos ? line.size() : quote + 1;
            path = line.substr(pathAt, (quote == std::string::npos ? line.size() : quote) - pathAt);
        } else {
            end = line.find_first_of(" 	", valueAt);
            end = end == std::string::npos ? line.size() : end;
            path = line.substr(valueAt, end - valueAt);
        }
        if (first) {
            request->path = path;
            request->transfers = transfers;
            first = false;
        }
        line.erase(begin, end - begin);
        at = begin;
    }
    return line;
}

BOOL IsSwitchPresent(LPCSTR lpCmdLine, LPCSTR lpSwitch) {
    return std::strstr(lpCmdLine, lpSwitch) != nullptr;
}

std::vector<WizardPage> SelectWizardPages(LPCSTR lpCmdLine) {
    std::vector<WizardPage> pages{WizardPage::Welcome};
    if (!IsSwitchPresent(lpCmdLine, SWITCH_USB_TEST_ONLY) &&
        !IsSwitchPresent(lpCmdLine, SWITCH_DANTE_TEST_ONLY)) {
        pages.push_back(WizardPage::Update);
    }
    if (IsSwitchPresent(lpCmdLine, SWITCH_USB_TEST)) {
        pages.push_back(WizardPage::UsbTest);
    }
    if (IsSwitchPresent(lpCmdLine, SWITCH_DANTE_TEST)) {
        pages.push_back(WizardPage::DanteTest);
    }
    pages.push_back(WizardPage::Finish);
    return pages;
}
