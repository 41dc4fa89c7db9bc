#pragma once

#include "catalogue/emulators/modemulator.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace tv {

// The modal dialog that adds or changes one entry of a profile's option list. It offers
// every entry used by the emulator's profiles and the two placeholders, and takes a
// parameter from the picker. `SaveParam` also works unseen, so that the options window
// can paste an entry without asking.
class frmEditParams : public QDialog {
public:
    EmulatorCollection* ActEmulCol = nullptr;   // for the profile's caption
    ProfilCollection* ActProfilCol = nullptr;   // the collection whose profile is edited
    QString ActProfilKey;                       // the profile whose option list is edited
    bool Changed = false;                       // an entry was stored
    bool Copy = false;      // `Parameter` is added as a new entry, not replaced
    QString Parameter;      // in: entry to change ("" = new); out: the stored text

    // Opens the parameter picker; tests put a stand-in here.
    std::function<QString(QWidget* owner)> PickParameterFn;

    explicit frmEditParams(QWidget* parent = nullptr);

    // Adds `text` as a new entry (active) or puts it in place of entry `Parameter`. An
    // entry of that text already in the list, or a text that would break the option
    // string, is refused with a message. Returns whether it stored.
    bool SaveParam(const QString& text);

    void Form_Load();
    void cmdOk_Click();
    void cmdParam_Click();

    QLabel* lblProfil;
    QComboBox* cboParam;
    QToolButton* cmdParam;
    QLabel* lblExtras;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    void SelectParam(const QString& text);
    clsProfil* Profil() const;
    bool loaded_ = false;
};

} // namespace tv
