#include "formlayout.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

namespace {

// Lives with its box; the box holds the focus for its text field and hands the keys on to it,
// so the keys are seen here first.
class CompletionOnReturn : public QObject {
public:
    explicit CompletionOnReturn(QComboBox* box) : QObject(box), box_(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && box_->lineEdit()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                // The completed name is the text already; without its selection the text field
                // leaves the key to the window.
                box_->lineEdit()->deselect();
                box_->lineEdit()->end(false);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox* box_;
};

} // namespace

void ReturnTakesCompletion(QComboBox* box)
{
    if (box) new CompletionOnReturn(box);
}

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
