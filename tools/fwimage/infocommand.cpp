// fwimage info: everything the header says, in stored order, and whether the CRCs hold.
#include <cstdio>
#include <string>
#include <vector>

#include "firmware/imagereport.h"
#include "tools/fwimage/commands.h"
#include "tools/fwimage/imagefile.h"

int RunInfo(int argc, char** argv) {
    if (argc != 1) {
        throw CommandError("info: needs exactly one FILE");
    }
    const std::vector<BYTE> image = ReadImageFile(argv[0]);
    std::string report = std::string("image: ") + argv[0] + "\n";
    const bool valid = WriteImageReport(image.data(), static_cast<DWORD>(image.size()), &report);
    std::fputs(report.c_str(), stdout);
    return valid ? EXIT_OK : EXIT_REJECTED;
}
