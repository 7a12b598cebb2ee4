# Programs the Wine tests of the agent drive it with (tests/wine/run-agent and
# run-soak): stand-ins for the two players and the disc installer, agentctl and
# disc_cycles.

# A stand-in program: ROLE is what it writes before its command line, HOLD
# its default run time in ms, RC its version resource, MUTEX its running mutex.
function(standin target role hold rc)
  add_executable(${target} tests/tools/StandIn.cpp tests/tools/${rc})
  target_compile_definitions(${target} PRIVATE "STANDIN_ROLE=\"${role}\"" STANDIN_HOLD=${hold})
  if(ARGN)
    target_compile_definitions(${target} PRIVATE "STANDIN_MUTEX=\"${ARGN}\"")
  endif()
  gui_program(${target})
endfunction()

standin(zel_player "player zel" 3000 standin_player.rc "ZEL Musical PlayerZEL32.Def")
standin(oxd_player "player oxd" 3000 standin_player.rc "Orvana Musical PlayerOXD32.Def")
standin(standin_installer installer 1000 standin_installer.rc)
standin(old_installer installer 1000 old_installer.rc)

add_executable(agentctl tests/tools/AgentCtl.cpp)
target_include_directories(agentctl PRIVATE agent common)
target_link_options(agentctl PRIVATE -mconsole)

# Discs in and out many times: how soon the player starts, and what the
# agent keeps after a long run (tests/wine/run-soak).
add_executable(disc_cycles tests/tools/DiscCycles.cpp)
target_include_directories(disc_cycles PRIVATE agent common)
target_link_libraries(disc_cycles PRIVATE psapi)
target_link_options(disc_cycles PRIVATE -mconsole)

add_executable(wine_cdrom tests/tools/WineCdrom.cpp)
target_link_options(wine_cdrom PRIVATE -mconsole)

add_executable(uninstallctl tests/tools/UninstallCtl.cpp)
target_link_options(uninstallctl PRIVATE -mconsole)

# Wine's MS-DOS loader where it cannot run: see tests/tools/DosLoader.cpp.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_executable(winevdm tests/tools/DosLoader.cpp)
  gui_program(winevdm)
endif()
