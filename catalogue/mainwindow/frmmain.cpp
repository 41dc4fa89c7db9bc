#include "frmmain.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/emulators/modprofilmenu.h"
#include "controls/grid/listview.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/reports/vtlsimplecontainer.h"
#include "catalogue/reports/vtlsplit.h"
#include "catalogue/tree/usertree.h"
#include "platform/component/propertybag.h"
#include "platform/gui/eventwait.h"
#include "platform/gui/keys.h"
#include "platform/gui/msgbox.h"
#include "frmmainfilter.h"
#include "previewpane.h"
#include "searchpane.h"
#include "sidepane.h"
#include "viewsql.h"

#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QCloseEvent>
#include <QTimer>
#include <QToolBar>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>

namespace tv {

namespace {
std::function<void(const WizardHost&)>& WizardHook()
{
    static std::function<void(const WizardHost&)> hook;
    return hook;
}
} // namespace

void SetFirstRunWizardHook(std::function<void(const WizardHost&)> hook) { WizardHook() = std::move(hook); }

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    resize(800, 600);
    // The smallest window the panes fit in: 10000 by 5970 twips.
    setMinimumSize(10000 / 15, 5970 / 15);
    // Every setting goes to the program-wide values and this window's state; the emulators
    // and profiles are read here, or the default ones made on a first run.
    LoadMainSettings(mSettings);
    if (!goFileManager) goFileManager = std::make_unique<clsFileManager>();
    // Only the temporary folder is made; "Lang" and "Tools" are just looked in.
    if (!QDir(gtTempPath).exists()) QDir().mkpath(gtTempPath);
    BuildMenus();
    BuildStatusBar();
    BuildPanes();
    SetupImages();
    RefreshStartList();
    ApplyLanguage();
    EnableCatalogueCommands();
    SetCatalogueDamagedHandler([this](const QString& path, const DbError& damage) { CatalogueDamaged(path, damage); });
    // A first start opens large enough for the strip, the tree and the lists, centred.
    if (!gcolWindows.item(FormName(this))) {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        resize(std::max(width(), std::min(1200, area.width() * 9 / 10)),
               std::max(height(), std::min(900, area.height() * 9 / 10)));
    }
    LoadFormPos(this);
}

frmMain::~frmMain() { SetCatalogueDamagedHandler(nullptr); }

void frmMain::BuildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("barStatus"));
    sumFiles_ = new QLabel(statusBar());
    sumFiles_->setMinimumWidth(160);
    sumList_ = new QLabel(statusBar());
    info_ = new QLabel(Translate(QStringLiteral("No database")), statusBar());
    info_->setToolTip(info_->text());
    statusBar()->addWidget(sumFiles_);
    statusBar()->addWidget(sumList_);
    statusBar()->addWidget(info_, 1);
}

namespace {

// A splitter as the window places it: its bar's direction, thickness and margins in twips.
void PlaceSplitter(VTLSplit* split, const char* name, int32_t style, int16_t size, float marginA, float marginB,
                   int16_t border = 0)
{
    split->setObjectName(QString::fromLatin1(name));
    // No area until its host lays it out: the bar is centred and the stored position put in
    // place once it has a real one.
    split->resize(0, 0);
    PropertyBag placed;
    placed.WriteProperty(QStringLiteral("SplitStyle"), Variant(style));
    placed.WriteProperty(QStringLiteral("SplitSize"), Variant(size));
    placed.WriteProperty(QStringLiteral("MarginA"), Variant::fromSingle(marginA));
    placed.WriteProperty(QStringLiteral("MarginB"), Variant::fromSingle(marginB));
    placed.WriteProperty(QStringLiteral("BorderStyle"), Variant(border));
    split->ReadProperties(placed);
}

} // namespace

void frmMain::BuildPanes()
{
    // The strip of panes above a horizontal bar; below it the lists with the preview beside
    // them, and in the tree views the tree beside the drill-down list.
    splitMenu_ = new VTLSplit(this);
    PlaceSplitter(splitMenu_, "splitMenu", 1, 50, 600, 1000);
    fraMain_ = new QWidget(splitMenu_);
    fraMain_->setObjectName(QStringLiteral("fraMain"));
    BuildSidePanes();
    splitPreview_ = new VTLSplit(splitMenu_);
    PlaceSplitter(splitPreview_, "splitPreview", 0, 60, 1000, 50);
    splitList_ = new VTLSplit(splitPreview_);
    PlaceSplitter(splitList_, "splitList", 0, 70, 1000, 200, 1);
    treeMain_ = new UserTree(splitList_);
    treeMain_->setObjectName(QStringLiteral("treeMain"));
    lstMain_ = new ReportView(splitList_);
    lstMain_->setObjectName(QStringLiteral("lstMain"));
    lstMainFiles_ = new SimpleReport(splitPreview_);
    lstMainFiles_->setObjectName(QStringLiteral("lstMainFiles"));
    // The panes as placed on the window: stored properties at their defaults, except that the
    // drill-down list keeps what placing it gave it (a double click and Return go to this window,
    // which starts the file, instead of drilling down); then the roles of the flat list's
    // leading fields (ID, type icon, archive mark) as hidden columns.
    const PropertyBag placed;
    treeMain_->ReadProperties(placed);
    PropertyBag drillDown;
    lstMain_->InitProperties();
    lstMain_->WriteProperties(drillDown);
    lstMain_->ReadProperties(drillDown);
    lstMainFiles_->ReadProperties(placed);
    // Return starts the file in the flat list as in the drill-down list.
    lstMainFiles_->setDblClickOnReturn(true);
    lstMainFiles_->setRecordsetType(1);
    lstMainFiles_->setInvisibleColMode(1);
    lstMainFiles_->setInvisibleCols(3);
    lstMainFiles_->setKeyColumn(Variant(int32_t(0)));
    // The flat list is shown until a view says otherwise.
    splitList_->hide();
    // The preview beside the lists is made after them, so that Tab reaches it after them.
    container_ = new VTLSimpleContainer(splitPreview_);
    container_->setObjectName(QStringLiteral("Container"));
    preview_ = new PreviewPane(container_);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->FontSize = mSettings.FontSize;
    container_->setVisible(mSettings.Preview);
    setCentralWidget(splitMenu_);

    splitMenu_->Arrange(fraMain_, splitPreview_);
    splitList_->Arrange(treeMain_, lstMain_);
    ArrangeLists();
    // The stored positions (in twips) are put in place once a splitter has its area and both
    // its panes are shown; until then the settings keep them as read.
    splitMemory_[0] = {splitMenu_, &mSettings.MenuSplitPos, nullptr};
    splitMemory_[1] = {splitPreview_, &mSettings.PreviewSplitPos, container_};
    splitMemory_[2] = {splitList_, &mSettings.ListSplitPos, nullptr};
    for (SplitMemory& memory : splitMemory_) memory.split->SplitResize.connect([this] { PlaceSplits(); });

    ConnectListEvents();
    ConnectLists();
    // While a list is read beside the window, its rows and the preview lie under a wash: they
    // are about to be replaced, and a click on them would be dropped.
    new WaitCover(splitPreview_);
}

void frmMain::ArrangeLists()
{
    splitPreview_->Arrange(FilesListShown() ? static_cast<QWidget*>(lstMainFiles_) : splitList_, container_);
    PlaceSplits();
}

void frmMain::PlaceSplits()
{
    for (SplitMemory& memory : splitMemory_) {
        if (memory.placed || !memory.split || memory.split->Extent() <= 0) continue;
        if (memory.needs && memory.needs->isHidden()) continue;
        memory.placed = true;
        memory.split->setSplitPos(Variant(double(*memory.setting)));

    }
}

// The strip of panes: views, search, start and filter side by side, each as high as the strip
// less a small gap above the bar.
void frmMain::BuildSidePanes()
{
    auto* layout = new QHBoxLayout(fraMain_);
    layout->setContentsMargins(0, 0, 0, 30 / 15);
    layout->setSpacing(4);
    lvViews_ = new SidePane(QStringLiteral("lvViews"), QStringLiteral("Ansicht"), fraMain_);
    const char* images[] = {"MAINFILES", "NEWFILES", "CATEGORIES", "LAST"};
    for (int i = 0; i < 4; ++i) lvViews_->AddRow(QString(), i + 1, QString::fromLatin1(images[i]));
    lvViews_->RowChosen.connect([this](qint32 kind) { BuildView(kind); });

    // Panes are made in the order they are shown, which is the order Tab walks them.
    BuildSearchPane();
    // The start pane: a double click starts the selected file with the row's profile.
    lvStart_ = new SidePane(QStringLiteral("lvStart"), QStringLiteral("Start"), fraMain_);
    // An entry cut off by the pane's width shows its whole text as a tip.
    lvStart_->list()->setToolTipMode(vantile::vtlCellTips);
    const auto startRow = [this](int32_t row) {
        if (row >= 0) StartEntry(lvStart_->list()->Data(Variant(QStringLiteral("Key")), row).toString());
    };
    lvStart_->list()->ItemDblClick.connect([startRow](int32_t clicked, int32_t) { startRow(clicked); });
    // Return starts with the current row's profile, as a double click on it does.
    lvStart_->list()->KeyDown.connect([this, startRow](int16_t& keyCode, int16_t& shift) {
        if (keyCode != VK_RETURN || shift != 0) return;
        keyCode = 0;
        startRow(lvStart_->CurrentRow());
    });

    lvFilter_ = new SidePane(QStringLiteral("lvFilter"), QStringLiteral("Filter"), fraMain_);
    lvFilter_->AddRow(QString(), 0, QStringLiteral("OFF"));
    const QList<qint32> paneKeys = FilterPaneKeys(mSettings.Filters);
    for (qsizetype i = 1; i < paneKeys.size(); ++i) {
        const FilterPtr& selection = *mSettings.Filters.item(QString::number(paneKeys[i]));
        lvFilter_->AddRow(FilterPaneText(selection->Name), selection->id, FilterImageKey(*selection));
    }
    int row = mSettings.LastFilterRow;
    if (row <= 0 || row >= lvFilter_->RowCount()) row = 0;
    lvFilter_->SetCurrentRow(row);
    CurrentFilterKey = lvFilter_->Key(row);
    lvFilter_->RowChosen.connect([this](qint32 key) {
        CurrentFilterKey = key;
        BuildView(0);
    });
    // The start entries are the longest texts: their pane gets the most room.
    layout->addWidget(lvViews_, 2);
    layout->addWidget(search_, 3);
    layout->addWidget(lvStart_, 4);
    layout->addWidget(lvFilter_, 3);
}

void frmMain::RefreshStartList()
{
    BuildProfilMenu(ProfilMenuHost{mnuStart_, startDropDown_, lvStart_->list()});
}

// The pane state the settings file keeps.
void frmMain::StorePanes()
{
    // The row the current selection will have at the next start, which sorts the pane anew.
    const int filterRow = lvFilter_->CurrentRow();
    const qint32 filterKey = filterRow > 0 ? lvFilter_->Key(filterRow) : 0;
    mSettings.LastFilterRow = int(std::max<qsizetype>(FilterPaneKeys(mSettings.Filters).indexOf(filterKey), 0));
    mSettings.Preview = mnuPreview_->isChecked();
    // A position whose splitter never showed both its panes goes back as it was read.
    for (const SplitMemory& memory : splitMemory_)
        if (memory.placed) *memory.setting = qRound(memory.split->SplitPos());
}

void frmMain::EnableCatalogueCommands()
{
    const bool open = bool(goDB);
    for (QAction* action : catalogueCommands_) action->setEnabled(open);
    // A catalogue open for reading only takes no import; compaction needs a file and folder
    // that can be written (it also mends a damaged catalogue read only by choice).
    const bool writable = open && !goDB->IsReadOnly();
    for (QAction* action : writeCommands_) action->setEnabled(writable);
    mnuCompactDB_->setEnabled(open && Database::MayWrite(goDB->Name()));
    search_->EnableSearch(open);
    UpdateActions();
}

void frmMain::SetCaption()
{
    setWindowTitle(kAppTitle + QLatin1Char(' ') + gtVersion + QStringLiteral(" - ") + gtDBPath);
    ShowInfo(StripExtension(gtDBPath));
}

void frmMain::ShowInfo(const QString& text)
{
    info_->setText(text);
    info_->setToolTip(text);
}

QString frmMain::StatusText() const { return info_->text(); }

QString frmMain::CountText() const { return sumFiles_->text(); }

void frmMain::setCompactOnClose(bool on) { mnuCompactDB_->setChecked(on); }

void frmMain::ShowCounts()
{
    QString text;
    switch (ViewMode()) {
    case kViewFiles:
    case kViewNewFiles:
        // A total that could not be counted shows as unknown, never as a number.
        text = gtFilesCaption + QStringLiteral(": ") + QString::number(lstMainFiles_->ItemCount()) + QLatin1Char('/')
               + (goFileManager && goFileManager->FileCount < 0 ? QStringLiteral("?")
                                                                : QString::number(goFileManager ? goFileManager->FileCount : 0));
        break;
    case kViewCategories:
    case kViewHistory:
        // The nodes below the root: categories, or the days with starts. A root without any
        // cannot be expanded, and counts none.
        if (const auto root = treeMain_->TreeItems(0); root && (root->Expanded() || !root->IsParent()))
            text = Translate(ViewMode() == kViewCategories ? QStringLiteral("Kategorien: ") : QStringLiteral("Tage: "))
                   + QString::number(root->SubItemCountEx(true));
        break;
    default:
        break;
    }
    sumFiles_->setText(text);
}

void frmMain::FirstActivate()
{
    if (ActivationStarted) return;
    ActivationStarted = true;
    // Files left from the last run go first; a folder that cannot be emptied ends the start
    // without touching the settings.
    if (!DeleteTempPath()) {
        gtDBPath.clear();
        EndStartupPointer();
        close();
        return;
    }
    const bool catalogueNamed = !gtDBPath.isEmpty();
    if (catalogueNamed) {
        const QString path = gtDBPath;
        if (!ActivateDatabase(path)) gtDBPath.clear();
    }
    EndStartupPointer();
    // A first run (the settings file names no emulator and no profile) is led by the wizard.
    if (!catalogueNamed && FirstRunWizardDue()) {
        const WizardHost host{[this] { return NewDB(); }, [this] { mnuAddFile_Click(); }, [this] { mnuAddDir_Click(); }};
        if (WizardHook()) {
            WizardHook()(host);
        } else {
            frmWizard wizard(host, this);
            wizard.Form_Load();
            wizard.exec();
        }
        // The wizard switched off the profiles of the emulators not chosen.
        RefreshStartList();
    }
    FirstActivation = false;
    preview_->Active = mnuPreview_->isChecked();
    UpdatePreview();
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

// Puts the tree back to its root, closes the catalogue and compacts it when asked to. Every
// step is tried; none stops the close.
void frmMain::QueryUnload()
{
    if (!gtDBPath.isEmpty() && treeMain_->levels()->Count() > 0) {
        if (const auto item = treeMain_->SelectedItem(); item && item->Level != 1) {
            lstMain_->setAutoRefresh(false);
            treeMain_->SelectItem(QStringLiteral("-1"), 1);
        }
    }
    // No pane may read the catalogue once it is closed, or while it is compacted.
    treeMain_->setDataBase(nullptr);
    lstMain_->setDataBase(nullptr);
    lstMainFiles_->setDataBase(nullptr);
    CloseDB();
    if (mnuCompactDB_->isChecked() && !gtDBPath.isEmpty()) {
        setUpdatesEnabled(false);
        RunProcess(frmProcess::actCompact, QString());
        setUpdatesEnabled(true);
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Not while a list is being read: the command that reads it still runs. The user closes
    // again once the busy pointer is gone.
    if (InEventWait()) {
        event->ignore();
        return;
    }
    // The layouts are taken while the lists still show their catalogue.
    if (!FirstActivation) GetListLayout();
    QueryUnload();
    if (!FirstActivation) {
        StorePanes();
        SaveFormPos(this);
        QString error;
        if (!WriteMainSettings(mSettings, &error))
            MsgBox(FailureText(QStringLiteral("Fehler beim Schreiben der Einstellungen: "), gtIniFile + QStringLiteral(": ") + error), vbExclamation | vbOKOnly, kAppTitle);
    }
    QMainWindow::closeEvent(event);
}

} // namespace tv
