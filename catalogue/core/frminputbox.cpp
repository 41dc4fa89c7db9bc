#include "frminputbox.h"

#include <QInputDialog>

namespace tv {

namespace {
InputTextHook& hookRef()
{
    static InputTextHook hook;
    return hook;
}
} // namespace

void SetInputTextHook(InputTextHook hook) { hookRef() = std::move(hook); }

QString InputText(const QString& prompt, const QString& title, const QString& defaultText)
{
    if (hookRef()) return hookRef()(prompt, title, defaultText);
    bool ok = false;
    QString s = QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? s : QString();
}

} // namespace tv
