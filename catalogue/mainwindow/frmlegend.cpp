#include "frmlegend.h"

#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tv {

const QList<QPair<QString, QString>>& CompareSymbols()
{
    static const QList<QPair<QString, QString>> symbols = {
        {QStringLiteral("X"), QStringLiteral("keine Bedingung")},
        {QStringLiteral(">"), QStringLiteral("beginnt mit / größer als")},
        {QStringLiteral("<"), QStringLiteral("endet mit / kleiner als")},
        {QStringLiteral("<>"), QStringLiteral("ist nicht gleich")},
        {QStringLiteral("="), QStringLiteral("ist genau gleich")},
        {QStringLiteral("( )"), QStringLiteral("enthält")},
    };
    return symbols;
}

frmLegend::frmLegend(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLegend"));
    setWindowTitle(QStringLiteral("Info"));
    auto* grid = new QGridLayout(this);
    auto* heading = new QLabel(QStringLiteral("Durch Anklicken kann eine Vergleichsbedingung gewählt werden:"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    grid->addWidget(heading, 0, 0, 1, 2);
    int row = 1;
    for (const auto& [symbol, meaning] : CompareSymbols()) {
        auto* sym = new QLabel(symbol, this);
        sym->setObjectName(QStringLiteral("lblSymbol%1").arg(row));
        // The symbols are no words: they keep their text when the window is translated.
        sym->setProperty("Tag", symbol);
        sym->setStyleSheet(QStringLiteral("font-weight: bold; color: #0000c0"));
        auto* text = new QLabel(meaning, this);
        text->setObjectName(QStringLiteral("lblMeaning%1").arg(row));
        grid->addWidget(sym, row, 0);
        grid->addWidget(text, row, 1);
        ++row;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    grid->addWidget(ok, row, 1, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    LoadFormPos(this);
    TranslateForm(this, true, false);
}

void frmLegend::done(int result)
{
    ResetLangContext();
    SaveFormPos(this);
    QDialog::done(result);
}

namespace {
LegendHook gLegendHook;
}

void SetLegendHook(LegendHook hook) { gLegendHook = std::move(hook); }

void ShowLegend(QWidget* owner)
{
    if (gLegendHook) {
        gLegendHook();
        return;
    }
    frmLegend legend(owner);
    legend.exec();
}

} // namespace tv
