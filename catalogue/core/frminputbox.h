#pragma once

#include <QString>
#include <functional>

namespace tv {

// Asks the user for one line of text. Returns the confirmed text, empty text on Cancel,
// and the default text when the window was closed another way. Prompt and title are shown
// as given: callers translate them first.
QString InputText(const QString& prompt, const QString& title, const QString& defaultText = QString());

// Tests answer the input box through this hook instead of showing it.
using InputTextHook = std::function<QString(const QString& prompt, const QString& title,
                                            const QString& defaultText)>;
void SetInputTextHook(InputTextHook hook);

} // namespace tv
