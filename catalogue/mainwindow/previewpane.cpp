#include "previewpane.h"

#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modlang.h"
#include "catalogue/import/clsfilemanager.h"
#include "controls/grid/listview.h"
#include "platform/gui/modfont.h"
#include "platform/system/textfile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <cmath>

namespace tv {

namespace {
constexpr int kTextType = 18;
constexpr int kPictureType = 20;

// Widths round to the nearest whole pixel, halves to even.
int32_t Width(double w) { return int32_t(std::rint(w)); }
} // namespace

bool IsDosText(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("NFO"), Qt::CaseInsensitive) == 0
           || suffix.compare(QLatin1String("DIZ"), Qt::CaseInsensitive) == 0;
}

QStringList ReadPreviewLines(const QString& path, TextCodePage fallback, bool& more)
{
    more = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes;
    int count = 0;
    while (!file.atEnd() && count < PreviewPane::kMaxTextLines) {
        bytes += file.readLine();
        ++count;
    }
    more = !file.atEnd();
    if (bytes.isEmpty()) return {};
    // The code page is chosen for the lines together: a line of plain ASCII says nothing.
    QStringList lines = DecodeText(bytes, fallback).split(QLatin1Char('\n'));
    if (bytes.endsWith('\n')) lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return lines;
}

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewPane"));
    picGrafic = new QWidget(this);
    picGrafic->setObjectName(QStringLiteral("picGrafic"));
    imgGrafic = new QLabel(picGrafic);
    imgGrafic->setObjectName(QStringLiteral("imgGrafic"));
    lvPreview = new vantile::ListView(this);
    lvPreview->setObjectName(QStringLiteral("lvPreview"));
    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setWordWrap(true);
    lblPreview->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    picGrafic->hide();
    lblPreview->hide();
    LayoutChildren();
}

void PreviewPane::LayoutChildren()
{
    const QRect r = rect();
    picGrafic->setGeometry(r);
    lvPreview->setGeometry(r);
    lblPreview->setGeometry(r.adjusted(4, 4, -4, -4));
}

void PreviewPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutChildren();
    FitPicture(QString());
}

void PreviewPane::ClearPreview()
{
    // Forgotten too: after another catalogue was opened, the same ID is another file.
    mShownId = 0;
    lvPreview->Columns()->Clear();
    lvPreview->setRowCount(0);
    lvPreview->Refresh();
    // A picture shown belongs to the file forgotten.
    imgGrafic->clear();
    mPicture.reset();
    picGrafic->hide();
    lvPreview->show();
    lblPreview->hide();
}

void PreviewPane::FillPreviewInfo(int fileType)
{
    lvPreview->Columns()->Clear();
    lvPreview->setRowCount(0);
    const double d = FontSize - 8;
    if (fileType != kTextType) {
        auto cols = lvPreview->Columns();
        cols->Add(QStringLiteral("Key"), 64, 1);
        cols->Add(QStringLiteral("File"), Width(24 * d + 180), 0, 0, 0, false, {}, Translate(QStringLiteral("Datei")));
        cols->Add(QStringLiteral("Size"), Width(4 * d + 70), 0, 0, 0, false, {}, Translate(QStringLiteral("Größe")));
        cols->Add(QStringLiteral("Extension"), Width(4.5 * d + 60), 0, 0, 0, false, {},
                  Translate(QStringLiteral("Filetyp")));
        lvPreview->setRowHeight(FontSize + 3);
        lvPreview->setBackColor(0xFFFFFF);
        lvPreview->setShowHeader(true);
        lvPreview->setHighlightColor(0xFF0000);
        return;
    }
    auto cols = lvPreview->Columns();
    cols->Add(QStringLiteral("Text"), std::max(0, lvPreview->width() - 48));
    cols->Add(QStringLiteral("Filetyp"), 64, 1);
    lvPreview->setBackColor(0xFFFFFF);
    auto font = std::make_shared<StdFont>();
    font->Name = QStringLiteral("MS Sans Serif");
    lvPreview->setFont(font);
    lvPreview->setRowHeight(16);
    lvPreview->setHighlightColor(0xDD8B73); // RGB(115, 139, 221) as an OLE colour
}

void PreviewPane::ShowMissing(const QString& path)
{
    ClearPreview();
    lblPreview->setText(Translate(QStringLiteral("Datei nicht gefunden: ")) + path);
    lblPreview->show();
    picGrafic->hide();
    lvPreview->hide();
}

void PreviewPane::ShowPreview(qint32 fileId, int fileType)
{
    if (!Active) return;
    if (fileId == 0) {
        // Nothing selected: nothing shown, rather than the last file.
        if (mShownId != 0 || mPicture || lblPreview->isVisible()) ClearPreview();
        return;
    }
    const qint32 id = std::abs(fileId);
    if (id == mShownId) return;

    lvPreview->setVisible(fileType != kPictureType);
    if (fileType != kPictureType && picGrafic->isVisible()) {
        imgGrafic->clear();
        mPicture.reset();
    }
    picGrafic->setVisible(fileType == kPictureType);
    mShownId = id;
    if (lvPreview->RowCount() > 0) lvPreview->setRowCount(0);

    std::shared_ptr<Recordset> rs =
        goDB ? goDB->OpenRecordset(QStringLiteral("Select * From MainFiles where ID=") + QString::number(id)) : nullptr;
    if (fileType != kTextType && fileType != kPictureType) {
        FillPreviewInfo(fileType);
        if (rs && !rs->IsEOF()) {
            const QString name = rs->Value(QStringLiteral("tFile")).toString();
            lvPreview->InsertRows(1);
            lvPreview->setData(QStringLiteral("Key"), 0, 0);
            lvPreview->setData(QStringLiteral("File"), 0, name.left(16));
            lvPreview->setData(QStringLiteral("Extension"), 0, name.right(3));
            lvPreview->setData(QStringLiteral("Size"), 0,
                               FormatFileSize(rs->Value(QStringLiteral("lSize")).toLong()));
        }
        lblPreview->hide();
        lvPreview->Refresh();
        return;
    }

    if (!rs || rs->IsEOF()) {
        // The row is gone: nothing to show.
        ClearPreview();
        lblPreview->hide();
        return;
    }
    QString path = rs->Value(QStringLiteral("tPath")).toString();
    const Variant unpack = rs->Value(QStringLiteral("tUnpackPath"));
    const QString name = rs->Value(QStringLiteral("tFile")).toString();
    rs.reset();
    if (!unpack.isNull() && QFileInfo::exists(path)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QString extracted =
            goFileManager ? goFileManager->ExtractFileFromArchiv(name, unpack.toString(), path) : QString();
        QApplication::restoreOverrideCursor();
        if (extracted.isEmpty()) {
            mShownId = 0; // a later selection of the file tries again
            return;
        }
        path = extracted;
    }
    if (!QFileInfo(path).isFile()) {
        ShowMissing(path);
        return;
    }
    if (fileType == kPictureType) {
        // A picture that cannot be read says so in the pane (FitPicture shows the loader's
        // error), so nothing below may hide that word again.
        lblPreview->hide();
        FitPicture(path);
        return;
    } else {
        FillPreviewInfo(kTextType);
        auto header = lvPreview->Columns()->Item(QStringLiteral("Text"))->Header();
        header->Text = QFileInfo(path).fileName();
        header->Style()->SetFontStyle(vtlFntBold);
        const bool dos = IsDosText(path);
        if (dos) {
            // Box drawings line up only when every character is as wide as the others.
            auto font = std::make_shared<StdFont>();
            QFont probe(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            probe.setStyleHint(QFont::TypeWriter);
            font->Name = QFontInfo(probe).family(); // the family really used, not an alias
            lvPreview->setFont(font);
            // Rows as high as the font's lines, so that vertical box lines join up.
            lvPreview->setRowHeight(QFontMetrics(font->toQFont()).height());
        }
        bool more = false;
        const QStringList lines = ReadPreviewLines(path, dos ? TextCodePage::Dos437 : TextCodePage::Windows1252, more);
        for (int row = 0; row < lines.size(); ++row) {
            lvPreview->InsertRows(1);
            lvPreview->setData(QStringLiteral("Text"), row, lines[row]);
        }
        if (more) {
            lvPreview->InsertRows(1);
            lvPreview->setData(QStringLiteral("Text"), int32_t(lines.size()), QStringLiteral("..."));
        }
    }
    lblPreview->hide();
    lvPreview->Refresh();
}

void PreviewPane::FitPicture(const QString& path)
{
    if (!mPicture && path.isEmpty()) return;
    if (!path.isEmpty()) {
        imgGrafic->hide();
        QString error;
        mPicture = LoadPictureEx(path, error);
        if (!mPicture) {
            // Told in the pane: a message box would come up at every selection change.
            imgGrafic->clear();
            lblPreview->setText(error);
            lblPreview->show();
            return;
        }
        const QImage image = mPicture->image();
        mNatural = image.size();
        imgGrafic->setPixmap(QPixmap::fromImage(image));
    }
    const QSize box = picGrafic->contentsRect().size();
    double scale = 1.0;
    if (mNatural.height() > box.height() || mNatural.width() > box.width())
        scale = std::min(double(box.width()) / mNatural.width(), double(box.height()) / mNatural.height());
    const int w = int(mNatural.width() * scale);
    const int h = int(mNatural.height() * scale);
    imgGrafic->setScaledContents(scale < 1.0);
    imgGrafic->setGeometry(std::max(0, (box.width() - w) / 2), 0, w, h);
    imgGrafic->show();
}

} // namespace tv
