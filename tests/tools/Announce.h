// How the test tools reach a running agent: its window, and the system's
// announcement that a disc went into or came out of a drive.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <dbt.h>

#include "ProgramWindow.h"

inline HWND FindAgent() { return FindWindowA(AgentClassName, AgentTitle); }

// WM_DEVICECHANGE cannot be posted with its pointer (error 1159); a sent one
// has its DEV_BROADCAST_VOLUME copied to the agent. False when the agent did
// not answer within 10 s; else *answer is what it returned.
inline bool AnnounceVolume(HWND agent, char letter, bool arrival, DWORD_PTR* answer) {
  DEV_BROADCAST_VOLUME volume = {};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << ((letter | 0x20) - 'a');
  volume.dbcv_flags = DBTF_MEDIA;
  *answer = 0;
  return SendMessageTimeoutA(agent, WM_DEVICECHANGE,
                             arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                             reinterpret_cast<LPARAM>(&volume), SMTO_NORMAL, 10000, answer) != 0;
}
