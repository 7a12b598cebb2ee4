// Registry of the simulated machine: a tree of keys under the predefined
// roots; key and value names compare without regard to case.
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {
namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

RegKey* Walk(RegKey* key, const std::string& path, bool create) {
  for (const std::string& part : SplitKeyPath(path)) {
    if (!key) return nullptr;
    auto it = key->keys.find(Upper(part));
    if (it != key->keys.end()) {
      key = it->second.get();
      continue;
    }
    if (!create || key->denyWrite) return nullptr;
    auto child = std::make_unique<RegKey>();
    child->name = part;
    RegKey* made = child.get();
    key->keys.emplace(Upper(part), std::move(child));
    key = made;
  }
  return key;
}

bool WriteDenied(const RegKey* key) { return key->denyWrite; }

// The key a handle names: a predefined root or an open key.
RegKey* KeyOf(HKEY handle, REGSAM* access) {
  auto root = M().roots.find(handle);
  if (root != M().roots.end()) {
    if (access) *access = KEY_ALL_ACCESS;
    return &root->second;
  }
  HandleObject* open = FindHandle(reinterpret_cast<HANDLE>(handle), HandleKind::Key);
  if (!open) return nullptr;
  if (access) *access = open->access;
  return open->key;
}

HKEY OpenHandleFor(RegKey* key, REGSAM access) {
  HandleObject object;
  object.kind = HandleKind::Key;
  object.key = key;
  object.access = access;
  return reinterpret_cast<HKEY>(NewHandle(std::move(object)));
}

void MarkDenied(RegKey* key) {
  key->denyWrite = true;
  for (auto& child : key->keys) MarkDenied(child.second.get());
}

}  // namespace

void ResetRegistry() {
  M().roots.clear();
  for (HKEY root : kRoots) M().roots[root];
}

void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& data) {
  RegKey* k = Walk(&M().roots[root], key, true);
  k->values[Upper(name)] = RegValue{name, type, data};
}

void SetRegText(HKEY root, const std::string& key, const std::string& name,
                const std::string& text) {
  SetRegValue(root, key, name, REG_SZ, text + std::string(1, '\0'));
}

void SetRegByte(HKEY root, const std::string& key, const std::string& name, BYTE value) {
  SetRegValue(root, key, name, REG_BINARY, std::string(1, static_cast<char>(value)));
}

void CreateRegKey(HKEY root, const std::string& key) { Walk(&M().roots[root], key, true); }

bool RegKeyExists(HKEY root, const std::string& key) {
  return Walk(&M().roots[root], key, false) != nullptr;
}

bool GetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD* type,
                 std::string* data) {
  RegKey* k = Walk(&M().roots[root], key, false);
  if (!k) return false;
  auto it = k->values.find(Upper(name));
  if (it == k->values.end()) return false;
  if (type) *type = it->second.type;
  if (data) *data = it->second.data;
  return true;
}

void DenyRegWrite(HKEY root, const std::string& key) {
  MarkDenied(Walk(&M().roots[root], key, true));
}

}  // namespace sim

using namespace sim;

namespace {

// The deletions go into the journal of file changes, so that tests see them
// in their order among the files.
LONG Journaled(const char* function, LPCSTR path, LONG error) {
  JournalCall({function, path ? path : "", 0, error == ERROR_SUCCESS});
  return error;
}

LONG DeleteValue(HKEY key, LPCSTR name) {
  REGSAM access = 0;
  RegKey* k = KeyOf(key, &access);
  if (!k) return Fail(ERROR_INVALID_HANDLE);
  if (!(access & KEY_SET_VALUE) || WriteDenied(k)) return Fail(ERROR_ACCESS_DENIED);
  if (!k->values.erase(Upper(name ? name : ""))) return Fail(ERROR_FILE_NOT_FOUND);
  return ERROR_SUCCESS;
}

LONG DeleteKey(HKEY key, LPCSTR subKey) {
  RegKey* parent = KeyOf(key, nullptr);
  if (!parent || !subKey || !*subKey) return Fail(ERROR_INVALID_PARAMETER);
  std::string path(subKey);
  size_t cut = path.find_last_of('\\');
  RegKey* owner = cut == std::string::npos ? parent : Walk(parent, path.substr(0, cut), false);
  std::string leaf = cut == std::string::npos ? path : path.substr(cut + 1);
  if (!owner) return Fail(ERROR_FILE_NOT_FOUND);
  auto it = owner->keys.find(Upper(leaf));
  if (it == owner->keys.end()) return Fail(ERROR_FILE_NOT_FOUND);
  if (!it->second->keys.empty() || owner->denyWrite || it->second->denyWrite)
    return Fail(ERROR_ACCESS_DENIED);
  owner->keys.erase(it);
  return ERROR_SUCCESS;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  Count("RegOpenKeyExA");
  RegKey* parent = KeyOf(key, nullptr);
  if (!parent || !result) return Fail(ERROR_INVALID_HANDLE);
  RegKey* found = Walk(parent, subKey ? subKey : "", false);
  if (!found) return Fail(ERROR_FILE_NOT_FOUND);
  if ((access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) && WriteDenied(found))
    return Fail(ERROR_ACCESS_DENIED);
  *result = OpenHandleFor(found, access);
  return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                            const SECURITY_ATTRIBUTES*, PHKEY result, LPDWORD disposition) {
  Count("RegCreateKeyExA");
  RegKey* parent = KeyOf(key, nullptr);
  if (!parent || !result) return Fail(ERROR_INVALID_HANDLE);
  std::string path = subKey ? subKey : "";
  bool existed = Walk(parent, path, false) != nullptr;
  RegKey* made = Walk(parent, path, true);
  if (!made) return Fail(ERROR_ACCESS_DENIED);
  if ((access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) && WriteDenied(made))
    return Fail(ERROR_ACCESS_DENIED);
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = OpenHandleFor(made, access);
  return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
  Count("RegQueryValueExA");
  REGSAM access = 0;
  RegKey* k = KeyOf(key, &access);
  if (!k) return Fail(ERROR_INVALID_HANDLE);
  if (!(access & KEY_QUERY_VALUE)) return Fail(ERROR_ACCESS_DENIED);
  auto it = k->values.find(Upper(name ? name : ""));
  if (it == k->values.end()) return Fail(ERROR_FILE_NOT_FOUND);
  const RegValue& value = it->second;
  if (type) *type = value.type;
  DWORD needed = static_cast<DWORD>(value.data.size());
  if (data) {
    if (!size) return Fail(ERROR_INVALID_PARAMETER);
    if (*size < needed) {
      *size = needed;
      return Fail(ERROR_MORE_DATA);
    }
    if (needed) std::memcpy(data, value.data.data(), needed);
  }
  if (size) *size = needed;
  return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  Count("RegSetValueExA");
  REGSAM access = 0;
  RegKey* k = KeyOf(key, &access);
  if (!k) return Fail(ERROR_INVALID_HANDLE);
  if (!(access & KEY_SET_VALUE) || WriteDenied(k)) return Fail(ERROR_ACCESS_DENIED);
  std::string valueName = name ? name : "";
  // Like NT, a text whose count leaves out its closing zero gets the zero.
  const char* text = reinterpret_cast<const char*>(data);
  bool isText = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
  if (isText && size && text[size - 1] && !text[size]) ++size;
  k->values[Upper(valueName)] =
      RegValue{valueName, type, std::string(reinterpret_cast<const char*>(data), size)};
  return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
  Count("RegDeleteValueA");
  return Journaled("RegDeleteValueA", name, DeleteValue(key, name));
}

LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  Count("RegDeleteKeyA");
  return Journaled("RegDeleteKeyA", subKey, DeleteKey(key, subKey));
}

LONG WINAPI RegCloseKey(HKEY key) {
  Count("RegCloseKey");
  if (M().roots.count(key)) return ERROR_SUCCESS;
  if (!FindHandle(reinterpret_cast<HANDLE>(key), HandleKind::Key))
    return Fail(ERROR_INVALID_HANDLE);
  M().handles.erase(reinterpret_cast<uintptr_t>(key));
  return ERROR_SUCCESS;
}
