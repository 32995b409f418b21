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
