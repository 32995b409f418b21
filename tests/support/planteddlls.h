// The copies of hid.dll and winmm.dll that tests plant where a program could find them
// (planteddll.cpp), and the markers those copies leave when they are loaded.
#pragma once

#include <string>

// The DLLs that the program takes from the system folder only.
inline constexpr const char* kPlantedDlls[] = {"hid.dll", "winmm.dll"};

// The built copy of `file`, as Wine names it.
std::string PlantedDll(const std::string& file);
// The marker that a planted copy at `dllPath` leaves when it is loaded.
std::string MarkerOf(const std::string& dllPath);
bool FileExists(const std::string& path);
