#include "editorhelpers.h"

#include "catalogue/core/modlang.h"
#include "platform/runtime/textorder.h"

#include <QComboBox>
#include <QDialog>

namespace tv {

void RunModal(QDialog& dialog, const ShowModalFn& show)
{
    if (show)
        show(dialog);
    else
        dialog.exec();
}

void SelectComboText(QComboBox* box, const QString& text)
{
    int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0) {
        box->addItem(text);
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
    box->setEditText(text);
}

QString EmulatorsRootText()
{
    QString text = Translate(QStringLiteral("Emulatoren"));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

bool CaptionItem::operator<(const QTreeWidgetItem& other) const
{
    return CompareText(text(0), other.text(0)) < 0;
}

} // namespace tv
