#pragma once

#include <QString>

namespace tv {

// Program-wide values fixed once at start-up and never changed afterwards.
extern QString gtAppPath;   // program folder, always ending in "/"
extern QString gtIniFile;   // gtAppPath + "Tovarin.ini"
extern QString gtVersion;   // "major.minor"

// The program's title: the caption of every message box that names none of its own.
inline const QString kAppTitle = QStringLiteral("Tovarin");

// Fixes the program folder (the executable's folder unless `appFolder` is given; tests
// pass their own), the settings path and the version text.
void InitProgramPaths(const QString& appFolder = QString());

// Version text from the major and minor numbers, each a plain decimal ("1.10", not "1.1").
QString VersionText(int major, int minor);

} // namespace tv
