# Windows build: the shipped programs and the Windows-side test programs.
add_compile_options(-Wall -Wextra -Werror -Os -ffunction-sections -fdata-sections)
add_link_options(-static -s -Wl,--gc-sections -Wl,--major-os-version,4
                 -Wl,--minor-os-version,0)

# A GUI program that loads on Windows 95 and NT 4 as well as today.
function(gui_program target)
  target_link_options(${target} PRIVATE -mwindows -Wl,--subsystem,windows:4.0)
endfunction()

set(DIST ${CMAKE_SOURCE_DIR}/dist)

# A shipped program: no exceptions, and std::string instantiated here with
# its bounds checks rather than taken from the runtime library, which drags
# in its unwinder. Only the 32-bit build ships; a 64-bit one serves the Wine
# checks alone.
function(shipped_program target)
  target_sources(${target} PRIVATE common/Runtime.cpp ${COMMON_CORE})
  target_include_directories(${target} PRIVATE common)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti
                                           -fno-asynchronous-unwind-tables -D_GLIBCXX_ASSERTIONS)
  target_link_libraries(${target} PRIVATE version)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIST})
  endif()
  gui_program(${target})
endfunction()

# The tray agent.
add_executable(Agent agent/WinMain.cpp agent/agent.rc ${AGENT_CORE})
target_include_directories(Agent PRIVATE agent)
shipped_program(Agent)

# The uninstaller, carrying the MS-DOS helper that `make dos` builds first.
add_executable(Uninstall uninstall/WinMain.cpp uninstall/uninstall.rc ${UNINSTALL_CORE})
target_include_directories(Uninstall PRIVATE uninstall)
set_source_files_properties(uninstall/uninstall.rc PROPERTIES OBJECT_DEPENDS ${DIST}/delete.exe)
shipped_program(Uninstall)

# Windows-side check of the foundation against Wine's registry and files.
add_executable(foundation_check tests/wine/FoundationCheck.cpp ${AGENT_CORE} ${COMMON_CORE}
               tests/DiscMaker.cpp)
target_include_directories(foundation_check PRIVATE agent common tests)
target_link_libraries(foundation_check PRIVATE version)
target_link_options(foundation_check PRIVATE -mconsole)

# The uninstaller's look-ups and removal operations against Wine's registry
# and real folders, built as the uninstaller builds them.
add_executable(removal_check tests/wine/RemovalCheck.cpp ${UNINSTALL_CORE} ${COMMON_CORE})
target_include_directories(removal_check PRIVATE uninstall common)
target_compile_options(removal_check PRIVATE -fno-exceptions -fno-rtti)
target_link_libraries(removal_check PRIVATE version)
target_link_options(removal_check PRIVATE -mconsole)

# What the demo shows of each drive.
add_executable(disc_report tests/wine/DiscReport.cpp ${AGENT_CORE} ${COMMON_CORE})
target_include_directories(disc_report PRIVATE agent common)
target_link_libraries(disc_report PRIVATE version)
target_link_options(disc_report PRIVATE -mconsole)

# A program file with a version resource, and one without.
add_executable(versioned tests/wine/Tiny.cpp tests/wine/versioned.rc)
add_executable(unversioned tests/wine/Tiny.cpp)
gui_program(versioned)
gui_program(unversioned)
include(cmake/wine-tools.cmake)
