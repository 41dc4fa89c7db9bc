#pragma once

#include <QStringView>

namespace tv {

// The order of the catalogue's texts, as German sorts them (DIN 5007, first form): a letter
// with a diacritic goes with its base letter ("Käferjagd" before "Kolonie", Ä with A), "ß"
// counts as "ss", and letter case is ignored. Texts alike in that first comparison are
// ordered base letter first ("Arger" before "Ärger", "Masse" before "Maße"); texts that
// differ only in letter case are equal (0), so comparing stays case-blind.
// The order is fixed, not taken from the environment: the catalogue's indexes are built in
// it and must stay valid on every start.
int CompareText(QStringView a, QStringView b);

// CompareText on UTF-8 texts (the database's collation); the ASCII letters before the first
// difference take a short way, and so does the rest while it is short.
int CompareTextUtf8(const char* a, int lengthA, const char* b, int lengthB);

// The UTF-16 units of the UTF-8 text `text` into `units` (room for `capacity`), as
// QString::fromUtf8 gives them, without a QString: false when the text is longer or is no
// valid UTF-8 (QString's replacements are left to QString), or holds a byte order mark.
bool Utf8ToUtf16(const char* text, int length, char16_t* units, int capacity, int* count);

} // namespace tv
