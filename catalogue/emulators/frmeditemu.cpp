#include "frmeditemu.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "platform/gui/msgbox.h"
#include "platform/system/process.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace tv {

frmEditEmu::frmEditEmu(QWidget* parent)
    : QDialog(parent),
      txtName(new QLineEdit(this)),
      cboTyp(new QComboBox(this)),
      cboPath(new QComboBox(this)),
      cmdPfad(new QToolButton(this)),
      chkDefault(new QCheckBox(QStringLiteral("Standard-Profile erstellen"), this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("frmEditEmu"));
    setWindowTitle(QStringLiteral("Emulator"));
    cboPath->setEditable(true);
    cboPath->setInsertPolicy(QComboBox::NoInsert);
    ReturnTakesCompletion(cboPath);
    cboPath->setMinimumWidth(320);
    cmdPfad->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdPfad->setToolTip(QStringLiteral("Dateipfad"));
    cmdOk->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Emulator:"), this), 1, 0);
    grid->addWidget(cboTyp, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Pfad:"), this), 2, 0);
    grid->addWidget(cboPath, 2, 1);
    grid->addWidget(cmdPfad, 2, 2);
    grid->addWidget(chkDefault, 3, 1, 1, 2);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    grid->addLayout(buttons, 4, 0, 1, 3);

    connect(cboTyp, &QComboBox::currentIndexChanged, this, [this] { cboTyp_Change(); });
    connect(cmdPfad, &QToolButton::clicked, this, [this] { cmdPfad_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

clsEmulator* frmEditEmu::Emulator(const QString& key) const
{
    EmulatorPtr* emu = ActEmuCol ? ActEmuCol->item(key) : nullptr;
    return emu ? emu->get() : nullptr;
}

void frmEditEmu::Form_Load()
{
    LoadFormPos(this);
    for (const auto& entry : *ActEmuCol)
        if (cboPath->findText(entry.value->Path, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            cboPath->addItem(entry.value->Path);

    int type = kEmulAltirra;
    if (const clsEmulator* emu = Emulator(Key)) {
        type = emu->EmulType;
        loadedName_ = emu->Name;
        txtName->setText(loadedName_);
        loadedPath_ = emu->Path;
        SelectPath(loadedPath_);
        if (Copy) Key.clear();
    } else {
        // A new emulator starts with an empty path, not the list's first entry.
        Key.clear();
        cboPath->setCurrentIndex(-1);
    }

    {
        const QSignalBlocker block(cboTyp);
        for (int t = 0; t < gaEmulTypeName.size(); ++t) cboTyp->addItem(gaEmulTypeName.at(t), t);
        cboTyp->setCurrentIndex(cboTyp->findData(type));
    }
    if (Key.isEmpty()) {
        setWindowTitle(QStringLiteral("Neuer Emulator"));
        loadedName_.clear();
        loadedPath_.clear();
    }
    cboTyp_Change();
    TranslateForm(this, true, false);
    loaded_ = true;
    Changed = false;
}

void frmEditEmu::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        SaveFormPos(this);
        ResetLangContext();
    }
    QDialog::done(result);
}

void frmEditEmu::cboTyp_Change()
{
    // Default profiles exist only for a brand-new emulator.
    chkDefault->setVisible(!Copy && Key.isEmpty() && ActProfilCol);
}

void frmEditEmu::SelectPath(const QString& path)
{
    SelectComboText(cboPath, path);
}

void frmEditEmu::cmdPfad_Click()
{
    // Linux programs carry no extension, so every file is offered.
    const QString path = ShowOpenDialog(QStringLiteral("Atari-Emulator auswählen"),
                                        QStringLiteral("Atari-Emulator|*.*"), cboPath->currentText());
    if (!path.isEmpty()) SelectPath(path);
}

int frmEditEmu::NextEmulatorNumber() const
{
    int highest = 0;
    for (const auto& entry : *ActEmuCol) highest = std::max(highest, entry.value->Key.toInt());
    return highest + 1;
}

void frmEditEmu::cmdOk_Click()
{
    const QString name = txtName->text();
    if (name.isEmpty()) {
        MsgBox(Translate(QStringLiteral("Bitte geben Sie einen Emulator an!")), vbInformation, {}, this);
        txtName->setFocus();
        return;
    }
    bool store = false;
    if (name != loadedName_) {
        for (const auto& entry : *ActEmuCol) {
            if (entry.value->Name == name) {
                MsgBox(Translate(QStringLiteral("Dieser Name besteht schon!")), vbInformation, {}, this);
                txtName->setFocus();
                return;
            }
        }
        store = true;
    }
    const QString path = cboPath->currentText();
    // A bare program name counts when it is found on the PATH, as the start looks for it there.
    if (path.isEmpty() || (path != loadedPath_ && !QFileInfo::exists(ResolveProgram(path)))) {
        MsgBox(Translate(QStringLiteral("Ungültiger Emulator-Pfad: ")) + path, vbInformation, {}, this);
        return;
    }
    if (path != loadedPath_) store = true;

    const int type = cboTyp->currentData().toInt();
    if (store) {
        if (Key.isEmpty()) {
            const int number = NextEmulatorNumber();
            if (!chkDefault->isHidden() && chkDefault->isChecked())
                CreateDefaultEmulator(number, type, *ActEmuCol, *ActProfilCol, false);
            else
                AddEmulator(number, type, name, path, *ActEmuCol, true);
            Key = QString::number(number);
        }
        clsEmulator* emu = Emulator(Key);
        emu->Name = name;
        emu->Path = path;
        Changed = true;
    }
    if (clsEmulator* emu = Emulator(Key); emu && emu->EmulType != type) {
        emu->EmulType = type;
        Changed = true;
    }
    accept();
}

QString EditEmulator(EmulatorCollection& emulators, ProfilCollection* profils, const QString& key,
                     bool asCopy, QWidget* owner, const ShowModalFn& show)
{
    frmEditEmu form(owner);
    form.ActEmuCol = &emulators;
    form.ActProfilCol = profils;
    form.Key = key;
    form.Copy = asCopy;
    form.Form_Load();
    RunModal(form, show);
    return form.Changed ? form.Key : QString();
}

} // namespace tv
