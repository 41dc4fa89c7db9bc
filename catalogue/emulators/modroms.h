#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class clsFileInfo;

// Whether an emulator can honour what a start asks of it without real Atari ROM images.
// atari800 and Atari++ bring replacements for the XL OS and BASIC only: an OS-A, OS-B,
// OS-XL or 1200XL choice, and atari800's running of a BASIC program (its loader waits for
// the real BASIC's "READY"), need the real image, which the emulator's own configuration
// names:
//   atari800: the file of "-config" on the command line, else ".atari800.cfg" in the
//     program's folder, else in the home folder, else /etc/atari800.cfg; lines KEY=value,
//     for example "ROM_BASIC_C=/roms/basicc.rom" (an empty value names none). Without any
//     such file atari800 has never run, and nothing is known.
//   Atari++: /etc/atari++/atari++.conf, then ~/.atari++.conf, then ".atari++.conf" in the
//     program's folder (its working folder), each line "Name = value", later lines winning;
//     then the command line's "-Name value". Atari++ names no ROM by default.
// Returns the message for the user when the start asks for an image that the configuration
// does not name (or names a file that is not there), else "". `program` is the emulator's
// program file, `arguments` the command line built for the start.
QString MissingRomText(int emulType, const QString& program, const QStringList& arguments, const clsFileInfo& file);

} // namespace tv
