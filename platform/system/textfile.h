#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// The code page of bytes that are not valid UTF-8: Windows-1252, in which files written on the
// old platform arrive, or code page 437 of DOS text (.NFO and .DIZ files with their block and
// box-drawing characters).
enum class TextCodePage { Windows1252, Dos437 };

// Turns the bytes of a settings, translation, parameter or text file into text: UTF-8 when the
// bytes are valid UTF-8 (leading byte-order marks are dropped), else the `fallback` code page.
QString DecodeText(const QByteArray& bytes, TextCodePage fallback = TextCodePage::Windows1252);

// Reads a whole text file through DecodeText. Returns false (and the reason in `error`)
// when the file cannot be read.
bool ReadTextFile(const QString& path, QString& text, QString* error = nullptr);

} // namespace tv
