// Named mutexes of the global namespace ("Global\NAME"), as CreateMutexA makes them, for builds
// without Windows. Where the machine is this process (the simulator), a name lives in the process
// only; a program for real devices puts the names in a directory that every user of the machine
// reaches, as an advisory lock (flock) on a file per name, which the kernel lets go when the holder
// ends however it ends.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/win32api.h"

namespace portable {

// From now on a global name is the file DIRECTORY/NAME.lock; an empty directory keeps the names
// in this process (the default).
void SetGlobalNamespaceDirectory(const std::string& directory);

// The process that holds the global mutex NAME (without "Global\"), as the kernel's list of locks
// names it; 0 when it cannot tell (the names live in this process, or nobody holds it).
pid_t GlobalMutexHolder(const std::string& name);

// For CloseHandle: closes a handle of CreateMutexA; false when the handle is none of its.
bool CloseGlobalMutexHandle(HANDLE handle);

}  // namespace portable
