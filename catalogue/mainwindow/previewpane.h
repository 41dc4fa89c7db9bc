#pragma once

#include "platform/gui/picture.h"
#include "platform/system/textfile.h"

#include <QWidget>

class QLabel;
namespace vantile {
class ListView;
}

namespace tv {

// .NFO and .DIZ files: DOS text in code page 437, drawn with box and block characters.
bool IsDosText(const QString& path);

// The first lines of a text file for the preview (at most PreviewPane::kMaxTextLines, without
// their line ends), decoded as UTF-8 or else in `fallback`; `more` tells whether lines follow.
QStringList ReadPreviewLines(const QString& path, TextCodePage fallback, bool& more);

// The main window's preview of the selected catalogued file, below the lists: a picture for
// picture files (type 20), the first lines of a text file (type 18), and a one-row information
// grid (name, size, extension) for every other file. Archive members are extracted into the
// temporary folder first (through goFileManager). The main window keeps Active up to date
// and calls ShowPreview after every selection change.
class PreviewPane : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // False until the main window's first activation has run and while the preview is
    // switched off; ShowPreview does nothing then.
    bool Active = false;
    int FontSize = 9; // the "FontSize" setting, 6 to 20

    // Shows the file `fileId` (the INFO panel's tag: negative from the file list, 0 for none:
    // the pane is then emptied) of type `fileType`. The same file twice is shown once.
    void ShowPreview(qint32 fileId, int fileType);
    // Forgets the file shown and empties the grid and the picture (a catalogue was opened,
    // the language changed, nothing is selected).
    void ClearPreview();
    // Loads the picture at `path` (when given) and fits it into the frame: never enlarged,
    // centred horizontally, at the top.
    void FitPicture(const QString& path);
    void FillPreviewInfo(int fileType);

    // Controls, public for the host and the tests.
    QWidget* picGrafic;
    QLabel* imgGrafic;
    vantile::ListView* lvPreview;
    QLabel* lblPreview;

    // The ID of the file now shown, 0 for none.
    qint32 ShownId() const { return mShownId; }
    // The natural size of the loaded picture.
    QSize PictureSize() const { return mNatural; }

    // Lines of a text file shown at most.
    static constexpr int kMaxTextLines = 1000;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowMissing(const QString& path);
    void LayoutChildren();

    qint32 mShownId = 0;
    PicturePtr mPicture;
    QSize mNatural;
};

} // namespace tv
