#include "AgentState.h"

bool Enabled;
bool Autorun;

void ResetAgentState() {
  Enabled = false;
  Autorun = false;
}
