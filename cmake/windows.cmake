# Windows build: the shipped programs and the Windows-side test programs.
add_compile_options(-Wall -Wextra -Werror -Os -ffunction-sections -fdata-sections -fno-ident)
# Each program names the system DLLs it links with; none is added behind it.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
add_link_options(-static -s -Wl,--gc-sections -Wl,--major-os-version,4
                 -Wl,--minor-os-version,0)

# A GUI program that loads on Windows 95 and NT 4 as well as today.
function(gui_program target)
  target_link_options(${target} PRIVATE -mwindows -Wl,--subsystem,windows:4.0)
endfunction()

set(DIST ${CMAKE_SOURCE_DIR}/dist)

# Our own start-up and C runtime (common/Runtime.cpp) instead of mingw's and
# msvcrt.dll's, so that a program imports from the five system DLLs alone;
# libgcc gives the stack probe of large frames. No exceptions, and
# std::string instantiated here with its bounds checks rather than taken from
# the C++ library, which drags in its unwinder. The whole program is
# optimised at link time, which takes about 4 KiB off the agent. The runtime
# stays outside that: the functions the compiler itself calls (memcpy and the
# like) must be plain code when the link resolves them, and their loops must
# not be turned into calls to themselves.
set_source_files_properties(common/Runtime.cpp PROPERTIES COMPILE_OPTIONS
                            "-fno-lto;-fno-builtin;-fno-tree-loop-distribute-patterns")
function(own_runtime target)
  target_sources(${target} PRIVATE common/Runtime.cpp)
  target_compile_options(${target} PRIVATE -flto -fno-exceptions -fno-rtti -fno-threadsafe-statics
                                           -fno-asynchronous-unwind-tables -D_GLIBCXX_ASSERTIONS)
  target_link_options(${target} PRIVATE -flto -nostartfiles -nodefaultlibs)
  target_link_libraries(${target} PRIVATE gcc kernel32 user32 shell32 advapi32 version)
  gui_program(${target})
endfunction()

# A shipped program. Only the 32-bit build ships; a 64-bit one serves the
# Wine checks alone.
function(shipped_program target)
  own_runtime(${target})
  target_sources(${target} PRIVATE ${COMMON_CORE})
  target_include_directories(${target} PRIVATE common)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIST})
  endif()
endfunction()

# The tray agent.
add_executable(Agent agent/WinMain.cpp agent/agent.rc ${AGENT_CORE})
target_include_directories(Agent PRIVATE agent)
shipped_program(Agent)

# The MS-DOS helper, one freestanding real-mode image that delete/build makes
# (the same bytes on every build). The uninstaller carries it as a resource,
# so it is made first; the 32-bit build ships it beside the programs.
set(HELPER_DIR ${CMAKE_BINARY_DIR}/dos)
file(GLOB HELPER_SOURCES CONFIGURE_DEPENDS delete/*.S delete/*.cpp delete/*.h delete/mz.ld)
add_custom_command(OUTPUT ${HELPER_DIR}/delete.exe
                   COMMAND ${CMAKE_SOURCE_DIR}/delete/build ${HELPER_DIR}
                   DEPENDS ${HELPER_SOURCES} ${CMAKE_SOURCE_DIR}/delete/build VERBATIM)
set(HELPER ${HELPER_DIR}/delete.exe)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_command(OUTPUT ${DIST}/delete.exe
                     COMMAND ${CMAKE_COMMAND} -E copy ${HELPER_DIR}/delete.exe ${DIST}/delete.exe
                     DEPENDS ${HELPER_DIR}/delete.exe VERBATIM)
  list(APPEND HELPER ${DIST}/delete.exe)
endif()

# The uninstaller, carrying the helper.
add_executable(Uninstall uninstall/WinMain.cpp uninstall/uninstall.rc ${UNINSTALL_CORE} ${HELPER})
target_include_directories(Uninstall PRIVATE uninstall ${HELPER_DIR})
set_source_files_properties(uninstall/uninstall.rc PROPERTIES OBJECT_DEPENDS ${HELPER_DIR}/delete.exe)
shipped_program(Uninstall)

# Windows-side check of the foundation against Wine's registry and files.
add_executable(foundation_check tests/tools/FoundationCheck.cpp ${AGENT_CORE} ${COMMON_CORE}
               tests/tools/DiscMaker.cpp)
target_include_directories(foundation_check PRIVATE agent common tests/tools)
target_link_libraries(foundation_check PRIVATE version)
target_link_options(foundation_check PRIVATE -mconsole)

# The uninstaller's look-ups and removal operations against Wine's registry
# and real folders, built as the uninstaller builds them.
add_executable(removal_check tests/tools/RemovalCheck.cpp ${UNINSTALL_CORE} ${COMMON_CORE})
target_include_directories(removal_check PRIVATE uninstall common)
target_compile_options(removal_check PRIVATE -fno-exceptions -fno-rtti)
target_link_libraries(removal_check PRIVATE version)
target_link_options(removal_check PRIVATE -mconsole)

# What the demo shows of each drive.
add_executable(disc_report tests/tools/DiscReport.cpp ${AGENT_CORE} ${COMMON_CORE})
target_include_directories(disc_report PRIVATE agent common)
target_link_libraries(disc_report PRIVATE version)
target_link_options(disc_report PRIVATE -mconsole)

# A program file with a version resource, and one without.
add_executable(versioned tests/tools/Tiny.cpp tests/tools/versioned.rc)
add_executable(unversioned tests/tools/Tiny.cpp)
gui_program(versioned)
gui_program(unversioned)

# The shipped programs' start-up and runtime, checked on their own.
add_executable(runtime_check tests/tools/RuntimeCheck.cpp)
own_runtime(runtime_check)

# A program the import check must refuse.
add_executable(import_faults tests/shipped/Faults.cpp tests/shipped/faults.rc)
gui_program(import_faults)
include(cmake/wine-tools.cmake)
