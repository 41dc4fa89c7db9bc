#pragma once

#include <QString>

namespace tv {

// Returns the translation of a German source text, with "@1" replaced by `parameter`.
// Without a translation file the German text itself comes back (with "@1" replaced).
QString Translate(const QString& text, const QString& parameter = QString());

} // namespace tv
