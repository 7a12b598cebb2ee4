// The programs' registry: reading text values into the 1024-byte buffer, and
// every deletion of the installation's entries. Deletions are silent: a key
// or value that is missing or cannot go is passed over.
#pragma once

#include <windows.h>

#include "Text.h"

// The text of a value of an open key, up to its first zero byte and at most
// 1024 bytes; empty when the value is missing or does not fit.
Text QueryRegText(HKEY key, const char* name);

// Opens root\key for reading, reads the value as QueryRegText does, closes
// the key; empty when the key does not open.
Text ReadRegString(HKEY root, const char* key, const char* name);

// The value "OXD Agent" of the user's Run key; the agent deletes it too.
void DeleteAgentRunValue();
// The agent's key with its values.
void DeleteAgentKey();
// The ZEL player's key, then its uninstall entry; the maker's key stays.
void DeletePlayerKeys();
