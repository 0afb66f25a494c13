// The registry keys an installation writes, as the tests expect them: shared by the
// in-process install tests and the tests that drive setup.exe from outside.
#pragma once

inline constexpr char kClassKey[] = "CLSID\\{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}";
inline constexpr char kServerKey[] = "CLSID\\{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}\\InProcServer32";
inline constexpr char kHandlersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZaderUvori";
