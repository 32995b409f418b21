// A program run to its end through the shell, as the programs' tests start them: its standard
// output a line at a time (without the line breaks) and its exit status.
#pragma once

#include <string>
#include <vector>

struct ShellRun {
    std::vector<std::string> lines;
    int status = -1;  // -1 when it could not start or did not exit
};

ShellRun RunInShell(const std::string& command);

// A text file's lines, none for a file that is not there.
std::vector<std::string> ReadLines(const std::string& path);
