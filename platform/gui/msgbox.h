#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv {

// Button and icon flags of a message box, as the callers combine them (values are the
// system's own: 64 information, 16 stop, 48 exclamation, 4 Yes/No ...).
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};

// The button that closed a message box.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Shows a modal message box; an empty title gives the program's title "Tovarin".
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString(),
           QWidget* owner = nullptr);

// Tests (and a headless run) answer message boxes through this hook instead of showing
// them. The hook gets prompt, style and the resolved title and returns the button.
using MsgBoxHook = std::function<int(const QString& prompt, int style, const QString& title)>;
void SetMsgBoxHook(MsgBoxHook hook);

} // namespace tv
