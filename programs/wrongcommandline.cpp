#include "programs/wrongcommandline.h"

#include <cstdio>

namespace programs {

int WrongCommandLine(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n(%s --help lists the options)\n", program, message.c_str(),
                 program);
    return 2;
}

}  // namespace programs
