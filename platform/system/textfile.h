#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// Turns the bytes of a settings, translation or parameter file into text: UTF-8 when the
// bytes are valid UTF-8 (leading byte-order marks are dropped), else Windows-1252, the code
// page in which files written on the old platform arrive.
QString DecodeText(const QByteArray& bytes);

// Reads a whole text file through DecodeText. Returns false (and the reason in `error`)
// when the file cannot be read.
bool ReadTextFile(const QString& path, QString& text, QString* error = nullptr);

} // namespace tv
