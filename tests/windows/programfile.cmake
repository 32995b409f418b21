# What the file setup.exe may hold. Run as `cmake -DOBJDUMP=... -DPROGRAM=... -P programfile.cmake`.
#
# It is one file that runs on any Windows: it may import only DLLs that every Windows has, never a
# compiler's runtime DLL. And it runs from wherever it was downloaded to, where Windows looks for an
# imported DLL before the system folder: so only KnownDLLs, which always come from the system
# folder, and comctl32, which the manifest takes from the side-by-side store. hid.dll and winmm.dll
# are neither; the program finds them in the system folder itself (platform/win32/).
#
# It carries no debug sections: they are the MinGW runtime's, of no use to anyone who runs it.
cmake_minimum_required(VERSION 3.25)
set(system_dlls
  advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll setupapi.dll
  shell32.dll user32.dll ws2_32.dll)

execute_process(COMMAND ${OBJDUMP} -p -h ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the headers of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "${PROGRAM} imports nothing: not the program expected")
endif()
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(FATAL_ERROR "${PROGRAM} imports ${dll}, which Windows does not bring or would look for "
      "beside the program first")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

# objdump -h lists the sections as "Idx Name Size ...".
string(REGEX MATCHALL "\n +[0-9]+ \\.debug_[a-z_]+" debug_sections "${headers}")
if(debug_sections)
  string(REGEX REPLACE "\n +[0-9]+ " "" debug_sections "${debug_sections}")
  list(JOIN debug_sections ", " debug_sections)
  message(FATAL_ERROR "${PROGRAM} carries debug sections: ${debug_sections}")
endif()
