# Compiler and linker settings for the Windows builds. The launcher must start on a bare Windows
# XP: Unicode throughout, no C++ runtime DLLs (everything static, no exceptions, no RTTI), and
# nothing newer than XP in the headers.

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                        _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
add_compile_options(-Os -Wall -Wextra
                    -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables
                    "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti;-fno-threadsafe-statics>")
add_link_options(-municode -static -s -Wl,--gc-sections)

# Executable header settings of the shipped 32-bit file: GUI subsystem for Windows 5.1, DEP and
# terminal-server aware, fixed base with no relocations, 1 MB / 4 KB stack and heap.
set(KESTREL_X86_HEADER_OPTIONS
    -mwindows
    -Wl,--subsystem,windows:5.01
    -Wl,--major-os-version,5 -Wl,--minor-os-version,1
    -Wl,--nxcompat -Wl,--tsaware
    -Wl,--disable-dynamicbase -Wl,--image-base,0x00400000 -Wl,--disable-reloc-section
    # reserve,commit must reach the linker as one argument, which -Wl would split at the comma
    "SHELL:-Xlinker --stack -Xlinker 0x100000,0x1000"
    "SHELL:-Xlinker --heap -Xlinker 0x100000,0x1000"
    -Wl,--disable-large-address-aware)

function(kestrel_windows_gui_executable target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE ${KESTREL_X86_HEADER_OPTIONS})
  else()
    target_link_options(${target} PRIVATE -mwindows)
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/ExecutableIdentity.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/CodeSigning.cmake)
