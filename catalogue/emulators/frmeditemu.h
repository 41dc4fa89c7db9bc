#pragma once

#include "catalogue/emulators/editorhelpers.h"
#include "catalogue/emulators/modemulator.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tv {

// The modal dialog that adds, edits or copies one emulator: name, type and program path.
// The caller sets the public fields, shows it modally (through EditEmulator) and reads
// `Changed` and `Key` afterwards. It edits the caller's collections in place and owns
// nothing but its widgets.
class frmEditEmu : public QDialog {
public:
    EmulatorCollection* ActEmuCol = nullptr;   // the collection edited
    ProfilCollection* ActProfilCol = nullptr;  // receives the default profiles of a new emulator
    bool Changed = false;                      // name, path or type were stored
    bool Copy = false;                         // `Key` is only the template of a new emulator
    QString Key;                               // in: emulator to edit or copy, "" = new; out: stored

    explicit frmEditEmu(QWidget* parent = nullptr);

    // Fills the window from the fields (placement, texts, translation); call after setting
    // them, before showing. Closing stores the placement.
    void Form_Load();
    // Checks and stores; closes the window when everything was accepted.
    void cmdOk_Click();

    QLineEdit* txtName;
    QComboBox* cboTyp;
    QComboBox* cboPath;
    QToolButton* cmdPfad;
    QCheckBox* chkDefault;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    void cboTyp_Change();
    void cmdPfad_Click();
    void SelectPath(const QString& path);
    clsEmulator* Emulator(const QString& key) const;
    int NextEmulatorNumber() const;

    QString loadedName_;
    QString loadedPath_;
    bool loaded_ = false;
};

// Shows the emulator editor modally on `emulators` (`profils` receives the default
// profiles of a new emulator and may be null). `key` "" adds a new emulator; with
// `asCopy` the emulator `key` is the template of a new one. Returns the key of the stored
// emulator, or "" when nothing was stored.
QString EditEmulator(EmulatorCollection& emulators, ProfilCollection* profils, const QString& key,
                     bool asCopy, QWidget* owner = nullptr, const ShowModalFn& show = {});

} // namespace tv
