// The main window's catalogue: opening one, binding the panes to it and building its views.
#include "frmmain.h"
#include "columnstate.h"
#include "previewpane.h"
#include "searchpane.h"
#include "sidepane.h"
#include "viewsql.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/reports/vtlsimplecontainer.h"
#include "catalogue/reports/vtlsplit.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/tree/usertree.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "platform/gui/eventwait.h"
#include "controls/grid/listview.h"
#include "platform/gui/modfont.h"
#include "platform/gui/msgbox.h"

#include "listcolumns.h"

#include <QApplication>
#include <QScopeGuard>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

namespace tv {

namespace {

// Keeps the busy pointer up while the window works.
struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

bool frmMain::ActivateDatabase(const QString& path)
{
    bool opened = false;
    if (!path.isEmpty() && (path != gtDBPath || FirstActivation || !goDB)) {
        if (!FileExists(path)) {
            MsgBox(Translate(QStringLiteral("Die Datenbank liegt nicht im Pfad: ")) + path, vbCritical, kAppTitle);
            if (const int at = RecentPosition(mSettings.RecentDatabases, path)) {
                mSettings.RecentDatabases.remove(at);
                FillRecentMenus();
            }
        } else if (GetListLayout(), ConnectDB(path)) {
            BusyPointer busy;
            gtDBPath = path;
            SetCaption();
            treeMain_->setDataBase(goDB);
            lstMain_->setDataBase(goDB);
            if (ViewMode() == kViewFiles || ViewMode() == kViewNewFiles) lstMainFiles_->setAutoRefresh(false);
            lstMainFiles_->setRecordSource(QString());
            lstMainFiles_->setDataBase(goDB);
            goFileManager->InitCount();
            BuildView(ViewMode());
            if (ViewMode() == kViewFiles || ViewMode() == kViewNewFiles) lstMainFiles_->setAutoRefresh(true);
            // A path already in the list keeps its place.
            if (RecentPosition(mSettings.RecentDatabases, path) == 0) {
                LimitRecentList(mSettings.RecentDatabases, path);
                FillRecentMenus();
            }
            preview_->ClearPreview();
            UpdatePreview();
            opened = true;
        }
    }
    EnableCatalogueCommands();
    return opened;
}

void frmMain::CatalogueDamaged(const QString& path, const DbError& damage)
{
    EnableCatalogueCommands();
    ShowCounts();
    // The offer waits until no job window or read holds the catalogue: compaction closes it.
    if (QApplication::activeModalWidget() || InEventWait()) {
        QTimer::singleShot(250, this, [this, path, damage] {
            if (goDB && goDB->Name() == path) CatalogueDamaged(path, damage);
        });
        return;
    }
    if (!OfferToCompactDamaged(path, damage.description)) return;
    // As at shutdown: no pane may read the catalogue while it is compacted.
    treeMain_->setDataBase(nullptr);
    lstMain_->setDataBase(nullptr);
    lstMainFiles_->setDataBase(nullptr);
    CloseDB();
    CompactDB();
    ActivateDatabase(path);
}

void frmMain::BuildView(int newViewMode, bool& showCategory, bool keepTree)
{
    if (gtDBPath.isEmpty() || !goDB) return;
    QElapsedTimer clock;
    clock.start();
    BusyPointer busy;
    InBuildView = true;
    const auto built = qScopeGuard([this] { InBuildView = false; });
    // After a language switch the layouts were kept already, under the new captions.
    if (PendingKeyRenames.isEmpty()) GetListLayout();
    // One of the two lists stands beside the preview.
    // A list that had the focus hands it to the list shown in its place: hidden, it would pass
    // it on to the preview beside it, where the arrow keys and Return do nothing.
    const auto showList = [this](QWidget* shown, QWidget* hidden) {
        const QWidget* focused = QApplication::focusWidget();
        const bool hadFocus = focused && (focused == hidden || hidden->isAncestorOf(focused));
        hidden->hide();
        shown->show();
        ArrangeLists();
        QWidget* list = shown == splitList_ ? static_cast<QWidget*>(lstMain_) : shown;
        if (hadFocus)
            if (QWidget* stop = FirstTabStop(this, list)) stop->setFocus(Qt::OtherFocusReason);
    };
    const bool drillDownShown = ViewMode() == kViewCategories || ViewMode() == kViewHistory;
    std::vector<ColumnState> saved =
        ReadColumnState((drillDownShown ? lstMain_->Columns() : lstMainFiles_->Columns()).get());
    RenameStateKeys(saved, PendingKeyRenames);

    if (HasCategoryColumn()) {
        showCategory = true;
    } else if (showCategory) {
        if (!MainListColumns.isEmpty()) MainListColumns += QStringLiteral("@@@");
        MainListColumns += QStringLiteral("tCategory");
    }
    if (newViewMode > 0) mSettings.ViewMode = newViewMode;
    const int mode = mSettings.ViewMode;
    QString viewCaption;
    for (int kind = kViewFiles; kind <= kViewHistory; ++kind) {
        mnuView_[kind]->setChecked(kind == mode);
        if (kind == mode) viewCaption = mnuView_[kind]->text();
    }
    QStringList& layouts = mSettings.ListLayouts;
    const int layoutIndex = GetLayoutIndex(mode);
    if (layouts.value(layoutIndex).isEmpty()) layouts[layoutIndex] = layouts.value(0);

    ViewRequest request;
    request.ViewMode = mode;
    request.ShowCategory = showCategory;
    if (goFileManager) {
        request.LastID = goFileManager->lStartFileID;
        request.NewestID = goFileManager->lMaxFilesID;
        request.FileCount = goFileManager->FileCount;
    }
    request.ViewCaption = viewCaption;
    // The search the view is built with; a later search is due only when a box differs.
    SearchTexts = search_->Texts();
    search_->cmdStopSearch()->setEnabled(search_->HasSearchText());
    request.FileSearch = SearchTexts.value(1);
    request.PathSearch = SearchTexts.value(2);
    const FilterPtr* selection = mSettings.Filters.item(QString::number(CurrentFilterKey));
    if (CurrentFilterKey != 0 && selection) {
        request.Selection = selection->get();
        WarnIgnoredConditions(**selection);
    }
    const ViewSql sql = BuildViewSql(request);

    if (mode == kViewCategories || mode == kViewHistory) {
        const bool autoRefresh = lstMain_->AutoRefresh();
        lstMain_->setAutoRefresh(false);
        const QStringList& levels = sql.ListLevels;
        if (mode == kViewHistory) {
            lstMain_->setSortMode(1);
            lstMain_->levels()->Setup(levels);
            lstMain_->setSortMode(2);
        } else {
            lstMain_->setSortMode(0);
            lstMain_->levels()->Setup(levels);
        }
        if (!keepTree) {
            ApplyColumnState(lstMain_->Columns().get(), saved, !showCategory);
            treeMain_->levels()->Setup(sql.TreeLevels);
            if (const auto root = treeMain_->TreeItems(0)) root->SetExpanded(true);
            treeMain_->Refresh();
        } else if (const auto item = treeMain_->SelectedItem(); item && item->Level >= 2) {
            lstMain_->Synchronize(item);
        }
        lstMain_->setAutoRefresh(autoRefresh);
        showList(splitList_, lstMainFiles_);
    } else {
        lstMainFiles_->setAutoRefresh(false);
        lstMainFiles_->setRecordSource(QString());
        lstMainFiles_->setLayout(layouts.value(layoutIndex));
        lstMainFiles_->setRecordSource(sql.Files);
        SetupFileColumns(lstMainFiles_->Columns().get(), layouts.value(layoutIndex),
                         lstMainFiles_->grid()->Font()->toQFont());
        lstMainFiles_->setAutoRefresh(true);
        showList(lstMainFiles_, splitList_);
    }
    lvViews_->SetCurrentRow(mode - 1);
    // The list was just read again, with what other programs added or deleted meanwhile: so
    // is the total beside it.
    if (goFileManager) goFileManager->CountFilesIfChangedElsewhere();
    ShowCounts();
    UpdateActions();
    ShowInfo(DurationText(lvViews_->Text(mode - 1), clock.elapsed() / 1000.0));
}

void frmMain::GetListLayout()
{
    const bool drillDown = ViewMode() == kViewCategories || ViewMode() == kViewHistory;
    const auto columns = drillDown ? lstMain_->Columns() : lstMainFiles_->Columns();
    if (!columns || columns->Count() == 0) return;
    mSettings.ListLayouts[GetLayoutIndex(ViewMode())] = drillDown ? lstMain_->Layout() : lstMainFiles_->Layout();
    MainListColumns = VisibleColumnFields(columns.get());
}

} // namespace tv
