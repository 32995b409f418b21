// Process entry of the portable programs: the POSIX main in place of WinMain.
#include "framework/portable/programentry.h"

int main(int argc, char** argv) {
    return portable::RunProgram(argc, argv);
}
