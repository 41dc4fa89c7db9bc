#pragma once

#include <QString>

namespace tv {

// The program's home page: the German page, or the English one while a language file is in use.
inline const QString kHomepageGerman = QStringLiteral("https://tovarin.example.org/de/");
inline const QString kHomepageEnglish = QStringLiteral("https://tovarin.example.org/en/");

inline QString HomepageAddress(bool languageFileInUse)
{
    return languageFileInUse ? kHomepageEnglish : kHomepageGerman;
}

} // namespace tv
