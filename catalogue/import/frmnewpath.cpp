#include "frmnewpath.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace tv {

frmNewPath::frmNewPath(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewPath"));
    setWindowTitle(QStringLiteral("Neuer Dateipfad"));
    const auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setMinimumWidth(360);
        ReturnTakesCompletion(c);
        return c;
    };
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    Label2 = new QLabel(QStringLiteral("Neuer Dateipfad:"), this);
    Label3 = new QLabel(QStringLiteral("Alter Dateipfad (optional):"), this);
    cboNewPath = combo("cboNewPath");
    cboOldPath = combo("cboOldPath");
    // The old folder is matched as typed: completing "/games" into an offered "/games/atari"
    // would re-point only that subfolder, and Return must not make the typed text an offer.
    cboOldPath->setCompleter(nullptr);
    cboOldPath->setInsertPolicy(QComboBox::NoInsert);
    cmdDest = button("cmdDest", QString());
    cmdSource = button("cmdSource", QString());
    for (QPushButton* b : {cmdDest, cmdSource}) {
        b->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        b->setToolTip(QStringLiteral("Datenbankpfad"));
    }
    cmdOK = button("cmdOK", QStringLiteral("OK"));
    cmdCancel = button("cmdCancel", QStringLiteral("Abbrechen"));
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label2, 0, 0, 1, 2);
    grid->addWidget(cboNewPath, 1, 0);
    grid->addWidget(cmdDest, 1, 1);
    grid->addWidget(Label3, 2, 0, 1, 2);
    grid->addWidget(cboOldPath, 3, 0);
    grid->addWidget(cmdSource, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(cmdOK, &QPushButton::clicked, this, &frmNewPath::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdDest, &QPushButton::clicked, this, [this] { Browse(cboNewPath, gtDialogPath); });
    connect(cmdSource, &QPushButton::clicked, this, [this] { Browse(cboOldPath, QString()); });
}

void frmNewPath::Form_Load()
{
    LoadFormPos(this);
    cboOldPath->clear();
    cboNewPath->clear();
    cboOldPath->addItems(OldFolders);
    cboNewPath->addItems(ActFolders);
    cboOldPath->setEditText(QString());
    cboNewPath->setEditText(QString());
    TranslateForm(this, true, false);
    loaded_ = true;
}

void frmNewPath::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        ResetLangContext();
        SaveFormPos(this);
    }
    QDialog::done(result);
}

int frmNewPath::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmNewPath::Browse(QComboBox* target, const QString& startFolder)
{
    const QString folder = BrowseFolder(this, startFolder);
    if (!folder.isEmpty()) target->setEditText(folder);
}

void frmNewPath::cmdOK_Click()
{
    const QString oldText = cboOldPath->currentText();
    if (!oldText.isEmpty()) {
        bool offered = false;
        for (int i = 0; i < cboOldPath->count() && !offered; ++i)
            offered = cboOldPath->itemText(i).contains(oldText, Qt::CaseSensitive);
        if (!offered) {
            MsgBox(Translate(QStringLiteral("Ungültiger Dateipfad: ")) + oldText, vbExclamation, QString(), this);
            cboOldPath->setFocus();
            return;
        }
    }
    const QString newText = cboNewPath->currentText();
    if (newText.isEmpty() || !QFileInfo(newText).isDir()) {
        MsgBox(Translate(QStringLiteral("Bitte wählen Sie einen Ordner aus")), vbExclamation, QString(), this);
        cboNewPath->setFocus();
        return;
    }
    NewPath = newText;
    OldPath = oldText;
    Action = kActionOK;
    accept();
}

} // namespace tv
