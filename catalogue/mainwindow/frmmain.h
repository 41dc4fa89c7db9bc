#pragma once

#include "mainsettings.h"

#include <QMainWindow>

class QAction;
class QSplitter;
class QStackedWidget;
class QToolBar;

namespace tv {

class ReportView;
class SimpleReport;
class UserTree;

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

    int ViewMode() const { return mSettings.ViewMode; }
    UserTree* treeMain() const { return treeMain_; }
    ReportView* lstMain() const { return lstMain_; }
    SimpleReport* lstMainFiles() const { return lstMainFiles_; }
    QString StatusText() const;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildPanes();
    void FirstActivate();
    void EnableCatalogueCommands();
    void SetCaption();
    void ShowInfo(const QString& text);

    MainSettings mSettings;
    // Set until the first activation has run; while set, closing stores nothing, so a start
    // that failed early leaves the settings file as it was.
    bool FirstActivation = true;
    bool ActivationStarted = false;

    QToolBar* tlbMain_ = nullptr;
    QSplitter* splitMenu_ = nullptr;
    QSplitter* splitList_ = nullptr;
    QStackedWidget* lists_ = nullptr;
    QWidget* fraMain_ = nullptr;
    UserTree* treeMain_ = nullptr;
    ReportView* lstMain_ = nullptr;
    SimpleReport* lstMainFiles_ = nullptr;
    QAction* mnuView_[5] = {};
    QList<QAction*> catalogueCommands_;  // usable only with an open catalogue
};

} // namespace tv
