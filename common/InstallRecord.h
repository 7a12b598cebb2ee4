// What the player's installer leaves on the computer: registry keys and
// values, files and shortcuts. Every program names them through this header.
#pragma once

// Products
inline constexpr char ZelProductName[] = "ZEL Musical Player";
inline constexpr char OxdProductName[] = "Orvana Musical Player";
inline constexpr char ZelShortName[] = "ZEL";
inline constexpr char OxdShortName[] = "OXD";

// HKEY_LOCAL_MACHINE: one key per product below the maker's key, each with
// "RootDir", the full path of that product's program file.
inline constexpr char CompanyKey[] = "SOFTWARE\\Tavimo Company\\";
inline constexpr char ZelKey[] = "SOFTWARE\\Tavimo Company\\ZEL Musical Player";
inline constexpr char OxdKey[] = "SOFTWARE\\Tavimo Company\\Orvana Musical Player";
inline constexpr char AgentKey[] = "SOFTWARE\\Tavimo Company\\OXD Agent";
inline constexpr char RootDirValue[] = "RootDir";
inline constexpr char EnabledValue[] = "Enabled";
inline constexpr char AutorunValue[] = "Autorun";

// HKEY_LOCAL_MACHINE: the player's uninstall entry.
inline constexpr char UninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZEL Musical Player";
inline constexpr char UninstallStringValue[] = "UninstallString";
inline constexpr char ShortcutPathValue[] = "ShortcutPath";
inline constexpr char CreatePathValue[] = "CreatePath";

// HKEY_CURRENT_USER: the agent's autostart value and the user's folders.
inline constexpr char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char AutostartValue[] = "OXD Agent";
inline constexpr char ShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";
inline constexpr char DesktopValue[] = "DeskTop";
inline constexpr char ProgramsValue[] = "Programs";

// Files and folders in the installation folder.
inline constexpr char InstallLogFile[] = "uninstall.dat";
inline constexpr char FavoritesFile[] = "favorites.dat";
inline constexpr char PlayerDataPrefixA[] = "A_";
inline constexpr char PlayerDataPrefixH[] = "H_";
inline constexpr char EnglishFolder[] = "ENG";

// In the Windows folder.
inline constexpr char PlayerIniFile[] = "zel.ini";

// Shortcuts: on the desktop the product name, alone and with " " and the ZEL
// player's version; in the Start-menu folder the product, Uninstall, Agent.
inline constexpr char ShortcutExtension[] = ".lnk";
inline constexpr char UninstallShortcutName[] = "Uninstall";
inline constexpr char AgentShortcutName[] = "Agent";
