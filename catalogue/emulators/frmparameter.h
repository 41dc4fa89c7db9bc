#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tv {

// Full path ("Emulatoren\<file>\<description - parameter>") of the node selected when the
// parameter picker last closed; kept in memory only, so that the next opening while the
// program runs selects it again.
extern QString gtLastParamPath;

// The modal picker of the emulators' known command-line parameters. It reads every
// parameter file "*.prm" in gtLangPath: one file per emulator (its name is the node's
// label), one parameter per line as "parameter@@description"; lines that do not split into
// exactly these two parts are skipped. "<image>" in a parameter stands for the started
// file. The caller shows it modally and reads `Parameter` ("" when nothing was chosen).
class frmParameter : public QDialog {
public:
    QString Parameter;   // the chosen parameter, its "<image>" made a file parameter

    explicit frmParameter(QWidget* parent = nullptr);

    // Fills the tree from the parameter files; call before showing.
    void Form_Load();
    void cmdOk_Click();
    void treeParams_Click();

    QTreeWidget* treeParams;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // "\"-joined texts from the root down to `node`.
    static QString FullPath(const QTreeWidgetItem* node);

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    static bool IsParameter(const QTreeWidgetItem* node);
    bool loaded_ = false;
    bool scrollOnShow_ = false;   // the last choice is brought into sight once laid out
};

// A parameter of a parameter file as a profile option: every "<image>" becomes the path
// placeholder between double quotes ("-run <image>" gives "-run \"<$Filepath$>\"").
QString FileParameter(const QString& parameter);

// Shows the picker modally; returns its `Parameter`.
QString PickParameter(QWidget* owner = nullptr);

} // namespace tv
