#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tv {

class clsFileInfo;

// Asks the user for the value of an "<$input$>" placeholder; `prompt` is ready to show.
// An empty answer (a cancelled box too) drops the option that holds the placeholder.
using AskInputFn = std::function<QString(const QString& prompt)>;

struct StartParams {
    bool ok = true;
    QString params;   // the parameter text; begins with a blank when it holds anything
    QStringList arguments;   // the same, split into the emulator's arguments
    QString error;    // the message of a stop (a placeholder, or a file the emulator cannot take)
};

// Builds an emulator's parameter text from a profile's option string and a file's start
// settings, in this order:
//   1. each active option, its placeholders expanded: "<$filepath$>" (any case) becomes
//      the file's path, "<$input$>" the user's answer, asked once per spelling;
//   2. the BASIC, model, OS and video switches of the emulator type (Altirra skips a
//      switch that the profile holds already, active or not);
//   3. what the file's type needs of the emulator beyond the profile (Atari++: its own
//      BASIC for a .BAS program, the kind of a cartridge; a .PRO image it cannot read
//      stops the start with a message);
//   4. the file's extra parameters.
// "@FILEPATH@" anywhere in the text, the extra parameters included, becomes `filePath`.
// A typed value is inserted as it stands: the scan for placeholders goes on behind it.
// `params` shows the path as it is; in `arguments` a path holding double quotes (a legal
// Linux file name) still arrives as the one argument its option's quotes make of it.
// `fileSize` is the size of the file in bytes (-1 when unknown).
StartParams BuildStartParams(const QString& options, int emulType, const clsFileInfo& file,
                             const QString& filePath, const AskInputFn& askInput, qint64 fileSize = -1);

} // namespace tv
