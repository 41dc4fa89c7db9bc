#include "msgbox.h"

#include <QMessageBox>

namespace tv {

namespace {
MsgBoxHook& hookRef()
{
    static MsgBoxHook hook;
    return hook;
}
} // namespace

void SetMsgBoxHook(MsgBoxHook hook) { hookRef() = std::move(hook); }

int MsgBox(const QString& prompt, int style, const QString& title, QWidget* owner)
{
    const QString caption = title.isEmpty() ? QStringLiteral("Tovarin") : title;
    if (hookRef())
        return hookRef()(prompt, style, caption);

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(prompt);
    switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { QMessageBox::StandardButton sb; int result; };
    std::vector<B> buttons;
    switch (style & 0x7) {
    case vbOKCancel: buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo: buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: buttons = {{QMessageBox::Ok, vbOK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const auto& b : buttons) all |= b.sb;
    box.setStandardButtons(all);
    const int def = (style & vbDefaultButton2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[size_t(def)].sb);
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const auto& b : buttons)
        if (b.sb == clicked) return b.result;
    // Closed with Escape or the title bar: Cancel where offered, else the only button.
    return buttons.size() == 1 ? buttons[0].result : vbCancel;
}

} // namespace tv
