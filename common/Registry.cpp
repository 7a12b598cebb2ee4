#include "Registry.h"

#include <cstring>

#include "InstallRecord.h"

namespace {
const DWORD TextBufferSize = 1024;
}

Text QueryRegText(HKEY key, const char* name) {
  char buffer[TextBufferSize];
  DWORD size = TextBufferSize;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return Text();
  // A text that fills the whole buffer may have no closing zero: the bytes
  // delivered are all there is, nothing after them is read.
  if (size > TextBufferSize) size = TextBufferSize;
  const void* end = std::memchr(buffer, 0, size);
  return Text(buffer, end ? static_cast<const char*>(end) - buffer : size);
}

Text ReadRegString(HKEY root, const char* key, const char* name) {
  HKEY open;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &open) != ERROR_SUCCESS) return Text();
  Text result = QueryRegText(open, name);
  RegCloseKey(open);
  return result;
}

void DeleteAgentRunValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, AutostartValue);
  RegCloseKey(key);
}

void DeleteAgentKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, AgentKey); }

void DeletePlayerKeys() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, ZelKey);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey);
}
