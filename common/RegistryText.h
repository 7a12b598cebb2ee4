// Reading text values from the registry into the programs' 1024-byte buffer,
// and deleting the agent's autostart value, which both programs do.
#pragma once

#include <windows.h>

#include "Text.h"

// The text of a value of an open key, up to its first zero byte and at most
// 1024 bytes; empty when the value is missing or does not fit.
Text QueryRegText(HKEY key, const char* name);

// Opens root\key for reading, reads the value as QueryRegText does, closes
// the key; empty when the key does not open.
Text ReadRegString(HKEY root, const char* key, const char* name);

// Deletes the value "OXD Agent" of the user's Run key; silent when the key or
// the value is missing.
void DeleteAgentRunValue();
