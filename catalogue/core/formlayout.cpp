#include "formlayout.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tv {

QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}

void MakeOkCancelButtons(QWidget* owner, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), owner);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Abbrechen"), owner);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
}

} // namespace tv
