# Host build: the program code over the Win32 stand-in, with the unit tests.
option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)

# Bounds checks of the standard containers: an index past the end aborts.
add_compile_options(-Wall -Wextra -Werror -D_GLIBCXX_ASSERTIONS)
if(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(simwin32 STATIC
  sim/win32/Machine.cpp
  sim/win32/Registry.cpp
  sim/win32/Files.cpp
  sim/win32/FileChanges.cpp
  sim/win32/Version.cpp
  sim/win32/Windows.cpp
  sim/win32/Shell.cpp
  sim/win32/Processes.cpp)
target_include_directories(simwin32 BEFORE PUBLIC sim/win32/include)

# The MS-DOS helper's logic over the MS-DOS stand-in.
add_library(deletehelper STATIC sim/dos/Dos.cpp delete/Helper.cpp)
target_include_directories(deletehelper PUBLIC sim/dos/include delete)

# Each program over the stand-in; the two keep program-wide globals of the
# same names, so no binary links both.
add_library(commoncore STATIC ${COMMON_CORE})
target_include_directories(commoncore PUBLIC common)
target_link_libraries(commoncore PUBLIC simwin32)
add_library(agentcore STATIC ${AGENT_CORE})
target_include_directories(agentcore PUBLIC agent)
target_link_libraries(agentcore PUBLIC commoncore)
add_library(uninstallcore STATIC ${UNINSTALL_CORE})
target_include_directories(uninstallcore PUBLIC uninstall)
target_link_libraries(uninstallcore PUBLIC commoncore)

add_library(discmaker STATIC tests/tools/DiscMaker.cpp)
target_include_directories(discmaker PUBLIC tests/tools)
target_link_libraries(discmaker PUBLIC agentcore)

if(FUZZ)
  function(fuzz_target target source)
    add_executable(${target} ${source})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${target} PRIVATE ${ARGN})
  endfunction()
  fuzz_target(fuzz_markers tests/fuzz/MarkerFuzz.cpp agentcore)
  fuzz_target(fuzz_log tests/fuzz/LogFuzz.cpp uninstallcore)
  fuzz_target(fuzz_tail tests/fuzz/TailFuzz.cpp deletehelper)
  return()
endif()

find_package(GTest REQUIRED)
enable_testing()

add_executable(host_tests
  tests/agent/DiscRecognitionTest.cpp
  tests/agent/SettingsTest.cpp
  tests/common/FileVersionTest.cpp
  tests/sim/StandInTest.cpp
  tests/sim/StandInUserTest.cpp
  tests/agent/AgentStartTest.cpp
  tests/agent/WatchTest.cpp
  tests/agent/PlayerTest.cpp
  tests/delete/DeleteHelperTest.cpp)
target_include_directories(host_tests PRIVATE tests/agent tests/sim)
target_link_libraries(host_tests PRIVATE discmaker deletehelper GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60)

add_executable(uninstall_tests
  tests/uninstall/LocationsTest.cpp
  tests/uninstall/RemovalTest.cpp
  tests/uninstall/UninstallTest.cpp)
target_include_directories(uninstall_tests PRIVATE tests/sim)
# The installation the uninstaller's tests lay down, described once for them,
# the Wine suites and the demo.
target_compile_definitions(uninstall_tests PRIVATE
  INSTALLATION_FILE="${PROJECT_SOURCE_DIR}/tests/uninstall/installation.txt")
target_link_libraries(uninstall_tests PRIVATE uninstallcore GTest::gtest_main)
gtest_discover_tests(uninstall_tests DISCOVERY_TIMEOUT 60)

# Writes product discs into a folder, for the Wine tests and the demo.
add_executable(makedisc tests/tools/MakeDiscTool.cpp)
target_link_libraries(makedisc PRIVATE discmaker)

# Prints what one steady-state watch tick costs per drive.
add_executable(tick_cost tests/bench/TickCost.cpp)
target_link_libraries(tick_cost PRIVATE discmaker)

# Times the install log's deletions at two sizes; fails unless linear.
add_executable(removal_cost tests/bench/RemovalCost.cpp)
target_link_libraries(removal_cost PRIVATE uninstallcore)
