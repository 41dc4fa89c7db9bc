#pragma once

#include <QString>

namespace tv {

// What a file offered as a catalogue is, told from its first bytes before any key is tried.
enum class DbFileKind {
    MayBeCatalogue,   // a plain SQLite file, or one that looks encrypted, or one not readable here
    Access,           // a Jet or ACE (Access) database: a format this program cannot open
    Other,            // anything else: no key or password can make it a catalogue
};

// An encrypted catalogue cannot be told from noise, so the test is what it is not: it starts
// with the Access signature ("Standard Jet DB" / "Standard ACE DB" at offset 4), or its first
// 512 bytes (no more than the first page) are far from evenly spread (text, zeros, the
// structure of another format), which encrypted pages never are. Its length decides nothing here: a catalogue cut short by a few
// bytes is damaged, not of another kind, and only opening it tells whether it can be read.
DbFileKind ProbeDbFile(const QString& path);

// A database is made of whole pages of at least 512 bytes: a file of another length was cut
// short (or is no database at all).
bool IsWholePages(const QString& path);

} // namespace tv
