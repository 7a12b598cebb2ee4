// Uninstall.exe: the player's uninstaller. Takes no command-line arguments.
#include <windows.h>

#include "Dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return UninstallMain(); }
