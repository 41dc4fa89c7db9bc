#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tv {

// Gives every file selected in the main window's list one category, or none. The caller sets
// SelectedFileIDs, shows the window modally and refreshes its list when Changed is True
// afterwards. A typed name that is no category yet becomes a new one.
class frmCategory : public QDialog {
    Q_OBJECT
public:
    explicit frmCategory(QWidget* parent = nullptr);

    bool Changed = false;  // the window wrote categories
    // The catalogue IDs of the files selected in the main window's list (its flat file list,
    // else its drill-down list), in list order; the main window lends its list through it.
    std::function<QList<qint32>()> SelectedFileIDs;

    // Restores the placement, fills the list and counts the files; exec() calls it first.
    void Form_Load();
    int exec() override;
    void done(int result) override;

private:
    void cmdOk_Click();
    void FillCategories();
    QList<qint32> Selection() const;

    QGroupBox* Frame1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblCount;
    QComboBox* cboCategory;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QString mtClearEntry;
    bool mbLoaded = false;
};

} // namespace tv
