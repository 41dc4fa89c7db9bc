#pragma once

#include <QString>

namespace tv {

// Emulator types. The numbers are stored in the settings file (EmulType) and compared by
// the start, the editors and the wizard: never renumber.
enum EmulTypeCode : int {
    kEmulFileTool = 0,   // any other program: gets no per-file switches
    kEmulAltirra = 1,
    kEmulAtariPP = 2,
    kEmulAtari800 = 3,
    kEmulLastType = kEmulAtari800,
};

// One configured emulator. Held by shared pointer in gcolEmulators (or an options-window
// copy) under its Key; lives as long as a collection or a caller holds it.
class clsEmulator {
public:
    bool Aktiv = false;
    int EmulType = kEmulFileTool;
    QString Key;    // number as text; the EmulKey of its profiles
    QString Name;
    QString Path;   // program file (a bare name for a default emulator, completed by the user)
};

// One start profile of an emulator: its option string becomes the command line. Held by
// shared pointer in gcolProfils (or a copy) under its Key.
class clsProfil {
public:
    bool Aktiv = false;
    QString EmulKey;
    QString Key;       // number as text
    QString Name;      // unique per emulator
    QString Options;   // option string, see modoptions.h
};

} // namespace tv
