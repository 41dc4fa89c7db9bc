#include "frmcategory.h"

#include "modcategory.h"
#include "catalogue/core/formlayout.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace tv {

frmCategory::frmCategory(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCategory"));
    setWindowTitle(QStringLiteral("Datei-Eigenschaften"));
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(QStringLiteral("Kategorie:"), Frame1);
    Label2 = new QLabel(QStringLiteral("Anzahl Dateien: "), Frame1);
    lblCount = new QLabel(Frame1);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    cboCategory = new QComboBox(Frame1);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    cboCategory->setEditable(true);
    cboCategory->setInsertPolicy(QComboBox::NoInsert);
    cboCategory->setMinimumWidth(240);
    MakeOkCancelButtons(this, cmdOk, cmdCancel);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cboCategory, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(lblCount, 1, 1);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    ReturnTakesCompletion(cboCategory);
    connect(cmdOk, &QPushButton::clicked, this, &frmCategory::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QList<qint32> frmCategory::Selection() const { return SelectedFileIDs ? SelectedFileIDs() : QList<qint32>(); }

void frmCategory::Form_Load()
{
    LoadFormPos(this);
    mtClearEntry = QLatin1Char('<') + Translate(QStringLiteral("Löschen")) + QLatin1Char('>');
    cboCategory->clear();
    cboCategory->addItem(mtClearEntry, 0);
    FillCategories();
    cboCategory->setCurrentIndex(-1);
    cboCategory->setEditText(QString());
    lblCount->setText(QString::number(Selection().size()));
    TranslateForm(this, true, false);
    Changed = false;
    mbLoaded = true;
}

void frmCategory::FillCategories()
{
    const auto rs = goDB ? goDB->OpenRecordset(QStringLiteral("Select ID,tCategory From Category order by tCategory"),
                                               dbOpenSnapshot, dbForwardOnly)
                         : nullptr;
    if (!rs) return;
    for (; !rs->IsEOF(); rs->MoveNext())
        cboCategory->addItem(rs->Value(QStringLiteral("tCategory")).text(), rs->Value(QStringLiteral("ID")).toLong());
    rs->Close();
}

int frmCategory::exec()
{
    Form_Load();
    return QDialog::exec();
}

void frmCategory::done(int result)
{
    if (mbLoaded) {
        mbLoaded = false;
        SaveFormPos(this);
        ResetLangContext();
    }
    QDialog::done(result);
}

void frmCategory::cmdOk_Click()
{
    const QString text = cboCategory->currentText();
    if (text.isEmpty()) {
        reject();
        return;
    }
    // A list entry counts as chosen only while the text still is its text; anything else was typed.
    const int index = cboCategory->currentIndex();
    const bool chosen = index >= 0 && cboCategory->itemText(index) == text;
    DbError err;
    qint32 category = 0;
    if (!chosen)
        category = GetCategoryID(text, &err);
    else if (text != mtClearEntry)
        category = cboCategory->itemData(index).toInt();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (!err) {
        const QString value = category == 0 ? QStringLiteral("Null") : QString::number(category);
        for (const qint32 id : Selection()) {
            err = goDB ? goDB->Execute(QStringLiteral("Update MainFiles Set Category_ID = ") + value +
                                       QStringLiteral(" where ID=") + QString::number(id))
                       : MakeDbError(dbErrObjectClosed);
            if (err) break;
            lblCount->setText(QString::number(lblCount->text().toInt() - 1));
            lblCount->repaint();
        }
    }
    // Rows written before a failure stay, so the caller refreshes its list in any case.
    if (err)
        MsgBox(FailureText(QStringLiteral("Fehler beim Speichern der Kategorie: "), err.description), vbCritical,
               QString(), this);
    Changed = true;
    accept();
}

} // namespace tv
