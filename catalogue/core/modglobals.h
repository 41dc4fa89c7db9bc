#pragma once

#include "platform/runtime/collection.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace tv {

class Database;
class clsFileManager;

// The values the whole program shares, set by the main window at load (from the settings
// file) or later as noted. They live together here, not scattered as statics.
extern QString gtDBPath;        // path of the open catalogue
extern QString gtDialogPath;    // start folder of file dialogs ([MAIN] Dialog)
extern QString gtLangPath;      // program folder + "Lang/"
extern QString gtTempPath;      // program folder + "Temp" (no trailing "/")
extern QString gtToolsPath;     // program folder + "Tools/"
extern QString gtLanguageFile;  // chosen translation file ([MAIN] LanguageFile)
extern Collection<QString> gcolWindows;   // placement texts by window name
extern QString gtProfilDefault;  // key of the default start profile ([PROFILS] ProfilDefault)
extern QString gtSkipZipSize;    // MB above which an archive is unpacked only after a question
extern QString gtImportFiles;    // upper-case extensions an import accepts, joined by ";"
extern QString gtEditor;         // text viewer program ([EXTENSIONS] ".txt")
extern QStringList gaEmulExt;    // ".ATR" ... ".XEX"; index = file type code - 1
extern QStringList gaExtProfil;  // default profile key per emulated extension (11 entries)
extern QStringList gaZipExt;     // ".ZIP", ".RAR", ".7Z", ".CAB"
extern bool gbRefreshFiles;
extern bool gbRefreshZip;

// Defaults of the values above, spelled as the settings file stores them.
inline const QString kDefaultImportFiles = QStringLiteral(
    ".ATR;.COM;.EXE;.CAS;.PRO;.DCM;.BAS;.XFD;.BIN;.ROM;.XEX;.ZIP;.RAR;.7Z;.CAB;"
    ".BMP;.GIF;.JPG;.PNG;.TIFF;.TXT;.NFO;.DIZ;.PDF");
inline const QString kDefaultSkipZipSize = QStringLiteral("5");

// Sets the folder values (gtLangPath, gtTempPath, gtToolsPath) from gtAppPath and the
// fixed lists (gaEmulExt, gaZipExt) to their values.
void InitProgramValues();

} // namespace tv
