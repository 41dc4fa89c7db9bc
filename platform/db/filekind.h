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
// with the Access signature ("Standard Jet DB" / "Standard ACE DB" at offset 4), or its length
// is no whole number of 512-byte pages, or its first bytes are far from evenly spread (text,
// zeros, the structure of another format), which encrypted pages never are.
DbFileKind ProbeDbFile(const QString& path);

} // namespace tv
