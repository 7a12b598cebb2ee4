// The simulated shell: its notification area, where every Shell_NotifyIconA
// call is recorded and the icons shown are kept as the shell keeps them; the
// messages programs register by name; and Vista's message filter of user32.
#include <algorithm>
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {
namespace {

// Takes over the parts of an icon record that its flags name.
void Apply(NOTIFYICONDATAA& icon, const NOTIFYICONDATAA& data) {
  icon.uFlags |= data.uFlags;
  if (data.uFlags & NIF_MESSAGE) icon.uCallbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) icon.hIcon = data.hIcon;
  if (data.uFlags & NIF_TIP) std::memcpy(icon.szTip, data.szTip, sizeof icon.szTip);
}

BOOL Notify(DWORD action, const NOTIFYICONDATAA& data) {
  std::vector<NOTIFYICONDATAA>& icons = M().user.trayIcons;
  auto it = std::find_if(icons.begin(), icons.end(), [&](const NOTIFYICONDATAA& icon) {
    return icon.hWnd == data.hWnd && icon.uID == data.uID;
  });
  if (action == NIM_ADD) {
    if (it != icons.end()) return FALSE;
    NOTIFYICONDATAA icon{};
    icon.cbSize = data.cbSize;
    icon.hWnd = data.hWnd;
    icon.uID = data.uID;
    Apply(icon, data);
    icons.push_back(icon);
    return TRUE;
  }
  if (it == icons.end()) return FALSE;
  if (action == NIM_MODIFY) {
    Apply(*it, data);
    return TRUE;
  }
  if (action == NIM_DELETE) {
    icons.erase(it);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::vector<TrayCall> TrayCalls() { return M().user.trayCalls; }
std::vector<NOTIFYICONDATAA> TrayIcons() { return M().user.trayIcons; }
void FailTray() { M().user.failTray = true; }
void RestartShell() { M().user.trayIcons.clear(); }
void OfferMessageFilter() { M().user.messageFilter = true; }
std::vector<std::pair<UINT, DWORD>> MessageFilters() { return M().user.messageFilters; }

BOOL WINAPI ChangeWindowMessageFilter(UINT message, DWORD flag) {
  Count("ChangeWindowMessageFilter");
  M().user.messageFilters.push_back({message, flag});
  return TRUE;
}

}  // namespace sim

// One number per name, from 0xC000 up, the same for every program.
UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
  sim::Count("RegisterWindowMessageA");
  if (!name || !*name) return sim::Fail(ERROR_INVALID_PARAMETER), 0;
  auto& messages = sim::M().user.registeredMessages;
  auto found = messages.emplace(sim::Upper(name), static_cast<UINT>(0xC000 + messages.size()));
  return found.first->second;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  sim::Count("GetProcAddress");
  bool offered = module == reinterpret_cast<HMODULE>(sim::kUser32Module) && name &&
                 sim::M().user.messageFilter && std::strcmp(name, "ChangeWindowMessageFilter") == 0;
  if (!offered) return sim::Fail(ERROR_PROC_NOT_FOUND), nullptr;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(sim::ChangeWindowMessageFilter));
}

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  sim::Count("Shell_NotifyIconA");
  sim::UserState& u = sim::M().user;
  NOTIFYICONDATAA copy{};
  if (data) copy = *data;
  BOOL result =
      !u.failTray && data && data->cbSize == sizeof(NOTIFYICONDATAA) && sim::Notify(message, copy);
  u.trayCalls.push_back({message, result, copy});
  return result;
}
