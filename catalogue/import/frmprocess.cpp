#include "frmprocess.h"

#include "clsfilemanager.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "controls/grid/listview.h"
#include "platform/db/backgroundreads.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/format.h"
#include "platform/system/files.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

// Least sizes in pixels (4140 and 2250 twips high, 4905 wide).
constexpr int kMinHeightWithList = 276;
constexpr int kMinHeightWithoutList = 150;
constexpr int kMinWidth = 327;

} // namespace

frmProcess::frmProcess(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProcess"));
    setWindowTitle(QStringLiteral("Tovarin"));
    lblProcess = new QLabel(this);
    lblProcess->setObjectName(QStringLiteral("lblProcess"));
    lblProcess->setWordWrap(true);
    lblProcess->setMinimumHeight(48);
    lblProcess->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStatus = new QLabel(QStringLiteral("In Arbeit:"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    progBar = new QProgressBar(this);
    progBar->setObjectName(QStringLiteral("progBar"));
    progBar->setTextVisible(false);
    progBar->hide();
    lstResult = new vantile::ListView(this);
    lstResult->setObjectName(QStringLiteral("lstResult"));
    lstResult->setShowHeader(false);
    lstResult->AllowReorder = false;
    lstResult->hide();
    const auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdNewPath = button("cmdNewPath", "Dateipfad wiederherstellen");
    cmdCancel = button("cmdCancel", "Abbrechen");
    cmdDelete = button("cmdDelete", "Löschen");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProcess);
    layout->addWidget(progBar);
    layout->addWidget(lstResult, 1);
    layout->addWidget(lblStatus);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNewPath);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdDelete);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(480, 360);

    connect(cmdCancel, &QPushButton::clicked, this, &frmProcess::cmdCancel_Click);
    connect(cmdNewPath, &QPushButton::clicked, this, &frmProcess::cmdNewPath_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmProcess::DeleteMissing);
}

frmProcess::~frmProcess() { ReleaseFileManager(); }

QString frmProcess::ProcessText() const { return lblProcess->text(); }
QString frmProcess::StatusText() const { return lblStatus->text(); }

void frmProcess::ServeEvents() { QCoreApplication::processEvents(); }

void frmProcess::ServeEventsNowAndThen()
{
    if (mServeClock.isValid() && mServeClock.elapsed() < kServeEveryMs) return;
    // An unpacker ahead may have finished meanwhile, or the walk ahead may find more.
    if (mFileManager) mFileManager->KeepUnpacking();
    ServeEvents();
    mServeClock.start();
}

void frmProcess::ShowStatus(const QString& text) { lblProcess->setText(text); }

QString frmProcess::LogText(const QString& text)
{
    // File names may hold any character but "/": a line break would split the line, an
    // escape sequence would reach whatever shows the text. Each such character is shown as its
    // code, as "<0A>"; bytes that are no UTF-8 as U+FFFD.
    QString shown = ShownName(text);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown.at(i);
        const QChar::Category kind = c.category();
        if (kind != QChar::Other_Control && kind != QChar::Separator_Line && kind != QChar::Separator_Paragraph) continue;
        const QString code = QStringLiteral("<%1>").arg(c.unicode(), c.unicode() > 0xFF ? 4 : 2, 16, QLatin1Char('0')).toUpper();
        shown.replace(i, 1, code);
        i += code.size() - 1;
    }
    return shown;
}

void frmProcess::AddResultRow(const QString& rawText, int number)
{
    const QString text = LogText(rawText);
    lstResult->InsertRows(1);
    const int32_t row = lstResult->RowCount() - 1;
    lstResult->setData(Variant(QStringLiteral("Name")), row, Variant(text));
    if (number != -1) lstResult->setData(Variant(QStringLiteral("Filetyp")), row, Variant(int32_t(number)));
    // A line wider than the list widens its column (room for the icon and the cell margins
    // included), so that the list scrolls sideways to it instead of cutting it short.
    if (const auto name = lstResult->Columns()->Item(Variant(QStringLiteral("Name")))) {
        const int32_t needed = QFontMetrics(lstResult->Font()->toQFont()).horizontalAdvance(text) + 40;
        if (needed > name->Width()) name->SetWidth(std::min(needed, name->MaxWidth));
    }
    if (lstResult->RowCount() % 10 == 0) lstResult->Refresh();
}

void frmProcess::ShowRate(bool now)
{
    if (!mRateClock.isValid()) return;
    const qint64 ms = mRateClock.elapsed();
    // A few times a second is enough to read, and costs the import nothing.
    if (!now && mlRateShownMs >= 0 && ms - mlRateShownMs < 250) return;
    mlRateShownMs = ms;
    const qint64 perSecond = qRound64(mlAdded * 1000.0 / double(std::max<qint64>(ms, 1)));
    lblStatus->setText(Translate(QStringLiteral("Hinzugefügte Dateien: ")) + QString::number(mlAdded) +
                       QStringLiteral(" (") + QString::number(perSecond) + QLatin1Char(' ') +
                       Translate(QStringLiteral("Dateien/s")) + QLatin1Char(')'));
}

void frmProcess::mFileManager_ShowMessage(const QString& tMsg, int iTyp)
{
    if (iTyp > 0) {
        ++mlAdded;
        ShowRate(mlAdded == 1);
    }
    if (lstResult->isHidden() || iTyp == 0)
        ShowStatus(LogText(tMsg));
    else
        AddResultRow(tMsg, iTyp);
}

QList<int> frmProcess::MarkedFiles() const { return lstMainFiles ? lstMainFiles() : QList<int>(); }

void frmProcess::SetupResultList(bool checkColumns)
{
    if (imgMain) lstResult->setIcons(imgMain);
    layout()->activate();
    const auto& columns = lstResult->Columns();
    const auto name = columns->Add(QStringLiteral("Name"), std::max(lstResult->width() - 48, 64), 0, 0, 0, false, {},
                                   {}, {}, Variant(QStringLiteral("Filetyp")));
    // Long paths widen the column as they arrive (AddResultRow).
    if (name) name->MaxWidth = 32767;
    columns->Add(QStringLiteral("Filetyp"), 64, -1, 0, 0, false, {}, {}, {}, Variant(QString()));
    if (checkColumns)
        for (const char* key : {"Key", "File", "Path", "OrgType"})
            columns->Add(QLatin1String(key), 64, vantile::vtlHiddenAllways, 0, 0, false, {}, {}, {}, Variant(QString()));
}

void frmProcess::Form_Load()
{
    mbCancel = false;
    mbFirstActivate = true;
    mbOkButton = false;
    cmdDelete->hide();
    cmdNewPath->hide();
    miJob = Action;
    bool withList = false;
    QString heading;
    const auto showProgress = [this] {
        progBar->setValue(0);
        progBar->show();
    };
    switch (Action) {
    case actAddFolder:
        withList = true;
        heading = QStringLiteral("Neue Dateien");
        break;
    case actCheck:
        showProgress();
        withList = true;
        heading = QStringLiteral("Nicht gefundene Dateien");
        break;
    case actCompact:
        ShowStatus(Translate(QStringLiteral("Datenbank wird komprimiert...")));
        cmdCancel->hide();
        break;
    case actAddFile:
        NewFileID = 0;
        withList = true;
        heading = QStringLiteral("Neue Dateien");
        break;
    case actUpdate:
        ShowStatus(Translate(QStringLiteral("Datenbank wird aktualisiert...")));
        cmdCancel->hide();
        showProgress();
        break;
    case actMarkedList:
        ShowStatus(Translate(QStringLiteral("Directory als txt-Datei speichern")) + QStringLiteral(" -> ") +
                   (StatusMsg.isEmpty() ? Translate(QStringLiteral("Dateipfad")) : StatusMsg));
        showProgress();
        withList = true;
        break;
    default:
        break;
    }

    if (mFileManager)
        mMessageConnection = connect(mFileManager, &clsFileManager::ShowMessage, this,
                                     &frmProcess::mFileManager_ShowMessage);
    if (withList) {
        lstResult->show();
        SetupResultList(Action == actCheck);
        if (Action == actAddFolder || Action == actAddFile) {
            AddResultRow(Translate(QStringLiteral("Optionen")) + QLatin1Char(':'), -1);
            AddResultRow(Translate(QStringLiteral("Dateien")) + QStringLiteral(": ") + gtImportFiles, -1);
        } else if (Action == actMarkedList) {
            AddResultRow(Translate(QStringLiteral("Dateien: ")) + QStringLiteral("D64, D71, D81, G64"), -1);
            AddResultRow(lblProcess->text(), -1);
            AddResultRow(Translate(QStringLiteral("Anzahl der markierten Dateien:")) + QLatin1Char(' ') +
                             QString::number(MarkedFiles().size()),
                         -1);
        }
        // An empty row parts the job's settings from what it finds; with nothing above it, the
        // list would open on an empty row.
        if (lstResult->RowCount() > 0) AddResultRow(QString(), -1);
        if (!heading.isEmpty()) AddResultRow(Translate(heading) + QLatin1Char(':'), -1);
        miMinHeight = kMinHeightWithList;
        setMinimumSize(kMinWidth, miMinHeight);
        LoadFormPos(this);
    } else {
        miMinHeight = kMinHeightWithoutList;
        setMinimumSize(kMinWidth, miMinHeight);
        resize(width(), miMinHeight);
    }
    TranslateForm(this, true, false);
    mbLoaded = true;
}

int frmProcess::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmProcess::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The job starts once the window is on screen and the event loop runs.
    if (mbFirstActivate) QTimer::singleShot(0, this, &frmProcess::Form_Activate);
}

QString frmProcess::DurationText(qint64 ms)
{
    const double seconds = double(ms) / 1000.0;
    QString text = Translate(QStringLiteral("Dauer:")) + QLatin1Char(' ');
    if (seconds < 60) return text + FormatDecimal(seconds, QStringLiteral("0.00")) + QLatin1Char('s');
    // Minutes are not taken modulo 60: a job of more than an hour keeps its full length.
    const qint64 whole = qRound64(seconds);
    return text + QStringLiteral("%1:%2").arg(whole / 60, 2, 10, QLatin1Char('0')).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

void frmProcess::Form_Activate()
{
    if (!mbFirstActivate) return;
    mbFirstActivate = false;
    mbRunning = true;
    // A job looks up each file it meets: small reads, which stay on the catalogue's connection.
    const ReadsWhereAsked lookups;
    const auto finished = qScopeGuard([this] {
        if (mFileManager) mFileManager->CommitBatch();
        mbRunning = false;
        if (!mbLoaded) ReleaseFileManager();
    });
    ServeEvents();
    qint32 before = 0;
    if (mFileManager) {
        // Counted afresh: rows deleted since the last count must not show as negative additions.
        mFileManager->CountFiles();
        before = mFileManager->FileCount;
        mFileManager->InitSearch();
        // Between the members of an archive as between the files of a folder.
        mFileManager->BetweenMembers = [this](const QString& member) {
            if (!mServeClock.isValid() || mServeClock.elapsed() >= kServeEveryMs) ShowStatus(LogText(member));
            ServeEventsNowAndThen();
            return !mbCancel;
        };
    }
    const auto unhooked = qScopeGuard([this] {
        if (mFileManager) mFileManager->BetweenMembers = nullptr;
    });
    QString jobText;
    qint64 elapsedMs = -1;
    switch (Action) {
    case actAddFolder:
    case actAddFile:
        jobText = RunAddJob(elapsedMs);
        if (mFileManager) {
            mFileManager->CommitBatch();
            mFileManager->DropPartArchive();
            mFileManager->CountFiles();
            // The job's own rows, not the difference of two counts: another program may add
            // or delete rows of the same catalogue meanwhile.
            if (mFileManager->lAddedFiles > 0 || mFileManager->FileCount != before) Action = actChanged;
            StatusMsg = Translate(QStringLiteral("Hinzugefügte Dateien: ")) + QString::number(mFileManager->lAddedFiles);
            if (mFileManager->WriteFailed())
                StatusMsg += QLatin1Char('\n') + Translate(QStringLiteral("Nicht aufgenommene Dateien: ")) +
                             QString::number(mFileManager->lNotAddedFiles);
            if (mFileManager->ArchivesNotSearched() > 0)
                StatusMsg += QLatin1Char('\n') + Translate(QStringLiteral("Nicht durchsuchte Archive: ")) +
                             QString::number(mFileManager->ArchivesNotSearched());
        }
        jobText += QStringLiteral("\n\n") + StatusMsg;
        lstResult->Refresh();
        break;
    case actCheck:
        jobText = CheckFiles();
        break;
    case actCompact:
        if (CompactDB()) {
            jobText = Translate(QStringLiteral("Datenbank wurde erfolgreich komprimiert!"));
        } else {
            // The message said why; an empty window with only "OK" would add nothing.
            Action = 0;
            SetDone();
            accept();
            return;
        }
        break;
    case actMarkedList:
        jobText = RunMarkedPass();
        break;
    default:
        break;
    }
    lblStatus->setText(elapsedMs < 0 ? Translate(QStringLiteral("Status:")) : DurationText(elapsedMs));
    if (Action != actChanged && Action != actCheck) Action = 0;
    SetDone();
    ShowStatus(jobText);
    StatusMsg.replace(QStringLiteral("\r\n"), QStringLiteral(", "));
    StatusMsg.replace(QLatin1Char('\n'), QStringLiteral(", "));
    if (mFileManager) ReportJobFailures();
}

void frmProcess::ReportJobFailures()
{
    // One message for the whole job, once its window shows the totals.
    const clsFileManager& fm = *mFileManager;
    QStringList parts;
    if (fm.WriteFailed())
        // The job stopped at the first file the catalogue could not take.
        parts << FailureText(QStringLiteral("Die Datenbank konnte nicht beschrieben werden: "), fm.tWriteError) +
                     QStringLiteral("\r\n\r\n") + Translate(QStringLiteral("Hinzugefügte Dateien: ")) +
                     QString::number(fm.lAddedFiles) + QStringLiteral("\r\n") +
                     Translate(QStringLiteral("Nicht aufgenommene Dateien: ")) + QString::number(fm.lNotAddedFiles) +
                     QStringLiteral("\r\n\r\n") +
                     Translate(QStringLiteral("Der Vorgang wurde abgebrochen; die übrigen Dateien wurden nicht durchsucht."));
    if (fm.ArchivesNotSearched() > 0) {
        QString text = Translate(QStringLiteral("Nicht durchsuchte Archive: ")) + QString::number(fm.ArchivesNotSearched());
        const auto reason = [&text](qint32 count, const char* why) {
            if (count > 0)
                text += QStringLiteral("\r\n") + Translate(QString::fromUtf8(why)) + QLatin1Char(' ') + QString::number(count);
        };
        reason(fm.lArchivesWithoutRoom, "Zu wenig freier Platz im temporären Ordner:");
        reason(fm.lArchivesWithPassword, "Kennwortgeschützt:");
        reason(fm.lArchivesNotUnpacked, "Fehler beim Entpacken:");
        parts << text + QStringLiteral("\r\n\r\n") + Translate(QStringLiteral("Die Liste nennt jedes dieser Archive."));
    }
    if (!parts.isEmpty()) MsgBox(parts.join(QStringLiteral("\r\n\r\n")), vbExclamation | vbOKOnly, kAppTitle, this);
}

QString frmProcess::RunAddJob(qint64& elapsedMs)
{
    mlLoadFlags = gbRefreshFiles ? (gbRefreshZip ? clsFileManager::lfRefresh | clsFileManager::lfRescanArchives
                                                 : clsFileManager::lfRefresh)
                                 : 0;
    QElapsedTimer timer;
    timer.start();
    mlAdded = 0;
    mlRateShownMs = -1;
    mRateClock.start();
    const auto rateDone = qScopeGuard([this] { mRateClock.invalidate(); });
    QString text;
    if (Action == actAddFile) {
        text = Translate(QStringLiteral("Durchsuchte Datei: ")) + StartPath;
        ShowStatus(text);
        // The one-file job takes the file whatever the import list says.
        NewFileID = mFileManager ? mFileManager->LoadFile(GetFileNamePart(StartPath), StartPath, mlLoadFlags + 2,
                                                          QString(), false, 0)
                                 : 0;
    } else {
        mlLoadFlags += clsFileManager::lfImportListOnly;
        // The archives of folders still to come unpack while the files before them are added.
        const UnpackAhead::Group walk =
            mFileManager ? mFileManager->WalkAhead(AddBackslash(StartPath), mlLoadFlags) : UnpackAhead::Group();
        const qint32 visited = AddDirectory(StartPath);
        text = Translate(QStringLiteral("Durchsuchte Dateien: ")) + QString::number(visited);
    }
    elapsedMs = timer.elapsed();
    return text;
}

qint32 frmProcess::AddDirectory(const QString& folderPath)
{
    const QString folder = AddBackslash(folderPath);
    ShowStatus(LogText(folder));
    AddResultRow(folder, -1);
    ServeEvents();
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    // The folder's archives unpack in the background while the files before them are added.
    const UnpackAhead::Group ahead =
        mFileManager ? mFileManager->UnpackAheadOf(entries, false, QString(), mlLoadFlags) : UnpackAhead::Group();
    qint32 count = 0;
    for (const FolderEntry& entry : entries) {
        if (HasUndecodableBytes(entry.name)) {
            // The catalogue stores names as text, and no emulator, viewer or unpacker could be
            // handed such a name: say which one is left out, and where.
            if (!entry.isFolder) ++count;
            AddResultRow(Translate(QStringLiteral("Name ist kein gültiges UTF-8, nicht aufgenommen: ")) + folder + entry.name,
                         -1);
        } else if (entry.isFolder) {
            if (!entry.name.startsWith(QLatin1Char('.'))) count += AddDirectory(folder + entry.name);
        } else if (!IsFolder(folder + entry.name)) {  // links to folders are not walked
            ++count;
            if (mFileManager &&
                mFileManager->LoadFile(entry.name, folder + entry.name, mlLoadFlags, QString(), false, 0) != 0) {
                ShowStatus(LogText(folder + entry.name));
                ServeEventsNowAndThen();
            }
        }
        if (mbCancel || (mFileManager && mFileManager->WriteFailed())) break;
    }
    return count;
}

QString frmProcess::RunMarkedPass()
{
    const QList<int> rows = MarkedFiles();
    progBar->setMaximum(std::max<int>(1, rows.size()));
    qint32 counter = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (mbCancel) break;
        ++counter;
        if (counter % 5 == 0) {
            progBar->setValue(counter);
            ServeEvents();
        }
    }
    progBar->setValue(progBar->maximum());
    return Translate(QStringLiteral("Dateien:")) + QLatin1Char(' ') + QString::number(counter);
}

void frmProcess::SetDone()
{
    cmdCancel->setText(Translate(QStringLiteral("OK")));
    // Return closes the finished job wherever the focus is (the log takes it first).
    cmdCancel->setDefault(true);
    mbOkButton = true;
    cmdCancel->show();
}

void frmProcess::cmdCancel_Click()
{
    if (mbOkButton || Action == 0 || Action == actChanged)
        accept();
    else
        mbCancel = true;
}

bool frmProcess::QueryUnload()
{
    if (!mbLoaded) return true;
    if (Action == actCompact || Action == actUpdate) return false;
    if (Action != 0 && Action != actChanged && !mbOkButton &&
        MsgBox(Translate(QStringLiteral("Möchten Sie den Vorgang wirklich abbrechen?")), vbYesNo, QString(), this) == vbNo)
        return false;
    mbCancel = true;
    ResetLangContext();
    if (Action == actCheck && mbChanged) Action = actChanged;
    if (miJob != actCompact && miJob != actUpdate) SaveFormPos(this);
    mbLoaded = false;
    // A job still running keeps the engine until it ends.
    if (!mbRunning) ReleaseFileManager();
    return true;
}

void frmProcess::done(int result)
{
    if (!QueryUnload()) return;
    QDialog::done(result);
}

void frmProcess::ReleaseFileManager()
{
    disconnect(mMessageConnection);
    mFileManager = nullptr;
}

} // namespace tv
