// The agent's two settings under its registry key, and its autostart value.
#pragma once

void LoadSettings();
void SaveSettings();
void RemoveAutostart();
