#pragma once

#include "catalogue/core/modglobals.h"
#include "catalogue/emulators/modemulator.h"

#include <array>

namespace tv::test {

// Holds the program-wide emulator state while a test works on empty collections, and puts
// it back when the test ends. Declare it before the windows under test, so that it is
// released after them.
class SavedEmulatorGlobals {
public:
    SavedEmulatorGlobals()
        : emulators_(std::move(gcolEmulators)), profils_(std::move(gcolProfils)), counter_(giProfilCounter),
          texts_{gtProfilDefault, gtEditor, gtImportFiles, gtSkipZipSize, gtDialogPath, gtDBPath},
          extProfil_(gaExtProfil)
    {
        gcolEmulators.clear();
        gcolProfils.clear();
    }
    ~SavedEmulatorGlobals()
    {
        gcolEmulators = std::move(emulators_);
        gcolProfils = std::move(profils_);
        giProfilCounter = counter_;
        gtProfilDefault = texts_[0];
        gtEditor = texts_[1];
        gtImportFiles = texts_[2];
        gtSkipZipSize = texts_[3];
        gtDialogPath = texts_[4];
        gtDBPath = texts_[5];
        gaExtProfil = extProfil_;
    }
    SavedEmulatorGlobals(const SavedEmulatorGlobals&) = delete;
    SavedEmulatorGlobals& operator=(const SavedEmulatorGlobals&) = delete;

private:
    EmulatorCollection emulators_;
    ProfilCollection profils_;
    int counter_;
    std::array<QString, 6> texts_;
    QStringList extProfil_;
};

} // namespace tv::test
