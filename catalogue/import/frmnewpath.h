#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace tv {

// Asks, during the catalogue check, for the folder in which missing files now lie and,
// optionally, the old folder they were stored under. It only collects and checks the two
// folders; the caller searches and updates. The caller sets ActFolders and OldFolders,
// shows the window modally and reads NewPath and OldPath only when Action is 11.
class frmNewPath : public QDialog {
    Q_OBJECT
public:
    static constexpr int kActionOK = 11;

    explicit frmNewPath(QWidget* parent = nullptr);

    int Action = 0;
    QStringList ActFolders;  // offered in the new-folder combo, in order
    QStringList OldFolders;  // offered in the old-folder combo, in order
    QString NewPath;
    QString OldPath;

    // Restores the placement, fills the combos from ActFolders and OldFolders and translates
    // the window; exec() calls it first.
    void Form_Load();
    int exec() override;
    // Closing stores the placement and leaves the translation context.
    void done(int result) override;

private:
    void cmdOK_Click();
    void Browse(QComboBox* target, const QString& startFolder);

    QLabel* Label2;
    QLabel* Label3;
    QComboBox* cboNewPath;
    QComboBox* cboOldPath;
    QPushButton* cmdDest;
    QPushButton* cmdSource;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    bool loaded_ = false;
};

} // namespace tv
