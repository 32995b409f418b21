# Warnings are errors everywhere; sanitizers are chosen by the preset. The options go to the C and
# C++ compilers only: the resource compiler and the assembler take none of them.
set(vantor_code "$<COMPILE_LANGUAGE:C,CXX>")
if(MSVC)
  add_compile_options("$<${vantor_code}:/W4;/WX>")
else()
  add_compile_options("$<${vantor_code}:-Wall;-Wextra;-Wpedantic;-Wshadow;-Werror>")
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>")
endif()
# GCC 12's optimiser reports overlapping copies inside libstdc++'s own string concatenation that
# cannot happen (GCC bug 105651, fixed in GCC 13); the warning says nothing about our code there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>")
endif()

# The Linux programs are hardened as Debian hardens its own packages: a canary on the stack of every
# function with an array or a local whose address is taken, executables that load at a random
# address as a whole (PIE), and relocations all resolved at start and then made read-only (BIND_NOW
# with RELRO), so that the addresses of the library functions they call cannot be overwritten.
# glibc's checked string and memory functions need the optimiser to know the sizes, and in a
# sanitizer build they would take over the faults the sanitizers are there to report: only optimised
# builds without sanitizers get them. A toolchain that defines _FORTIFY_SOURCE itself (Ubuntu's
# does) would warn of a redefinition.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  add_compile_options("$<${vantor_code}:-fstack-protector-strong>")
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  if(NOT VANTOR_SANITIZE)
    set(vantor_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    add_compile_options(
      "$<$<AND:${vantor_code},${vantor_optimised}>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  endif()
endif()

if(VANTOR_SANITIZE)
  add_compile_options("$<${vantor_code}:-fsanitize=${VANTOR_SANITIZE};-fno-omit-frame-pointer>")
  add_link_options(-fsanitize=${VANTOR_SANITIZE})
  if(VANTOR_SANITIZE MATCHES "undefined")
    add_compile_options("$<${vantor_code}:-fno-sanitize-recover=all>")
  endif()
endif()

if(WIN32)
  # One self-contained executable: no compiler runtime DLLs beside it.
  if(MINGW)
    add_link_options(-static -static-libgcc -static-libstdc++)
    # No link time in the PE header (nor in its checksum, which covers it): the same sources make
    # the same program, wherever and whenever they are built.
    add_link_options(-Wl,--no-insert-timestamp)
  elseif(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  endif()
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
