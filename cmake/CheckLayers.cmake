# Checks that the system's includes point downwards only: each top-level folder may include its own
# headers and those of the folders listed for it, nothing above. Prints the folder graph as it is;
# fails with every upward include, by file.
#
#   cmake -P cmake/CheckLayers.cmake [SOURCE_DIR]
#
# SOURCE_DIR defaults to the project's own; the tests also run it on a tree with an upward include.
cmake_minimum_required(VERSION 3.25)


set(allowed_platform platform)
# The run log: written from every layer above, so it rests on the platform alone.
set(allowed_diagnostics platform diagnostics)
set(allowed_resources platform resources)
set(allowed_device platform diagnostics device)
# What Linux says of a HID device, which the virtual mixer writes and the hardware backend reads.
set(allowed_hid platform hid)
set(allowed_firmware platform firmware)
set(allowed_stages platform diagnostics device firmware stages)
set(allowed_framework platform diagnostics resources framework)
set(allowed_app platform diagnostics resources framework device stages app)
# The simulated mixer: a device backend, the mixer that device/ describes, answering the status
# words that device/ names.
set(allowed_sim platform diagnostics device hid sim)
set(allowed_tools platform firmware tools)
# The backend over a Linux system's own devices, the hardware's counterpart of sim.
set(allowed_hardware platform hid hardware)
# The entry points: each program puts the system's parts together.
set(allowed_programs
  platform diagnostics hid resources framework device firmware stages app sim hardware programs)
set(layers platform diagnostics hid resources device firmware stages framework app sim hardware tools programs)

if(CMAKE_ARGV3)
  get_filename_component(root "${CMAKE_ARGV3}" ABSOLUTE)
else()
  get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

set(violations "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources RELATIVE "${root}" "${root}/${layer}/*.h" "${root}/${layer}/*.cpp")
  set(reached "")
  foreach(source IN LISTS sources)
    file(STRINGS "${root}/${source}" lines REGEX "^#include \"[A-Za-z0-9_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^#include \"([A-Za-z0-9_]+)/.*" "\\1" target "${line}")
      list(APPEND reached "${target}")
      if(NOT target IN_LIST allowed_${layer})
        string(REPLACE ";" " " permitted "${allowed_${layer}}")
        string(APPEND violations "  ${source}: ${line} (${layer} may include: ${permitted})\n")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES reached)
  list(REMOVE_ITEM reached "${layer}")
  list(SORT reached)
  string(REPLACE ";" " " reached "${reached}")
  message("${layer} -> ${reached}")
endforeach()

if(violations)
  message(FATAL_ERROR "includes that point upwards:\n${violations}")
endif()
