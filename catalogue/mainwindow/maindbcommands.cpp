// The main window's catalogue commands: a new catalogue, opening one from a file.
#include "frmmain.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"

#include <QDir>

namespace tv {

bool frmMain::NewDB()
{
    const QString path = CreateDB();
    return !path.isEmpty() && ActivateDatabase(path);
}

void frmMain::mnuOpenDB_Click()
{
    const QString start = gtDBPath.isEmpty() ? gtDialogPath : GetFolderPart(gtDBPath);
    OpenDatabaseFile(ShowOpenDialog(QStringLiteral("Datenbank öffnen"),
                                    Translate(QStringLiteral("Datenbank")) + QStringLiteral("|*.MDB"), start));
}

void frmMain::OpenDatabaseFile(const QString& path)
{
    if (path.isEmpty() || !ActivateDatabase(path)) return;
    // Files unpacked for the previous catalogue go; the extraction folders stay.
    QDir temp(gtTempPath);
    for (const QString& name : temp.entryList(QDir::Files | QDir::Hidden | QDir::System)) temp.remove(name);
}

} // namespace tv
