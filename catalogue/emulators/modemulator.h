#pragma once

#include "catalogue/emulators/clsemulator.h"
#include "platform/runtime/collection.h"

#include <QStringList>
#include <memory>

namespace tv {

using EmulatorPtr = std::shared_ptr<clsEmulator>;
using ProfilPtr = std::shared_ptr<clsProfil>;
using EmulatorCollection = Collection<EmulatorPtr>;
using ProfilCollection = Collection<ProfilPtr>;

// Program-wide emulator state. The main window fills both collections at load (from the
// settings file, or the default emulators on a first run) and writes them back at exit;
// the options window replaces them with its edited copies on OK.
extern EmulatorCollection gcolEmulators;
extern ProfilCollection gcolProfils;
extern int giProfilCounter;        // last profile number handed out; never reset while running
extern QStringList gaEmulTypeName; // indexed by EmulType; [0] is translated

// Sets gaEmulTypeName[0] to the translation of "Sonstige Programme"; called at load and
// whenever the language changes.
void TranslateEmulTypeNames();

// Adds an emulator under its number as key. Returns nullptr (and adds nothing) when the
// collection holds that key already.
EmulatorPtr AddEmulator(int number, int type, const QString& name, const QString& path,
                        EmulatorCollection& emulators, bool active);

// Adds a profile under `number`, or under the next counter value when `number` is 0; the
// counter is advanced in both cases. Returns nullptr when the key exists, or when the name
// holds an option-string separator (`error`, when given, receives the message then).
ProfilPtr AddProfil(ProfilCollection& profils, const QString& emulKey, const QString& name,
                    const QString& options, bool active, int number, QString* error = nullptr);

EmulatorPtr CopyEmulator(const clsEmulator& source);
ProfilPtr CopyProfil(const clsProfil& source);

// "emulator name - profile name". `ok` (when given) turns false when the profile or its
// emulator is missing; the missing part is then left empty.
QString GetProfilName(const EmulatorCollection& emulators, const ProfilCollection& profils,
                      const QString& profilKey, bool* ok = nullptr);

// Keys of all profiles in caption order (case-insensitive, stable), at indices 1 upward;
// index 0 stays empty. The options window sorts its working copies the same way.
void SortProfils(QStringList& keys, const EmulatorCollection& emulators = gcolEmulators,
                 const ProfilCollection& profils = gcolProfils);

// Adds the default emulator of `type` (0 to 3) with its default profiles. Returns nullptr
// for another type (nothing is added). With `numberedKeys` the profiles get their fixed
// numbers 1 to 13, else the next counter values.
EmulatorPtr CreateDefaultEmulator(int number, int type, EmulatorCollection& emulators,
                                  ProfilCollection& profils, bool numberedKeys);

// Adds default profile `profilNumber` (1 to 13) for emulator `emulNumber`; nullptr for
// another number.
ProfilPtr CreateDefaultProfil(int emulNumber, int profilNumber, ProfilCollection& profils,
                              bool numberedKeys);

} // namespace tv
