#include "programs/programversion.h"

#include "programs/programcommit.h"

namespace programs {

std::string ProgramVersion(const char* program) {
    return std::string(program) + " " + VANTOR_VERSION + " (commit " + PROGRAM_COMMIT + ")";
}

}  // namespace programs
