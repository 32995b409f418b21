#include "framework/portable/lineformat.h"

#include <algorithm>
#include <cctype>

namespace portable {

std::string Trimmed(const std::string& s) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(s.begin(), s.end(), blank);
    const auto last = std::find_if_not(s.rbegin(), s.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            out += "\\n";
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // a Windows line break (the string table's, the system's texts) is one break
        } else if (text[i] == '\r') {
            out += "\\r";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ButtonName(const ButtonView& button) {
    std::string name = button.Label();
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '<' || c == '>'; }),
        name.end());
    return Lower(Trimmed(name));
}

std::optional<std::string> ShownText(const ControlView& c) {
    if (c.kind != ControlView::Kind::Text || !c.visible || c.text.empty()) {
        return std::nullopt;
    }
    return c.text;
}

std::optional<std::string> ShownProgress(const ControlView& c) {
    if (c.kind != ControlView::Kind::ProgressBar || !c.visible) {
        return std::nullopt;
    }
    if (c.marquee) {
        return "marquee";
    }
    return std::to_string(std::clamp(c.position, 0, 100)) + "%";
}

std::size_t TitleIndex(const PageView& page) {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        if (!ShownText(page.controls[i])) {
            continue;
        }
        if (page.controls[i].bold) {
            return i;
        }
        if (!first) {
            first = i;
        }
    }
    return first.value_or(page.controls.size());
}

const char* TaskbarStateName(TBPFLAG state) {
    switch (state) {
        case TBPF_NOPROGRESS:
            return "none";
        case TBPF_INDETERMINATE:
            return "indeterminate";
        case TBPF_NORMAL:
            return "normal";
        case TBPF_ERROR:
            return "error";
        case TBPF_PAUSED:
            return "paused";
    }
    return "unknown";
}

}  // namespace portable
