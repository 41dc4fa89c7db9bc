#include "frmmain.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/msgbox.h"
#include "viewsql.h"

#include <QDir>
#include <QEvent>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace tv {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    resize(800, 600);
    // Every setting goes to the program-wide values and this window's state; the emulators
    // and profiles are read here, or the default ones made on a first run.
    LoadMainSettings(mSettings);
    if (!goFileManager) goFileManager = std::make_unique<clsFileManager>();
    // Only the temporary folder is made; "Lang" and "Tools" are just looked in.
    if (!QDir(gtTempPath).exists()) QDir().mkpath(gtTempPath);
    SetColumnCaptions();
    BuildMenus();
    BuildPanes();
    EnableCatalogueCommands();
    LoadFormPos(this);
}

frmMain::~frmMain() = default;

void frmMain::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(Translate(QStringLiteral("&Datei")));
    QAction* newDb = file->addAction(Translate(QStringLiteral("Neue Datenbank...")));
    connect(newDb, &QAction::triggered, this, [this] { NewDB(); });
    QAction* openDb = file->addAction(Translate(QStringLiteral("Datenbank öffnen...")));
    openDb->setObjectName(QStringLiteral("OpenDB"));
    connect(openDb, &QAction::triggered, this, [this] { mnuOpenDB_Click(); });
    file->addSeparator();
    QAction* addFile = file->addAction(Translate(QStringLiteral("Datei hinzufügen...")));
    addFile->setObjectName(QStringLiteral("AddFile"));
    connect(addFile, &QAction::triggered, this, [this] { mnuAddFile_Click(); });
    QAction* addDir = file->addAction(Translate(QStringLiteral("Verzeichnis hinzufügen...")));
    addDir->setObjectName(QStringLiteral("AddDir"));
    connect(addDir, &QAction::triggered, this, [this] { mnuAddDir_Click(); });
    catalogueCommands_ << addFile << addDir;
    file->addSeparator();
    QAction* quit = file->addAction(Translate(QStringLiteral("Beenden")));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(Translate(QStringLiteral("&Ansicht")));
    const QString captions[] = {QString(), QStringLiteral("Dateien"), QStringLiteral("Neue Dateien"),
                                QStringLiteral("Kategorien"), QStringLiteral("Zuletzt gestartet")};
    for (int kind = kViewFiles; kind <= kViewHistory; ++kind) {
        mnuView_[kind] = view->addAction(Translate(captions[kind]));
        mnuView_[kind]->setCheckable(true);
        connect(mnuView_[kind], &QAction::triggered, this, [this, kind] { BuildView(kind); });
        catalogueCommands_.append(mnuView_[kind]);
    }

    tlbMain_ = addToolBar(QStringLiteral("tlbMain"));
    tlbMain_->setObjectName(QStringLiteral("tlbMain"));
    tlbMain_->setMovable(false);
    tlbMain_->addAction(openDb);
    tlbMain_->addAction(addDir);
    tlbMain_->addAction(addFile);
    tlbMain_->setVisible(mSettings.ShowToolbar);
    statusBar()->setObjectName(QStringLiteral("barStatus"));
}

void frmMain::BuildPanes()
{
    // Side frame | (tree | drill-down list) or the flat file list.
    splitMenu_ = new QSplitter(Qt::Horizontal, this);
    fraMain_ = new QWidget(splitMenu_);
    fraMain_->setObjectName(QStringLiteral("fraMain"));
    lists_ = new QStackedWidget(splitMenu_);
    splitList_ = new QSplitter(Qt::Horizontal, lists_);
    treeMain_ = new UserTree(splitList_);
    treeMain_->setObjectName(QStringLiteral("treeMain"));
    lstMain_ = new ReportView(splitList_);
    lstMain_->setObjectName(QStringLiteral("lstMain"));
    lstMainFiles_ = new SimpleReport(lists_);
    lstMainFiles_->setObjectName(QStringLiteral("lstMainFiles"));
    lists_->addWidget(lstMainFiles_);
    lists_->addWidget(splitList_);
    splitMenu_->setStretchFactor(1, 1);
    splitList_->setStretchFactor(1, 1);
    // The stored positions are in the old twips (15 per pixel at 96 dpi).
    splitMenu_->setSizes({mSettings.MenuSplitPos / 15, 600});
    splitList_->setSizes({mSettings.ListSplitPos / 15, 400});
    setCentralWidget(splitMenu_);

    // The tree's selected node chooses the rows of the drill-down list.
    treeMain_->SelectionChange.connect([this] {
        if (const auto item = treeMain_->SelectedItem()) lstMain_->Synchronize(item);
    });
    // A double click starts the file with its type's profile.
    lstMain_->ItemDblClick.connect([this](int32_t, int16_t, int16_t) { StartFile(); });
    lstMainFiles_->ItemDblClick.connect([this](int32_t, int16_t, int16_t) { StartFile(); });
}

void frmMain::EnableCatalogueCommands()
{
    const bool open = bool(goDB);
    for (QAction* action : catalogueCommands_) action->setEnabled(open);
}

void frmMain::SetCaption()
{
    setWindowTitle(gtDBPath.isEmpty() ? kAppTitle : kAppTitle + QStringLiteral(" - ") + gtDBPath);
}

void frmMain::ShowInfo(const QString& text) { statusBar()->showMessage(text); }

QString frmMain::StatusText() const { return statusBar()->currentMessage(); }

void frmMain::FirstActivate()
{
    if (ActivationStarted) return;
    ActivationStarted = true;
    if (!gtDBPath.isEmpty()) {
        const QString path = gtDBPath;
        if (!ActivateDatabase(path)) gtDBPath.clear();
    }
    EndStartupPointer();
    FirstActivation = false;
}

void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, [this] { FirstActivate(); });
    QMainWindow::changeEvent(event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the window may never become active: run the first activation
    // once the window is up in any case.
    QTimer::singleShot(0, this, [this] { FirstActivate(); });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!FirstActivation) {
        SaveFormPos(this);
        QString error;
        if (!WriteMainSettings(mSettings, &error))
            MsgBox(gtIniFile + QStringLiteral(": ") + error, vbExclamation | vbOKOnly, kAppTitle);
    }
    CloseDB();
    QMainWindow::closeEvent(event);
}

} // namespace tv
