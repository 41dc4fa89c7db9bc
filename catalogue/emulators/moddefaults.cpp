// The default emulators and their ready-made start profiles, so that a first run can start
// files without any configuration.
#include "modemulator.h"

#include <array>

namespace tv {

namespace {

// `"<$filepath$>"`: the path placeholder between double quotes, so that a path with blanks
// reaches the emulator as one argument.
#define QP "\"<$filepath$>\""

struct DefaultProfil {
    const char* name;
    const char* options;
};

// Profiles 1 to 5 use the switches of Altirra, 6 to 8 of Atari++, 9 to 13 of Atari800.
const std::array<DefaultProfil, 13> kDefaultProfils = {{
    {"Load disc", "/disk " QP "=@=1"},
    {"Load cartridge", "/cart " QP "=@=1@@@/nobasic=@=1"},
    {"Load tape", "/tape " QP "=@=1@@@/casautoboot=@=1@@@/nocasautoboot=@=0@@@/siopatch=@=1"},
    {"Run program", "/run " QP "=@=1"},
    {"Run basic program", "/basic " QP "=@=1"},
    {"Load program", "-image.1 " QP "=@=1@@@-enable.1 true=@=1"},
    {"Load cartridge", "-cartpath " QP "=@=1"},
    // Atari++ boots a tape only from its disk drive 1, which reads a .CAS image as well; its
    // tape recorder ("-image") plays a tape only for a program that asks for one.
    {"Load tape", "-image.1 " QP "=@=1@@@-enable.1 true=@=1"},
    {"Load disc", QP "=@=1"},
    {"Load cartridge", "-cart " QP "=@=1"},
    // atari800's SIO patch crashes a tape boot with its built-in OS; without it the tape loads
    // at the recorder's own speed.
    {"Load tape", "-nopatch=@=1@@@-boottape " QP "=@=1@@@-tape " QP "=@=0"},
    {"Run program", "-run " QP "=@=1"},
    // atari800 runs a BASIC program itself (it types RUN at BASIC's prompt): no DOS disk needed.
    {"Run basic program", "-run " QP "=@=1"},
}};
#undef QP

struct DefaultEmulator {
    const char* name;
    const char* path;   // a bare program name for the user to complete
    std::vector<int> profils;
};

const std::array<DefaultEmulator, 4> kDefaultEmulators = {{
    {"File-Tool", "xxxTool.exe", {13}},
    // Altirra is a Windows program that Linux users run through a compatibility layer.
    {"Altirra", "Altirra.exe", {1, 3, 2, 4, 5}},
    {"Atari++", "atari++", {6, 7, 8}},
    {"Atari800(Win)", "atari800", {9, 10, 11, 12, 13}},
}};

} // namespace

EmulatorPtr CreateDefaultEmulator(int number, int type, EmulatorCollection& emulators,
                                  ProfilCollection& profils, bool numberedKeys)
{
    if (type < 0 || type >= int(kDefaultEmulators.size())) return nullptr;
    const DefaultEmulator& d = kDefaultEmulators[size_t(type)];
    EmulatorPtr emu = AddEmulator(number, type, QString::fromUtf8(d.name),
                                  QString::fromUtf8(d.path), emulators, true);
    if (!emu) return nullptr;
    for (int profil : d.profils) CreateDefaultProfil(number, profil, profils, numberedKeys);
    return emu;
}

ProfilPtr CreateDefaultProfil(int emulNumber, int profilNumber, ProfilCollection& profils,
                              bool numberedKeys)
{
    if (profilNumber < 1 || profilNumber > int(kDefaultProfils.size())) return nullptr;
    const DefaultProfil& d = kDefaultProfils[size_t(profilNumber - 1)];
    return AddProfil(profils, QString::number(emulNumber), QString::fromUtf8(d.name),
                     QString::fromUtf8(d.options), true, numberedKeys ? profilNumber : 0);
}

} // namespace tv
