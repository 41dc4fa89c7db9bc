#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;

// The shared vocabulary of a file's start settings: the main window's lists, the
// file-details window and the start of a file all read it, so it lives below all three.

namespace tv {

class Recordset;

// Per-file start settings as the catalogue stores them (MainFiles.iBasic, iModel, iOS,
// iVideo). 0 or Null means "not set". Stored values: never renumber.
//   iBasic 1 "Nein", 2 "Ja" (translated)
//   iModel 1 "400/800", 2 "600XL/800XL", 3 "65XE/130XE", 4 "1200XL", 5 "5200"
//   iOS    1 "OS-A", 2 "OS-B", 3 "OS-XL", 4 "OS 1200", 5 "OS 5200", 6 "Auto"
//   iVideo 1 "NTSC", 2 "PAL"
QString BasicText(int32_t code);
QString ModelText(int32_t code);
QString OSText(int32_t code);
QString VideoText(int32_t code);

// Append the codes of a table to a combo box (text = display text, item data = code) and
// select the item of `select`; items already in the box are kept.
void FillBasicCombo(QComboBox* box, int select);
void FillModelCombo(QComboBox* box, int select);
void FillOSCombo(QComboBox* box, int select);
void FillVideoCombo(QComboBox* box, int select);

// One catalogued file's location and start settings, read from a MainFiles row. Made new
// for each load and owned by whoever asked for it (the file-details window, one start).
class clsFileInfo {
public:
    QString File;         // file name with extension
    int16_t Filetyp = 0;  // file type code
    QString Path;         // full path; for a file inside an archive the outermost archive
    QString UnpackPath;   // member chain inside the archive, "" for a plain file
    int32_t iBasic = 0;
    int32_t iModel = 0;
    int32_t iOS = 0;
    int32_t iVideo = 0;
    QString Memo;
    QString Param;        // extra command-line text
};

// A new record from the row the recordset stands on; Null columns give "" and 0. The
// recordset is neither moved nor closed.
std::shared_ptr<clsFileInfo> LoadFileInfo(Recordset& rs);

// Number of the default start profile for an emulated extension (position in gaEmulExt,
// 0 to 10) and an emulator type; no value for type 0, another type or another position.
std::optional<int> DefaultProfilForFileType(int emulType, int position);

// "1023 Byte", "1,5 KB", "5,42 MB", "12,3 MB", "250 MB" (the program's German number format;
// "1.5 KB" with the decimal separator of a translated interface, see DecimalSeparator).
QString FormatFileSize(int32_t size);

} // namespace tv
