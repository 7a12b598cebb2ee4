// The agent's hidden window, start-up and message loop.
#pragma once

#include <windows.h>

#include "ProgramWindow.h"
#include "Text.h"

const int AgentWindowWidth = 100;
const int AgentWindowHeight = 50;

inline constexpr char TaskbarCreatedName[] = "TaskbarCreated";

// The start-up sequence, the message loop and the clean-up; the exit code.
int AgentMain();
// AgentMain in its two halves: the start-up (false when the window class
// cannot be registered), then the message loop and clean-up (the exit code).
bool StartAgent();
int FinishAgent();
// The program entry: 0 at once when another copy runs, else AgentMain.
int AgentEntry();
