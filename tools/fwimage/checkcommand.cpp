// fwimage check: the update's own acceptance rule, run on the same working buffer the update uses.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/firmwareimage.h"
#include "firmware/imagereport.h"
#include "tools/fwimage/commands.h"
#include "tools/fwimage/imagefile.h"

int RunCheck(int argc, char** argv) {
    const char* path = nullptr;
    bool code = false;
    bool logic = false;
    bool requireSub = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--code") {
            code = true;
        } else if (arg == "--logic") {
            logic = true;
        } else if (arg == "--sub") {
            requireSub = true;
        } else if (arg.substr(0, 2) == "--" || path != nullptr || arg.empty()) {
            throw CommandError("check: unexpected argument '" + std::string(arg) + "'");
        } else {
            path = argv[i];
        }
    }
    if (code == logic || path == nullptr || (code && requireSub)) {
        throw CommandError("check: needs --code FILE or --logic [--sub] FILE");
    }

    const std::vector<BYTE> bytes = ReadImageFile(path);
    CFirmwareImage image;
    if (!image.LoadFromBytes(bytes.data(), static_cast<DWORD>(bytes.size()))) {
        throw CommandError("check: no memory for the working buffer of '" + std::string(path) +
                           "'");
    }
    AcceptanceStep step = AcceptanceStep::Accepted;
    const std::string verdict =
        AcceptanceVerdict(image.GetData(), image.GetImageSize(),
                          code ? ImageKind::Code : ImageKind::Logic, requireSub, &step);
    std::printf("%s\n", verdict.c_str());
    return step == AcceptanceStep::Accepted ? EXIT_OK : EXIT_REJECTED;
}
