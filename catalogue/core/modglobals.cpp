#include "modglobals.h"

#include "modmain.h"

namespace tv {

QString gtDBPath;
QString gtDialogPath;
QString gtLangPath;
QString gtTempPath;
QString gtToolsPath;
QString gtLanguageFile;
Collection<QString> gcolWindows;
QString gtProfilDefault = QStringLiteral("1");
QString gtSkipZipSize = kDefaultSkipZipSize;
QString gtImportFiles = kDefaultImportFiles;
QString gtEditor;
QStringList gaEmulExt;
QStringList gaExtProfil;
QStringList gaZipExt;
bool gbRefreshFiles = false;
bool gbRefreshZip = false;

void InitProgramValues()
{
    gtLangPath = gtAppPath + QStringLiteral("Lang/");
    gtTempPath = gtAppPath + QStringLiteral("Temp");
    gtToolsPath = gtAppPath + QStringLiteral("Tools/");
    gaEmulExt = {QStringLiteral(".ATR"), QStringLiteral(".COM"), QStringLiteral(".EXE"),
                 QStringLiteral(".CAS"), QStringLiteral(".PRO"), QStringLiteral(".DCM"),
                 QStringLiteral(".BAS"), QStringLiteral(".XFD"), QStringLiteral(".BIN"),
                 QStringLiteral(".ROM"), QStringLiteral(".XEX")};
    gaZipExt = {QStringLiteral(".ZIP"), QStringLiteral(".RAR"), QStringLiteral(".7Z"),
                QStringLiteral(".CAB")};
    while (gaExtProfil.size() < gaEmulExt.size()) gaExtProfil.append(QString());
}

} // namespace tv
