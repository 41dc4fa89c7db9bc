#pragma once

#include "catalogue/emulators/modemulator.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

// The modal dialog that names a start profile of one emulator: a new profile, a new name
// for an existing one, or a copy. It edits the caller's profile collection in place and
// never touches a profile's option list. `SaveProfil` also works unseen, so that the
// options window can store a copy without asking.
class frmEditProfil : public QDialog {
public:
    bool Changed = false;                       // a profile was stored or made the default
    EmulatorPtr ActEmul;                        // the emulator the profile belongs to
    ProfilCollection* ActProfilsCol = nullptr;  // the collection edited
    QString ActProfilKey;    // in: profile to rename or copy, "" = new; out: stored profile
    QString MainProfilKey;   // in: current default profile; out: new default when ticked
    bool Copy = false;       // `ActProfilKey` is only the template of a new profile

    explicit frmEditProfil(QWidget* parent = nullptr);

    // Stores a new or copied profile named `name`, or renames profile `ActProfilKey`.
    // A name taken under the same emulator (or one that would break the settings file) is
    // refused; `silent` suppresses the message. Returns whether it stored.
    bool SaveProfil(const QString& name, bool silent);

    // Fills the window from the fields; call after setting them, before showing.
    void Form_Load();
    void cmdOk_Click();

    QLabel* lblEmu;
    QLineEdit* txtName;
    QCheckBox* chkDefEmul;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    QString loadedName_;
    bool loaded_ = false;
};

} // namespace tv
