#include "frmsearch.h"

#include "simplereport.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "platform/db/database.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

namespace {

struct Message {
    const char* text;
    int style;
};
const Message kMessages[] = {
    {"Es wurde kein gültiger Suchbegriff eingegeben!", vbOKOnly | vbExclamation},
    {"In der aktuellen Listenansicht sind keine Elemente vorhanden!", vbOKOnly | vbExclamation},
    {"Keine weiteren Einträge gefunden. Am Anfang der Liste weitersuchen?", vbYesNoCancel | vbQuestion},
    {"Keine weiteren Einträge gefunden!", vbOKOnly | vbInformation},
};

} // namespace

frmSearch::frmSearch(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Suchen"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Suchbegriff:"), this), 0, 0);
    edSearch = new QLineEdit(this);
    grid->addWidget(edSearch, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Spalte:"), this), 1, 0);
    cboFields = new QComboBox(this);
    grid->addWidget(cboFields, 1, 1);
    auto* buttons = new QHBoxLayout;
    cmdSearch[0] = new QPushButton(QStringLiteral("Suchen"), this);
    cmdSearch[1] = new QPushButton(QStringLiteral("Weitersuchen"), this);
    cmdCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    for (QPushButton* b : {cmdSearch[0], cmdSearch[1], cmdCancel}) buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0, 1, 2);
    cmdSearch[1]->hide();
    cmdSearch[0]->setDefault(true);

    connect(cmdSearch[0], &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdSearch[1], &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        unload();
        close();
        QCoreApplication::processEvents();
    });
    connect(edSearch, &QLineEdit::textChanged, this, [this] { resetSearch(); });
    connect(cboFields, &QComboBox::activated, this, [this] { resetSearch(); });
}

frmSearch::~frmSearch() { unload(); }

void frmSearch::Load()
{
    LoadFormPos(this);
    TranslateForm(this, true, false);
    ReInit();
    IsLoaded = true;
}

void frmSearch::unload()
{
    if (!IsLoaded) return;
    IsLoaded = false;
    ResetLangContext();
    SaveFormPos(this);
}

void frmSearch::closeEvent(QCloseEvent* e)
{
    unload();
    QDialog::closeEvent(e);
}

SimpleReport* frmSearch::client()
{
    SimpleReport* report = nullptr;
    GetClientCtrl.raise(report);
    if (!report)
        MsgBox(Translate(QStringLiteral("Interner Fehler: RaiseEvent fehlgeschlagen!")), vbExclamation, QStringLiteral("SimpleReport"));
    return report;
}

void frmSearch::ReInit()
{
    SimpleReport* report = client();
    if (!report) return;
    cboFields->clear();
    auto columns = report->Columns();
    for (int32_t i = 0; columns && i < columns->Count(); ++i) {
        auto column = columns->Item(Variant(i), true);
        if (!column || column->Hidden() != 0) continue;
        cboFields->addItem(column->Header(0)->Text, column->Index());
        if (column->Index() == report->SortColumn()) cboFields->setCurrentIndex(cboFields->count() - 1);
    }
    if (cboFields->currentIndex() < 0 && cboFields->count() > 0) cboFields->setCurrentIndex(0);
    resetSearch();
}

void frmSearch::resetSearch()
{
    lastFound_ = -1;
    cmdSearch[0]->show();
    cmdSearch[0]->setDefault(true);
    cmdSearch[1]->hide();
}

int frmSearch::message(int number)
{
    const QPushButton* titled = cmdSearch[0]->isHidden() ? cmdSearch[1] : cmdSearch[0];
    return LangMsgBox(QString::fromUtf8(kMessages[number].text), kMessages[number].style, titled->text());
}

void frmSearch::cmdSearch_Click()
{
    QString text = edSearch->text();
    if (text.trimmed().isEmpty()) {
        message(0);
        return;
    }
    SimpleReport* report = client();
    if (!report) return;
    if (report->ItemCount() == 0) {
        message(1);
        return;
    }
    if (report->MultiSelect()) report->ClearSelection();
    const int32_t field = cboFields->currentData().toInt();
    // Numbers and dates are compared as typed; a text anywhere in the value.
    const auto rs = report->RecordSet();
    const int type = rs && field < rs->FieldCount() ? rs->Fields(field).Type() : dbText;
    const bool textual = type == dbText || type == dbMemo;
    if (textual && !text.contains(QLatin1Char('*'))) text = QLatin1Char('*') + text + QLatin1Char('*');
    if (!report->Find(Variant(field), Variant(text), lastFound_)) {
        switch (message(2)) {
        case vbCancel:
            resetSearch();
            return;
        case vbYes:
            if (!report->Find(Variant(field), Variant(text), -1)) {
                message(3);
                return;
            }
            if (report->SelectedIndex() == lastFound_) {
                resetSearch();
                message(3);
                return;
            }
            break;
        default:
            unload();
            close();
            return;
        }
    }
    lastFound_ = report->SelectedIndex();
    cmdSearch[1]->show();
    cmdSearch[1]->setDefault(true);
    cmdSearch[0]->hide();
}

} // namespace tv
