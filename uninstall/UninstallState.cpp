#include "UninstallState.h"

HWND MainWindow, PlayerBox, FavoritesBox, OkButton, CancelButton, CaptionLabel, FocusedControl;

Text InstallDir;
BYTE PathLevels;
TVersionInfo PlayerVersion;
char PathBuffer[PathBufferSize];

void ResetUninstallState() {
  MainWindow = PlayerBox = FavoritesBox = OkButton = CancelButton = CaptionLabel = FocusedControl =
      nullptr;
  InstallDir.clear();
  PathLevels = 0;
  PlayerVersion = TVersionInfo();
  PathBuffer[0] = '\0';
}
