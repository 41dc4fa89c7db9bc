#include "frmnewpath.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace tv {

namespace {

frmNewPath::BrowseHook& browseHook()
{
    static frmNewPath::BrowseHook hook;
    return hook;
}

} // namespace

void frmNewPath::SetBrowseHook(BrowseHook hook) { browseHook() = std::move(hook); }

frmNewPath::frmNewPath(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewPath"));
    setWindowTitle(Translate(QStringLiteral("Neuer Dateipfad")));
    const auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setMinimumWidth(360);
        return c;
    };
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    Label2 = new QLabel(Translate(QStringLiteral("Neuer Dateipfad")) + QLatin1Char(':'), this);
    Label3 = new QLabel(Translate(QStringLiteral("Alter Dateipfad (optional)")) + QLatin1Char(':'), this);
    cboNewPath = combo("cboNewPath");
    cboOldPath = combo("cboOldPath");
    cmdDest = button("cmdDest", QString());
    cmdSource = button("cmdSource", QString());
    for (QPushButton* b : {cmdDest, cmdSource}) {
        b->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        b->setToolTip(Translate(QStringLiteral("Datenbankpfad")));
    }
    cmdOK = button("cmdOK", Translate(QStringLiteral("OK")));
    cmdCancel = button("cmdCancel", Translate(QStringLiteral("Abbrechen")));
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
    cboOldPath->clear();
    cboNewPath->clear();
    cboOldPath->addItems(OldFolders);
    cboNewPath->addItems(ActFolders);
    cboOldPath->setEditText(QString());
    cboNewPath->setEditText(QString());
}

int frmNewPath::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmNewPath::Browse(QComboBox* target, const QString& startFolder)
{
    const QString folder = browseHook() ? browseHook()(startFolder)
                                        : QFileDialog::getExistingDirectory(this, QString(), startFolder);
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
