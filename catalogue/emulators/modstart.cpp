#include "modstart.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/emulators/editorhelpers.h"
#include "catalogue/emulators/frmeditemu.h"
#include "catalogue/emulators/frmeditparams.h"
#include "catalogue/emulators/modemulator.h"
#include "catalogue/emulators/modoptions.h"
#include "catalogue/emulators/modroms.h"
#include "catalogue/emulators/modstartparams.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/tree/modsqltree.h"
#include "catalogue/import/filetype.h"
#include "platform/db/database.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/convert.h"
#include "platform/system/process.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cstdlib>

namespace tv {

namespace {

// The busy pointer, shown while the start works and taken away for every question.
class WaitCursor {
public:
    WaitCursor() { show(); }
    ~WaitCursor() { hide(); }
    void show()
    {
        if (!shown_) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
    void hide()
    {
        if (shown_) QApplication::restoreOverrideCursor();
        shown_ = false;
    }

private:
    bool shown_ = false;
};

QWidget* Owner() { return QApplication::activeWindow(); }

void StartError(const QString& description)
{
    MsgBox(QStringLiteral("Start-Error: ") + description, vbOKOnly, {}, Owner());
}

// What to start: a program with its arguments in a folder, or a document for the desktop.
struct Launch {
    QString program;
    QStringList arguments;
    QString folder;
    QString emulator;   // the emulator's own program (under Wine, `program` is Wine)
    bool document = false;
};

// Where the user names another text viewer, for a message about one that does not start.
QString ViewerSettingText()
{
    return Translate(QStringLiteral("Der Text-Viewer wird unter Extras > Optionen, Seite „Datenbank“, Feld „Text-Viewer“ "
                                    "eingestellt."));
}

// A document or picture the desktop's opener could not open (`exitCode` is the opener's):
// what failed and where the user chooses the program for such files; for a text file that is
// also the program's own viewer setting.
void DocumentFailure(const QString& path, int exitCode, bool textFile)
{
    const QString reason =
        exitCode == 3 ? Translate(QStringLiteral("Der Desktop kennt kein Programm für diese Art Datei."))
                      : Translate(QStringLiteral("Das Standardprogramm des Desktops für diese Art Datei meldet den Fehler @1."),
                                  QString::number(exitCode));
    MsgBox(Translate(QStringLiteral("Die Datei konnte nicht geöffnet werden: ")) + path + QStringLiteral("\n\n") + reason
               + QStringLiteral("\n")
               + Translate(QStringLiteral("Bitte legen Sie in den Einstellungen Ihres Desktops ein Standardprogramm für "
                                          "diese Art Datei fest."))
               + (textFile ? QStringLiteral("\n") + ViewerSettingText() : QString()),
           vbExclamation, {}, Owner());
}

// Text files go to the configured viewer by its full path, with the file as one argument;
// without a viewer ("Notepad", the default of settings from the old platform, counts as
// none) to the desktop's default program. PDF files and pictures always go to the desktop.
bool PrepareViewer(const clsFileInfo& file, const QString& path, Launch& launch, QString& info)
{
    const QString viewer = gtEditor.trimmed();
    if (file.Filetyp != ftText || viewer.isEmpty()
        || viewer.compare(QLatin1String("notepad"), Qt::CaseInsensitive) == 0) {
        launch.document = true;
        launch.program = path;
        info = (file.Filetyp == ftText ? QStringLiteral("xdg-open: ") : QString()) + GetFileNamePart(path);
        return true;
    }
    // A bare program name ("mousepad") is looked up on the PATH, as an emulator's is.
    const QString program = ResolveProgram(viewer);
    if (program.isEmpty() || !QFileInfo::exists(program)) {
        MsgBox(Translate(QStringLiteral("Datei nicht gefunden: ")) + viewer + QStringLiteral("\n\n") + ViewerSettingText(),
               vbExclamation, {}, Owner());
        return false;
    }
    launch.program = program;
    launch.arguments = {path};
    // The status text names the viewer by its bare program name in capitals ("GEDIT: ...").
    info = StripExtension(GetFileNamePart(viewer)).toUpper() + QStringLiteral(": ") + GetFileNamePart(path);
    return true;
}

// How long a started emulator is watched: one that fails on its command line or on the file
// ends well within it (Atari++ within a fifth of a second), one that runs stays on longer.
constexpr int kEmulatorVerdictMs = 1500;

// The placeholder of the DOS disk image in the ready-made BASIC profile, there for the user
// to replace with a path.
const QString kDosPathMark = QStringLiteral("DOS-Path");

// An active option of the profile that still holds the DOS disk placeholder: the start
// would hand the emulator a file that does not exist. Says so, offers the option-list
// editor on that option and returns true (the start stops).
bool StopsOnDosPath(const QString& profilKey, const clsProfil& profil)
{
    for (const OptionEntry& e : ParseOptions(profil.Options)) {
        if (e.Flag != QLatin1String("1") || !e.Text.contains(kDosPathMark)) continue;
        const QString caption = GetProfilName(gcolEmulators, gcolProfils, profilKey);
        const QString text =
            Translate(QStringLiteral("Im Profil „@1“ steht noch „DOS-Path“. Bitte ersetzen Sie es durch den Pfad eines "
                                     "DOS-Diskettenabbilds (Extras > Optionen > Emulatorprofile)."),
                      caption)
            + QStringLiteral("\n\n") + Translate(QStringLiteral("Möchten Sie das Profil jetzt bearbeiten?"));
        if (MsgBox(text, vbQuestion | vbYesNo, Translate(QStringLiteral("Profil: ")) + profil.Name, Owner()) == vbYes) {
            frmEditParams form(Owner());
            form.ActEmulCol = &gcolEmulators;
            form.ActProfilCol = &gcolProfils;
            form.ActProfilKey = profilKey;
            form.Parameter = e.Text;
            form.Form_Load();
            RunModal(form, {});
        }
        return true;
    }
    return false;
}

// A BASIC program saved as tokens begins with two zero bytes; one written by LIST begins with
// a line number.
bool IsTokenizedBasic(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(2) == QByteArray(2, '\0');
}

// Atari++ reads a BASIC program only as saved tokens (a listed one fails at once as "not an
// xfd image file"): what to do instead.
QString ListedBasicText(const clsFileInfo& file)
{
    return Translate(QStringLiteral("Atari++ lädt nur gespeicherte (tokenisierte) BASIC-Programme; „@1“ ist ein mit LIST "
                                    "geschriebener Text."),
                     file.File)
           + QStringLiteral("\n\n")
           + Translate(QStringLiteral("Bitte starten Sie die Datei mit Altirra oder atari800 (Extras > Optionen > "
                                      "Profilzuordnung), oder laden Sie sie dort mit ENTER und speichern Sie sie mit SAVE."));
}

// An emulator that ended at once with an error status started nothing: what it said last.
QString EmulatorEndedText(const QString& program, const WatchedStart& watched)
{
    QString text = watched.exitCode < 0
                       ? Translate(QStringLiteral("Der Emulator ist gleich nach dem Start abgebrochen: "))
                       : Translate(QStringLiteral("Der Emulator hat sich gleich nach dem Start mit Fehler @1 beendet: "),
                                   QString::number(watched.exitCode));
    text += program;
    if (!watched.lastLines.isEmpty())
        text += QStringLiteral("\n\n") + Translate(QStringLiteral("Seine letzten Meldungen:")) + QStringLiteral("\n")
                + watched.lastLines.join(QLatin1Char('\n'));
    return text + QStringLiteral("\n\n")
           + Translate(QStringLiteral("Die Datei wurde nicht gestartet. Bitte prüfen Sie das Profil und die Parameter der "
                                      "Datei (Bearbeiten > Details)."));
}

// The setting that chose the profile of a start, when it was the file type's assignment:
// the line a message adds so that the user knows where to choose another.
QString AssignedProfilText(const clsFileInfo& file, const QString& profilKey)
{
    return Translate(QStringLiteral("Profil für @1-Dateien (Extras > Optionen > Profilzuordnung): "),
                     gaEmulExt.value(file.Filetyp - 1))
           + GetProfilName(gcolEmulators, gcolProfils, profilKey);
}

// Chooses the profile, checks its emulator and builds the command line. False on a stop:
// its message was shown, and `info` stays empty unless a failure is to report it.
bool PrepareEmulator(const clsFileInfo& file, const QString& path, QString& profilKey,
                     Launch& launch, QString& info)
{
    bool assigned = false;   // the profile assigned to the file's type
    if (profilKey.isEmpty()) {
        profilKey = gtProfilDefault;
        const int position = file.Filetyp - 1;
        if (position >= 0 && position < gaExtProfil.size() && !gaExtProfil.at(position).isEmpty()) {
            profilKey = gaExtProfil.at(position);
            assigned = true;
        }
    }
    const ProfilPtr* profil = gcolProfils.item(profilKey);
    if (!profil) {
        StartError(Translate(QStringLiteral("Unbekanntes Profil: ")) + profilKey);
        return false;
    }
    const EmulatorPtr* emulator = gcolEmulators.item((*profil)->EmulKey);
    if (!emulator) {
        StartError(Translate(QStringLiteral("Unbekannter Emulator: ")) + (*profil)->EmulKey);
        return false;
    }
    const clsEmulator& emu = **emulator;
    const QString title = Translate(QStringLiteral("Profil: ")) + (*profil)->Name;
    const QString program = ResolveProgram(emu.Path);
    if (program.isEmpty() || !QFileInfo::exists(program)) {
        // One message names the missing program, the setting that holds it and, when the
        // file's type chose the profile, that choice; the user then corrects the path in the
        // emulator editor and starts again.
        QString text = Translate(QStringLiteral("Datei nicht gefunden: ")) + emu.Path + QStringLiteral("\n\n")
                       + Translate(QStringLiteral("Bitte geben Sie im folgenden Fenster den Pfad des Emulators „@1“ an "
                                                  "(später unter Extras > Optionen > Emulatorprofile)."),
                                   emu.Name);
        if (assigned) text += QStringLiteral("\n") + AssignedProfilText(file, profilKey);
        MsgBox(text, vbExclamation, title, Owner());
        EditEmulator(gcolEmulators, nullptr, (*profil)->EmulKey, false, Owner());
        return false;
    }
    if (StopsOnDosPath(profilKey, **profil)) return false;
    if (emu.EmulType == kEmulAtariPP && file.Filetyp == ftBAS && !IsTokenizedBasic(path)) {
        MsgBox(ListedBasicText(file), vbExclamation, title, Owner());
        return false;
    }
    // A Windows program starts through Wine and is handed the file in Wine's drive form.
    const bool underWine = IsWindowsProgram(program);
    QString wine;
    if (underWine) {
        wine = ResolveProgram(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            MsgBox(Translate(QStringLiteral("Windows-Programme starten mit Wine, doch Wine (wine) ist nicht installiert: "))
                       + program,
                   vbExclamation, title, Owner());
            return false;
        }
        // Wine's drive form turns every "/" into "\": a "\" of the name itself would become a
        // folder separator, and a double quote cannot stand in a Windows file name at all.
        if (path.contains(QLatin1Char('\\')) || path.contains(QLatin1Char('"'))) {
            MsgBox(Translate(QStringLiteral("Ein Windows-Programm kann diese Datei nicht öffnen, weil ihr Pfad \\ oder \" "
                                            "enthält. Bitte benennen Sie sie um: "))
                       + path,
                   vbExclamation, title, Owner());
            return false;
        }
    }

    WaitCursor wait;
    const StartParams params =
        BuildStartParams((*profil)->Options, emu.EmulType, file, underWine ? WineDrivePath(path) : path,
                         [&wait](const QString& prompt) {
            wait.hide();
            const QString answer = InputText(prompt, Translate(QStringLiteral("Optionsparameter")));
            wait.show();
            return answer;
        },
                         QFileInfo(path).size());
    if (!params.ok) {
        wait.hide();
        MsgBox(params.error + (assigned ? QStringLiteral("\n") + AssignedProfilText(file, profilKey) : QString()),
               vbInformation, {}, Owner());
        return false;
    }
    const QString missingRom = MissingRomText(emu.EmulType, program, params.arguments, file);
    if (!missingRom.isEmpty()) {
        wait.hide();
        MsgBox(missingRom, vbExclamation, title, Owner());
        return false;
    }
    launch.program = underWine ? wine : program;
    launch.arguments = underWine ? QStringList{program} + params.arguments : params.arguments;
    launch.folder = GetFolderPart(program);
    launch.emulator = program;
    info = Translate(QStringLiteral("Profil: ")) + GetProfilName(gcolEmulators, gcolProfils, profilKey)
           + QStringLiteral(" -> ") + params.params;
    return true;
}

// The catalogue row of the file; null with `error` set when it cannot be read.
std::shared_ptr<clsFileInfo> LoadFileRecord(int32_t id, QString& error)
{
    if (!goDB) {
        error = MakeDbError(dbErrObjectClosed).description;
        return nullptr;
    }
    std::shared_ptr<Recordset> rs =
        goDB->OpenRecordset(QStringLiteral("Select * From MainFiles where ID=") + QString::number(id), dbOpenSnapshot);
    if (!rs) {
        error = goDB->LastError().description;
        return nullptr;
    }
    const auto close = qScopeGuard([&rs] { rs->Close(); });
    if (rs->IsEOF()) {
        error = MakeDbError(dbErrNoCurrentRecord).description;
        return nullptr;
    }
    return LoadFileInfo(*rs);
}

// Every start counts: the time of the last start, the start count and a history row.
bool RecordStart(int32_t id, QString& error)
{
    if (!goDB) {
        error = MakeDbError(dbErrObjectClosed).description;
        return false;
    }
    const QDateTime now = FromDateSerial(Now());
    DbError failure = goDB->Execute(QStringLiteral("Update MainFiles Set tsLastStarted=") + MakeSQLDate(now)
                                    + QStringLiteral(",lStartCount=val('' & lStartCount) + 1 Where ID=")
                                    + QString::number(id));
    if (!failure) {
        std::shared_ptr<Recordset> rs =
            goDB->OpenRecordset(QStringLiteral("Select * From History"), dbOpenDynaset, dbAppendOnly);
        if (!rs) {
            failure = goDB->LastError();
        } else {
            const auto close = qScopeGuard([&rs] { rs->Close(); });
            if (!(failure = rs->AddNew()) && !(failure = rs->Fields(QStringLiteral("MainFiles_ID")).SetValue(Variant(id)))
                && !(failure = rs->Fields(QStringLiteral("tsStarted")).SetValue(Variant::fromDateTime(now))))
                failure = rs->Update();
        }
    }
    error = failure.description;
    return !failure;
}

} // namespace

QString StartFile(int32_t fileID, QString& profilKey, std::shared_ptr<clsFileInfo>& file)
{
    static bool busy = false;
    if (busy || fileID == 0) return QString();
    busy = true;
    const auto clearBusy = qScopeGuard([] { busy = false; });
    const int32_t id = std::abs(fileID);

    if (!file) {
        QString error;
        std::shared_ptr<clsFileInfo> loaded = LoadFileRecord(id, error);
        if (!loaded) {
            StartError(FailureText(QStringLiteral("Fehler beim Lesen der Datenbank: "), error));
            return QString();
        }
        file = loaded;
    }

    // A file inside an archive starts from its extracted copy; the record keeps the
    // archive's path, so that the next start with the same record finds the file again.
    QString path = file->Path;
    if (!file->UnpackPath.isEmpty()) {
        if (!FileExistsMsg(file->Path)) return QString();
        path = goFileManager ? goFileManager->ExtractFileFromArchiv(file->File, file->UnpackPath, file->Path)
                             : QString();
        if (path.isEmpty()) return QString();
    }
    if (!FileExistsMsg(path)) return QString();

    QString info;
    Launch launch;
    const bool viewer = file->Filetyp == ftText || file->Filetyp == ftPDF || file->Filetyp == ftPicture;
    if (!(viewer ? PrepareViewer(*file, path, launch, info)
                 : PrepareEmulator(*file, path, profilKey, launch, info)))
        return QString();

    QString error;
    int openerExit = -1;
    const QString document = launch.program;
    const bool textFile = file->Filetyp == ftText;
    bool started = false;
    if (launch.document) {
        started = OpenDocument(document, &error, &openerExit);
    } else if (viewer) {
        started = StartDetached(launch.program, launch.arguments, launch.folder, &error);
    } else {
        // An emulator that ends at once with an error status has not started the file (a file
        // it cannot read, a switch it refuses): it says why on its console only.
        WaitCursor wait;
        const WatchedStart watched = StartWatched(launch.program, launch.arguments, launch.folder, kEmulatorVerdictMs);
        wait.hide();
        if (watched.failed) {
            MsgBox(EmulatorEndedText(launch.emulator, watched), vbExclamation, {}, Owner());
            return QString();
        }
        started = watched.started;
        error = watched.error;
    }
    if (!started) {
        if (launch.document && openerExit > 0) {
            DocumentFailure(document, openerExit, textFile);
        } else {
            QString text = FailureText(QStringLiteral("Das Programm konnte nicht gestartet werden: "), error);
            // A text file can go to a viewer of the user's choice instead.
            if ((!launch.document && viewer) || textFile) text += QStringLiteral("\n\n") + ViewerSettingText();
            StartError(text);
        }
        return QString();
    }
    // A catalogue that cannot be written keeps no record of its starts: the user was told so
    // when it was opened, and a message at every start would tell nothing new.
    if (goDB && goDB->IsReadOnly()) return info;
    if (!RecordStart(id, error)) StartError(FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), error));
    return info;
}

} // namespace tv
