#pragma once

#include "clsfilter.h"

#include <QDialog>
#include <QIcon>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace tv {
class DBCombo;
}

namespace tv {

// What the selection window needs of the main window, which owns the filter pane.
struct MainFilterHost {
    // Shows the pane row of selection `id` (adding it when missing) and rebuilds the view.
    std::function<void(qint32 id)> CreateFilter;
    // The selection's name changed: its pane row shows `paneText` (see FilterPaneText).
    std::function<void(qint32 id, const QString& paneText)> RenameFilter;
    // The selection is gone: its pane row goes; when it was the pane's current row the pane
    // switches to row 0 ("Filter aus") and the view is rebuilt.
    std::function<void(qint32 id)> RemoveFilter;
};

// The pane text of a selection name: its first 17 characters and "..." when it has 21 or
// more, else the name.
QString FilterPaneText(const QString& name);
// The keys of the filter pane's rows as a start lays them out: 0 ("Filter aus") first, then
// the selections in ascending order of their pane texts (FilterRowPosition). The row stored
// at exit is taken from this order, so that the next start applies the same selection even
// when a name changed or a selection was added in between.
QList<qint32> FilterPaneKeys(const FilterCollection& filters);

// The selection window: picks, creates, renames, deletes, edits and applies selections of the
// main window's collection, in place. The caller sets FilterIndex, Filters and Host, calls
// InitForm and shows it modally.
class frmMainFilter : public QDialog {
    Q_OBJECT
public:
    explicit frmMainFilter(QWidget* parent = nullptr);
    ~frmMainFilter() override;

    qint32 FilterIndex = 0;            // the applied selection's id, 0 for none
    FilterCollection* Filters = nullptr;
    MainFilterHost Host;
    // The image of a type tree node by key ("FILES", "ATR", "ZIP", ...); none when unset.
    std::function<QIcon(const QString&)> TypeImage;

    void InitForm();

    // Controls, public for the window's tests and its host.
    QComboBox* cboFilter;
    QToolBar* tbFilter;
    QAction* cmdNew;
    QAction* cmdEdit;
    QAction* cmdReset;
    QAction* cmdDelete;
    QAction* cmdInfo;
    QLabel* lblField[6] = {};
    QPushButton* cmdCompare[6] = {};
    DBCombo* cboFile;
    QLineEdit* txtPath;
    QLineEdit* txtSize;
    DBCombo* cboCategory;
    QCheckBox* chkCompressed;
    QTreeWidget* treeFiles;
    QPushButton* cmdApply;
    QPushButton* cmdOK;
    QPushButton* cmdExit;

    bool IsChanged() const { return mChanged; }
    void cmdCompare_Click(int index);
    // Stores the fields in the chosen selection. With no entry chosen, the fields become a new
    // selection, named by the user; false when he gives no name (nothing stored).
    bool Apply();
    void NewSelection();
    void RenameSelection();
    void DeleteSelection();
    void ResetControls();

protected:
    // Asks for the name of a new selection until it is one the list does not hold; empty when
    // the user gives none.
    QString AskNewName();
    void done(int result) override;

private:
    void unload();
    void SetOperatorCaption(int index, const QString& caption);
    void FieldChanged(int index, const QString& text);
    void SizeChanged();
    void BuildTypeTree();
    void TreeItemChanged(QTreeWidgetItem* item);
    void ColorNodes();
    // A root that is not ticked (no longer all types) shows whether some of its types are.
    void ShowRootState();
    void SetChanged(bool changed);
    void LoadSelection();
    void UpdateDeleteButton();
    QTreeWidgetItem* Root() const;

    FilterPtr mCurrent;
    bool mChanged = false;
    bool mLoaded = false;
    bool mTreeBusy = false;
};

} // namespace tv
