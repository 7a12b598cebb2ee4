// Agent.exe: the tray agent. Takes no command-line arguments.
#include <windows.h>

#include "AgentMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return AgentEntry(); }
