// fwimage's commands. Each takes the arguments after its name and returns the process exit code.
#pragma once

#include <stdexcept>
#include <string>

constexpr int EXIT_OK = 0;
constexpr int EXIT_REJECTED = 1;  // an image that check refuses or whose header info finds invalid
constexpr int EXIT_USAGE = 2;     // bad arguments, unreadable or unwritable files

// Bad arguments or files: main prints the message on one line and exits with EXIT_USAGE.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int RunBuild(int argc, char** argv);
int RunInfo(int argc, char** argv);
int RunCheck(int argc, char** argv);
