#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tv {

// The main window's commands the first-run wizard calls.
struct WizardHost {
    std::function<bool()> NewDB;     // creates and opens a catalogue; false when cancelled
    std::function<void()> AddFile;   // imports a file; returns when the job has finished
    std::function<void()> AddDir;    // imports a folder
};

// Leads a new user through the first start: create a catalogue, choose the standard
// emulator and its program, import something, finish. By then the default emulators and
// profiles exist; finishing adjusts them in memory (the chosen emulator's path, its
// profiles as the only active ones and as the per-type defaults).
class frmWizard : public QDialog {
public:
    static constexpr int kSteps = 5;

    explicit frmWizard(WizardHost host, QWidget* parent = nullptr);

    void Form_Load();
    void ShowStep(int step);
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdPfad_Click();
    void cmdAddFile_Click();
    void cmdAddFolder_Click();
    int Step() const { return step_; }

    QLabel* lblStep;
    std::array<QFrame*, kSteps + 1> fraStep{};   // 1 to 5
    QComboBox* cboEmulators;
    QLineEdit* txtEmulPath;
    QToolButton* cmdPfad;
    QPushButton* cmdAddFile;
    QPushButton* cmdAddFolder;
    QPushButton* cmdBack;
    QPushButton* cmdNext;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    void Apply();
    WizardHost host_;
    int step_ = 1;
    bool loaded_ = false;
};

} // namespace tv
