// The agent's process-wide state. One instance, all zero or empty at start.
#pragma once

#include <windows.h>

#include "Text.h"

extern bool Enabled;  // watching the CD-ROM drives is on
extern bool Autorun;  // start the player by itself for a new product disc

// Puts every value of the agent state back to its start value.
void ResetAgentState();
