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

QWidget* FirstTabStop(QWidget* window, QWidget* container)
{
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (container->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(container) && (w->focusPolicy() & Qt::TabFocus))
            return w;
    return nullptr;
}

} // namespace tv
