#include "frmeditparams.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/editorhelpers.h"
#include "catalogue/emulators/frmparameter.h"
#include "catalogue/emulators/modoptions.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace tv {

frmEditParams::frmEditParams(QWidget* parent)
    : QDialog(parent),
      PickParameterFn(PickParameter),
      lblProfil(new QLabel(this)),
      cboParam(new QComboBox(this)),
      cmdParam(new QToolButton(this)),
      lblExtras(new QLabel(this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("frmEditParams"));
    setWindowTitle(QStringLiteral("Parameter"));
    cboParam->setEditable(true);
    cboParam->setInsertPolicy(QComboBox::NoInsert);
    ReturnTakesCompletion(cboParam);
    cboParam->setMinimumWidth(320);
    cmdParam->setText(QStringLiteral("..."));
    cmdParam->setToolTip(QStringLiteral("Parameter"));
    lblExtras->setWordWrap(true);
    cmdOk->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Profil:"), this), 0, 0);
    grid->addWidget(lblProfil, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Parameter:"), this), 1, 0);
    grid->addWidget(cboParam, 1, 1);
    grid->addWidget(cmdParam, 1, 2);
    grid->addWidget(lblExtras, 2, 1, 1, 2);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    grid->addLayout(buttons, 3, 0, 1, 3);

    connect(cmdParam, &QToolButton::clicked, this, [this] { cmdParam_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

clsProfil* frmEditParams::Profil() const
{
    ProfilPtr* profil = ActProfilCol ? ActProfilCol->item(ActProfilKey) : nullptr;
    return profil ? profil->get() : nullptr;
}

bool frmEditParams::SaveParam(const QString& text)
{
    clsProfil* profil = Profil();
    if (!profil) return false;
    OptionTable list = ParseOptions(profil->Options);
    const bool emptyList = list.size() == 1 && list[0].Flag == kOptionEmptyMark;
    int position = -1;
    if (!emptyList) {
        for (int i = 0; i < int(list.size()); ++i) {
            if (list[size_t(i)].Text == text) {
                MsgBox(Translate(QStringLiteral("Dieser Parameter besteht schon!")), vbInformation, {}, this);
                return false;
            }
            if (position < 0 && !Parameter.isEmpty() && list[size_t(i)].Text == Parameter) position = i;
        }
    }
    // An entry to change that is no longer in the list is added rather than written over
    // the first entry.
    if (Parameter.isEmpty() || Copy || position < 0) {
        if (emptyList) {
            position = 0;
        } else {
            list.push_back({});
            position = int(list.size()) - 1;
        }
        list[size_t(position)].Flag = QStringLiteral("1");
    }
    list[size_t(position)].Text = text;
    QString options, error;
    if (!JoinOptions(list, options, &error)) {
        MsgBox(error, vbInformation, {}, this);
        return false;
    }
    profil->Options = options;
    Parameter = text;
    Changed = true;
    return true;
}

void frmEditParams::SelectParam(const QString& text)
{
    SelectComboText(cboParam, text);
}

void frmEditParams::Form_Load()
{
    LoadFormPos(this);
    const clsProfil* edited = Profil();
    const QString emulKey = edited ? edited->EmulKey : QString();
    for (const auto& entry : *ActProfilCol) {
        if (entry.value->EmulKey != emulKey) continue;
        const OptionTable list = ParseOptions(entry.value->Options);
        for (const OptionEntry& option : list) {
            if (option.Flag == kOptionEmptyMark || option.Text.isEmpty()) continue;
            if (cboParam->findText(option.Text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
                cboParam->addItem(option.Text);
        }
    }
    lblProfil->setText(GetProfilName(*ActEmulCol, *ActProfilCol, ActProfilKey));
    SelectParam(QStringLiteral("\"<$filepath$>\""));
    SelectParam(QStringLiteral("<$input$>"));
    if (!Parameter.isEmpty()) {
        SelectParam(Parameter);
        if (Copy) Parameter.clear();
    } else {
        cboParam->setCurrentIndex(-1);
        cboParam->setEditText(QString());
    }
    if (Parameter.isEmpty()) setWindowTitle(QStringLiteral("Neuer Parameter"));
    lblExtras->setText(Translate(QStringLiteral("Folgende Parameter stehen zur Verfügung:"))
                       + QStringLiteral("\r\n\r\n<$filepath$> = ") + Translate(QStringLiteral("Dateipfad"))
                       + QStringLiteral("\r\n<$input$> = ") + Translate(QStringLiteral("Eingabe beim Start")));
    // The help text is built here; translating the window must leave it alone.
    lblExtras->setProperty("Tag", QStringLiteral("-"));
    TranslateForm(this, true, false);
    loaded_ = true;
    Changed = false;
}

void frmEditParams::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        SaveFormPos(this);
        ResetLangContext();
    }
    QDialog::done(result);
}

void frmEditParams::cmdParam_Click()
{
    const QString chosen = PickParameterFn ? PickParameterFn(this) : QString();
    if (!chosen.isEmpty()) cboParam->setEditText(chosen);
}

void frmEditParams::cmdOk_Click()
{
    const QString text = cboParam->currentText();
    if (text.isEmpty()) {
        MsgBox(Translate(QStringLiteral("Bitte geben Sie einen Parameter an!")), vbInformation, {}, this);
        cboParam->setFocus();
        return;
    }
    if (text != Parameter && !SaveParam(text)) {
        cboParam->setFocus();
        return;
    }
    accept();
}

} // namespace tv
