#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

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

// Lets the catalogue's large reads run beside the windows, which go on painting meanwhile
// (the user's input waits until the read is done). Main does it; a benchmark of the main
// window does the same.
void UseBackgroundReads();

// The program's start, called once by the entry after the application object exists: shows
// the busy pointer, fixes the program paths and the version, lets running a program show the
// busy pointer while it waits, then creates the main window and shows it modeless. The
// caller keeps the window; the main window does the rest of the start-up when it loads.
using MainWindowFactory = std::function<std::unique_ptr<QWidget>()>;
std::unique_ptr<QWidget> Main(const MainWindowFactory& createMainWindow, const QString& appFolder = QString());

// Ends the busy pointer that Main put up; the main window calls it on its first activation.
// Does nothing when the pointer was ended already.
void EndStartupPointer();

} // namespace tv
