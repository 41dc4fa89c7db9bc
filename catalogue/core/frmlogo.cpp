#include "frmlogo.h"

#include "modglobals.h"
#include "modlang.h"
#include "modmain.h"
#include "modsettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tv {

namespace {
QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
} // namespace

frmLogo::frmLogo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogo"));
    setWindowTitle(kAppTitle);
    auto* image = label(QStringLiteral("Image1"), QString(), this);
    image->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto* lblAbout = label(QStringLiteral("lblAbout"), QStringLiteral("Info über Tovarin:"), this);
    QFont heading = lblAbout->font();
    heading.setBold(true);
    lblAbout->setFont(heading);
    auto* lblCredit1 = label(QStringLiteral("lblCredit1"), QStringLiteral("Katalog für Atari-8-Bit-Software"), this);
    auto* lblCredit2 = label(QStringLiteral("lblCredit2"), QStringLiteral("Listen und Bäume: Vantile"), this);
    auto* lblPrg = label(QStringLiteral("lblPrg"), QStringLiteral("Programmpfad:"), this);
    auto* lblDB = label(QStringLiteral("lblDB"), QStringLiteral("Datenbankpfad:"), this);
    txtPrg = new QLineEdit(this);
    txtPrg->setObjectName(QStringLiteral("txtPrg"));
    txtPrg->setReadOnly(true);
    txtPfad = new QLineEdit(this);
    txtPfad->setObjectName(QStringLiteral("txtPfad"));
    txtPfad->setReadOnly(true);
    auto* command1 = new QPushButton(QStringLiteral("OK"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(image, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblAbout, 0, 1);
    grid->addWidget(lblCredit1, 1, 1);
    grid->addWidget(lblCredit2, 2, 1);
    grid->addWidget(lblPrg, 3, 0, 1, 2);
    grid->addWidget(txtPrg, 4, 0, 1, 2);
    grid->addWidget(lblDB, 5, 0, 1, 2);
    grid->addWidget(txtPfad, 6, 0, 1, 2);
    grid->addWidget(command1, 7, 1, Qt::AlignRight);
    resize(440, 260);
}

void frmLogo::setVisible(bool visible)
{
    if (visible && !loaded_) {
        loaded_ = true;
        LoadFormPos(this);
        txtPrg->setText(gtAppPath);
        txtPfad->setText(gtDBPath);
        setWindowTitle(kAppTitle + QLatin1Char(' ') + gtVersion);
        TranslateForm(this, false, false);
    }
    QDialog::setVisible(visible);
}

void frmLogo::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        ResetLangContext();
    }
    QDialog::done(result);
}

} // namespace tv
