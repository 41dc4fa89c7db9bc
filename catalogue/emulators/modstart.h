#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace tv {

class clsFileInfo;

// Starts one catalogued file and records the start: text files in the configured viewer
// (the desktop's default program when none is set), PDF files and pictures with the
// desktop's default program, every other type in the emulator of a start profile with the
// command line built from the profile's options and the file's own settings.
//
// `fileID` 0 does nothing; a negative ID is used as its absolute value. `profilKey` "" lets
// the start choose (the per-type default, else the default profile) and receives the
// choice. `file` may be null: it is then read from the catalogue and handed back. The
// record keeps its own Path (for a file inside an archive, the archive's): the start works
// on the extracted copy without changing the record. Returns the text for the status bar,
// "" when nothing was started. A second call while one runs (from a message box or the
// input box) returns "" at once.
QString StartFile(int32_t fileID, QString& profilKey, std::shared_ptr<clsFileInfo>& file);

} // namespace tv
