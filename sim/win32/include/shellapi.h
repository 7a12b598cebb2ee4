// Host stand-in for the part of <shellapi.h> that the programs use.
#pragma once
#include <windows.h>

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

// The record in its first form only; on Win32 it is 88 bytes.
typedef struct _NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;
#define NOTIFYICONDATAA_V1_SIZE sizeof(NOTIFYICONDATAA)

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);
