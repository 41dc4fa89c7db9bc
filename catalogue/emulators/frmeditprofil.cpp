#include "frmeditprofil.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/modoptions.h"
#include "platform/gui/msgbox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

frmEditProfil::frmEditProfil(QWidget* parent)
    : QDialog(parent),
      lblEmu(new QLabel(this)),
      txtName(new QLineEdit(this)),
      chkDefEmul(new QCheckBox(QStringLiteral("Standardprofil"), this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("frmEditProfil"));
    setWindowTitle(QStringLiteral("Profil"));
    txtName->setMinimumWidth(260);
    cmdOk->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Emulator:"), this), 0, 0);
    grid->addWidget(lblEmu, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 1, 0);
    grid->addWidget(txtName, 1, 1);
    grid->addWidget(chkDefEmul, 2, 1);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmEditProfil::SaveProfil(const QString& name, bool silent)
{
    for (const auto& entry : *ActProfilsCol) {
        if (entry.value->EmulKey == ActEmul->Key && entry.value->Name == name) {
            if (!silent) MsgBox(Translate(QStringLiteral("Dieser Name besteht schon!")), vbInformation, {}, this);
            return false;
        }
    }
    // New names and renames stay free of the option-string separators, as they always were
    // in this editor; names already stored with them are still loaded and kept.
    if (const QString error = OptionTextError(name); !error.isEmpty()) {
        if (!silent) MsgBox(error, vbInformation, {}, this);
        return false;
    }
    if (ActProfilKey.isEmpty() || Copy) {
        ProfilPtr profil = AddProfil(*ActProfilsCol, ActEmul->Key, name, QString(), true, 0);
        if (!profil) return false;
        ActProfilKey = profil->Key;
    } else {
        ProfilPtr* profil = ActProfilsCol->item(ActProfilKey);
        if (!profil) return false;
        (*profil)->Name = name;
    }
    Changed = true;
    return true;
}

void frmEditProfil::Form_Load()
{
    LoadFormPos(this);
    chkDefEmul->setChecked(false);
    if (const ProfilPtr* profil = ActProfilKey.isEmpty() ? nullptr : ActProfilsCol->item(ActProfilKey)) {
        chkDefEmul->setChecked(!Copy && MainProfilKey == ActProfilKey);
        loadedName_ = (*profil)->Name;
        txtName->setText(loadedName_);
        if (Copy) ActProfilKey.clear();
    } else {
        ActProfilKey.clear();
    }
    // The default profile cannot lose its mark here: another profile must take it.
    chkDefEmul->setEnabled(!chkDefEmul->isChecked());
    lblEmu->setText(ActEmul->Name);
    if (ActProfilKey.isEmpty()) {
        loadedName_.clear();
        setWindowTitle(QStringLiteral("Neues Profil"));
    }
    TranslateForm(this, true, false);
    loaded_ = true;
    Changed = false;
}

void frmEditProfil::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        SaveFormPos(this);
        ResetLangContext();
    }
    QDialog::done(result);
}

void frmEditProfil::cmdOk_Click()
{
    const QString name = txtName->text();
    if (name.isEmpty()) {
        MsgBox(Translate(QStringLiteral("Bitte geben Sie einen Profilnamen an!")), vbInformation, {}, this);
        txtName->setFocus();
        return;
    }
    if (name != loadedName_) {
        if (!SaveProfil(name, false)) {
            txtName->setFocus();
            return;
        }
    }
    if (chkDefEmul->isChecked() && ActProfilKey != MainProfilKey) {
        MainProfilKey = ActProfilKey;
        Changed = true;
    }
    accept();
}

} // namespace tv
