// The run log: written only when the person asks for it, one event a line, plain enough to read
// and stable enough for a script. Each line is the milliseconds since the log started on the
// process clock, a space, and the event:
//
//   0 program vantor-setup 1.0.0 (commit 1a2b3c4)
//   1520 command ERFW took=250ms transfers=3 status-reads=2 busy=1 failed-reads=0 status=00000000
//
// The events' own words are in logrecords.h. A log that cannot be written never stops or changes
// what the program does: the first failure is kept for the program to report once, and nothing
// more is written.
#pragma once

#include <string>

namespace runlog {

enum class Detail {
    Events,     // pages, buttons, steps, the mixer as found, counts per command, failures
    Transfers,  // the events and every feature transfer, enough for a replay
};

// Starts the log at `path`, replacing what was there. False, with the system's reason in *error,
// when the file cannot be made; the program then runs without a log.
bool Start(const std::string& path, Detail detail, std::string* error);
// Ends the log and closes its file.
void Stop();

bool IsOn();
bool RecordsTransfers();

// One event; a line of its own whatever the event holds. Nothing happens while the log is off.
void Write(const std::string& event);

// "PATH: REASON" for the first write that failed; empty while every write succeeded.
std::string WriteFailure();

// "CODE TEXT": a Win32 error code with the system's own words for it, on one line.
std::string ErrorText(unsigned long code);

}  // namespace runlog
