#pragma once

// The program's pictures: small SVG drawings of its own, compiled into the program
// (resources under ":/images/"), rendered at the size a list or a toolbar shows them.
// The image lists made here are owned by the main window, which lends them to the panes,
// lists, tree and the job, file and selection windows.

#include <QIcon>
#include <QImage>
#include <QString>
#include <memory>

namespace tv {

class ImageList;

// Numbers of the main image list that stored data and SQL texts name. Stored values: never
// renumber. Image n of 1 to 11 and 18 to 20 is the picture of file type code n.
enum MainImage : int {
    imgFirstFileType = 1,    // "ATR" .. "XEX": file type codes 1 to 11
    imgMainFiles = 12,       // "MAINFILES": the files view
    imgNewFiles = 13,        // "NEWFILES": the new-files view
    imgFilter = 14,          // "FILTER": a selection of several kinds of file
    imgFilterOff = 15,       // "OFF": no selection
    imgFiles = 16,           // "FILES": the root of the file-type tree
    imgText = 18,            // "TXT", "PDF", "GFX": file type codes 18 to 20
    imgPdf = 19,
    imgPicture = 20,
    imgCategory = 22,        // "CATEGORIES": the categories view, its root and category nodes
    imgHistory = 23,         // "LAST": the history view and its root
    imgArchive = 27,         // "ZIP": a file inside an archive
    imgStartDay = 29,        // "DAY": a day of the history tree
};

// Picture `name` (the SVG file name without ".svg") drawn at size x size on a transparent
// ground; a null image when the program has no such picture.
QImage RenderImage(const QString& name, int size);

// The main image list (16 x 16): the numbers above with their keys; numbers not listed hold
// an empty picture without a key, so that every number up to the last is an image.
std::shared_ptr<ImageList> MakeMainImages();

// The toolbar's images (24 x 24), keyed "tb_NewDB", "tb_OpenDB", "tb_AddFile", "tb_AddDir",
// "tb_View", "tb_Start", "tb_Edit", "tb_Del", "tb_Options", "tb_Exit".
std::shared_ptr<ImageList> MakeToolbarImages();

// The program's own picture, for the title bars and the desktop's task list.
QIcon ProgramIcon();

// The image of `key` as an icon; a null icon when the list has no such key.
QIcon ImageIcon(const ImageList& list, const QString& key);

} // namespace tv
