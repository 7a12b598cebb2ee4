// The uninstall run of the OK command: the favourites, then the player, its
// shortcuts and registry keys and, unless the Orvana edition is installed,
// the agent; last the hand-off to the MS-DOS helper, which ends the process.
#pragma once

#include "Removal.h"

// Removes what the checked boxes stand for. With the player box checked it
// ends the process (exit code 255); otherwise it tells the window to end and
// returns. A failure is an install log that exists but cannot be read: the
// run stopped there.
IoResult DoUninstall();
