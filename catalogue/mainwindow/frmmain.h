#pragma once

#include "platform/db/dberror.h"
#include "mainsettings.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/emulators/frmwizard.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QKeySequence;
class QToolBar;

namespace tv {

class ImageList;
class ReportView;
class PreviewPane;
class SearchPane;
class SidePane;
class SimpleReport;
class UserTree;
class VTLSimpleContainer;
class VTLSplit;

// Runs the first-run wizard in place of the modal window while set (tests; null restores it).
void SetFirstRunWizardHook(std::function<void(const WizardHost&)> hook);

// The main window. Owned by the program's start-up; lives until the program ends. It reads
// the settings file when it is made and rewrites it when it closes, once its first
// activation has run. It lays out the panes and routes the commands; the SQL of its views
// comes from viewsql.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Makes `path` the open catalogue and shows its view. True only when this call opened it.
    bool ActivateDatabase(const QString& path);
    // The open catalogue was found damaged after it opened and is read only now: the commands
    // that write go, and the user is offered to compact it, after which it opens anew.
    void CatalogueDamaged(const QString& path, const DbError& damage);
    // Asks for a new catalogue, creates it and opens it.
    bool NewDB();
    // The open dialog for a catalogue, then OpenDatabaseFile.
    void mnuOpenDB_Click();
    // Opens a catalogue; after a successful opening the loose files of the temporary folder go.
    void OpenDatabaseFile(const QString& path);
    // Rebuilds the lists (and, unless `keepTree`, the tree) for a view kind; 0 keeps the
    // current one. Nothing happens without a catalogue.
    void BuildView(int newViewMode, bool& showCategory, bool keepTree);
    void BuildView(int newViewMode)
    {
        bool showCategory = false;
        BuildView(newViewMode, showCategory, false);
    }

    // The import dialog for a file (mode 5) or a folder (mode 1), starting at `path`, then the job.
    void AddFiles(const QString& path, bool isFolder);
    void mnuAddFile_Click() { AddFiles(gtDialogPath, false); }
    void mnuAddDir_Click() { AddFiles(gtDialogPath, true); }
    // Runs one job in the job window and brings the views into line with its result.
    void RunProcess(int mode, const QString& path);
    // The details window of one catalogued file; the lists are re-read when it changed the row.
    void EditFiles(qint32 fileID);
    // Re-reads tree and lists after records went.
    void RefreshAfterDelete(bool noRequery = false);
    // Starts a catalogued file (0: the selected one) with a profile ("" for the file type's).
    void StartFile(QString profileKey = QString(), qint32 fileID = 0);
    // Starts the selected file with the profile of a start entry ("Profil" and the profile key).
    void StartEntry(const QString& entryKey);
    // The options window; the start menus and the start pane follow a changed profile list.
    void mnuOption_Click();
    // The selected file as the action enabler keeps it: the ID as a number in the drill-down
    // list, negated in the flat list; 0 for none.
    qint32 SelectedFileID() const { return InfoTag; }
    // The selected file's type code, 0 for none.
    int CurrentFileType() const { return mCurrentFileType; }

    // ---- search (mainsearch.cpp) ----
    SearchPane* searchPane() const { return search_; }
    // Runs the search now: rebuilds the view when a box differs from what the view was built
    // with. The pause timer calls it; so do Enter, a history entry and the stop button.
    void moTimer_Timer();
    void cmdStopSearch_Click();

    // ---- selection-dependent commands (mainactions.cpp, maindelete.cpp) ----
    // Enables the commands that need a file or category for what is selected now and keeps
    // the selected file for start and preview. "lstMain" names the drill-down list as the
    // source of the change; any other text leaves it to the active control.
    void UpdateActions(const QString& source = QString());
    // Deletes the selected files, category or start day after a question.
    void mnuDel_Click();
    // Renames the selected category, or opens the details of one file or the category window
    // for several.
    void EditSelected();
    void mnuHomepage_Click();
    // The pop-up of the edit menu at the pointer (right click on a list or the tree).
    void ShowEditMenu();

    // Applies gtLanguageFile to the program and this window.
    void ApplyLanguage();
    // The language menu's command: item 0 is German, the others the files of the language folder.
    void mnuLang_Click(int index);
    QMenu* languageMenu() const { return mnuLanguage_; }

    int ViewMode() const { return mSettings.ViewMode; }
    UserTree* treeMain() const { return treeMain_; }
    ReportView* lstMain() const { return lstMain_; }
    SimpleReport* lstMainFiles() const { return lstMainFiles_; }
    SidePane* lvViews() const { return lvViews_; }
    SidePane* lvFilter() const { return lvFilter_; }
    PreviewPane* preview() const { return preview_; }
    SidePane* lvStart() const { return lvStart_; }
    FilterCollection& filters() { return mSettings.Filters; }
    QMenu* startMenu() const { return mnuStart_; }
    QMenu* startDropDown() const { return startDropDown_; }
    // The file-type, pane and tree pictures, lent to the lists and the windows opened from here.
    std::shared_ptr<ImageList> imgMain() const { return imgMain_; }
    // The texts of the status bar's info and count panels.
    QString StatusText() const;
    QString CountText() const;
    // Whether closing compacts the catalogue.
    void setCompactOnClose(bool on);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RefreshAfterProcess(int resultMode, int requestedMode, qint32 lastFileID);
    void BuildMenus();
    // The toolbar's buttons with their pictures, tool tips and drop-downs (maintoolbar.cpp).
    void BuildToolbar();
    // Makes the main image list and hands it to the panes, the lists and the tree.
    void SetupImages();
    // The picture of a key of the main image list as an icon.
    QIcon TypeIcon(const QString& key) const;
    void BuildStatusBar();
    QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                        std::function<void()> command);
    // The drop-down of a toolbar button: the recent paths, sorted without regard to case.
    void FillRecentMenu(const Collection<QString>& paths, QMenu* menu);
    void FillRecentMenus();
    // Empties the temporary folder; false (after a message) when something stayed.
    bool DeleteTempPath();
    void BuildLanguageMenu(QMenu* view);
    void TranslatePanes();
    void mnuCheckFiles_Click();
    void BuildSearchPane();
    void BuildActionCommands(QMenu* edit, QMenu* help);
    void ConnectListEvents();
    // In the tree views: whether the tree rather than the drill-down list is the active control.
    bool TreeActive() const;
    void treeMain_SelectionChange();
    void RenameCategory();
    // The catalogue IDs of the selected rows of the shown list, in their order.
    QList<qint32> SelectedRowIDs();
    void mnuNewCat_Click();
    void mnuFilepath_Click();
    void mnuFilter_Click();
    void mnuPreview_Click();
    // Shows the selected file in the preview pane when the pane is on.
    void UpdatePreview();
    QString FilterImageKey(const clsFilter& selection) const;
    // Tells once per selection which of its conditions the view leaves out (a number compared
    // with a text, from a settings file edited by hand).
    void WarnIgnoredConditions(const clsFilter& selection);
    // Copy, find and column commands act on the list shown.
    bool FilesListShown() const;
    void BuildPanes();
    // Lets splitPreview lay out the shown list and the preview anew.
    void ArrangeLists();
    // Puts each splitter's stored position in place the first time it can take it.
    void PlaceSplits();
    // Answers the lists' questions: sort column, layouts, coded texts.
    void ConnectLists();
    // The drill-down list shows the level and rows of the selected node, its columns set up
    // and, on another level, arranged as the user left them.
    void FollowTreeNode();
    void BuildSidePanes();
    void StorePanes();
    // Keeps the shown list's column layout in ListLayouts and its visible fields in
    // MainListColumns.
    void GetListLayout();
    void FirstActivate();
    // Rebuilds the profile items of the start menu, the Start drop-down and the start pane.
    void RefreshStartList();
    void EnableCatalogueCommands();
    void SetCaption();
    void ShowInfo(const QString& text);
    void ShowCounts();
    void QueryUnload();

    MainSettings mSettings;
    // Set until the first activation has run; while set, closing stores nothing, so a start
    // that failed early leaves the settings file as it was.
    bool FirstActivation = true;
    bool ActivationStarted = false;
    // Set while BuildView runs: the lists' column state is then its business.
    bool InBuildView = false;
    // Column keys a language switch changed (old -> new), carried over by the next BuildView.
    QHash<QString, QString> PendingKeyRenames;

    QToolBar* tlbMain_ = nullptr;
    std::shared_ptr<ImageList> imgMain_;
    std::shared_ptr<ImageList> imgToolbar_;
    VTLSplit* splitMenu_ = nullptr;     // the pane strip above, the lists below
    VTLSplit* splitPreview_ = nullptr;  // the shown list, the preview beside it
    VTLSplit* splitList_ = nullptr;     // the tree, the drill-down list beside it
    // A splitter's position in the settings (twips) and whether it was put in place; `needs`
    // is a pane that must be shown for the position to mean anything.
    struct SplitMemory {
        VTLSplit* split = nullptr;
        int* setting = nullptr;
        QWidget* needs = nullptr;
        bool placed = false;
    };
    SplitMemory splitMemory_[3];
    VTLSimpleContainer* container_ = nullptr;  // holds the preview
    PreviewPane* preview_ = nullptr;
    QAction* mnuPreview_ = nullptr;
    QWidget* fraMain_ = nullptr;
    SidePane* lvViews_ = nullptr;
    SidePane* lvFilter_ = nullptr;
    SidePane* lvStart_ = nullptr;
    QMenu* mnuStart_ = nullptr;
    QMenu* startDropDown_ = nullptr;
    qint32 CurrentFilterKey = 0;  // the selection of lvFilter's current row, 0 for none
    QList<qint32> WarnedSelections;  // selections whose left-out conditions were named
    UserTree* treeMain_ = nullptr;
    ReportView* lstMain_ = nullptr;
    SimpleReport* lstMainFiles_ = nullptr;
    QAction* mnuView_[5] = {};
    QAction* mnuCompactDB_ = nullptr;
    QAction* mnuNewCat_ = nullptr;
    QAction* mnuToggleToolbar_ = nullptr;
    QMenu* mnuLanguage_ = nullptr;
    QStringList LanguageFiles;  // the file behind each language item; "" for German
    QMenu* recentDatabases_ = nullptr;  // drop-downs of "OpenDB", "AddFile" and "AddDir"
    QMenu* recentFiles_ = nullptr;
    QMenu* recentFolders_ = nullptr;
    QLabel* sumFiles_ = nullptr;  // status panels "SumFiles", "SumList", "INFO"
    QLabel* sumList_ = nullptr;
    QLabel* info_ = nullptr;
    QList<QAction*> catalogueCommands_;  // usable only with an open catalogue
    QList<QAction*> writeCommands_;      // usable only with a catalogue open for writing
    SearchPane* search_ = nullptr;
    QStringList SearchTexts;  // the search boxes' texts the current view was built with
    QMenu* mnuEdit_ = nullptr;
    QAction* mnuDetails_ = nullptr;
    QAction* mnuDel_ = nullptr;
    QAction* mnuFilepath_ = nullptr;
    QAction* tbStart_ = nullptr;  // toolbar buttons "Start", "Edit" and "Del"
    QAction* tbEdit_ = nullptr;
    QAction* tbDel_ = nullptr;
    qint32 InfoTag = 0;  // the selected file (see SelectedFileID)
    int mCurrentFileType = 0;
    bool TreeFocused = true;  // the tree had the focus after the drill-down list last
};

} // namespace tv
