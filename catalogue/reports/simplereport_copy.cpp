// SimpleReport: copying rows as tab-separated text and the column menu of the header.

#include "simplereport.h"

#include "catalogue/core/modlang.h"
#include "platform/db/database.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/format.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QScopeGuard>

namespace tv {

namespace {

constexpr int kPieceSize = 150000;   // characters gathered before a piece is set aside
constexpr int kCellLimit = 255;

// Notes an Escape pressed anywhere while a long copy runs, and keeps other input away from
// the program until it ends.
class EscapeWatch : public QObject {
public:
    EscapeWatch() { watch(true); }
    ~EscapeWatch() override { watch(false); }
    // Off while the question is asked, so that its buttons can be pressed.
    void watch(bool on)
    {
        if (on) qApp->installEventFilter(this);
        else qApp->removeEventFilter(this);
    }
    // True when Escape was pressed since the last call.
    bool pressed()
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return std::exchange(pressed_, false);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) pressed_ = true;
            return true;
        case QEvent::KeyRelease: case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }

private:
    bool pressed_ = false;
};

} // namespace

QString SimpleReport::cellText(const Field& field) const
{
    const Variant value = field.Value();
    if (value.isEmptyOrNull()) return QString();
    QString text;
    switch (field.Type()) {
    case dbCurrency:
        text = Format(Variant(value.toDouble() / currencyFactor_), currencyFormat_);
        break;
    case dbBoolean:
        text = Format(value, QStringLiteral("Yes/No"));
        break;
    case dbText: case dbMemo:
        text = value.text();
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        for (QChar c : {QChar(13), QChar(10), QChar(9), QChar(0), QChar(20)}) text.replace(c, QLatin1Char(' '));
        break;
    default:
        text = value.text();
        break;
    }
    return text.left(kCellLimit);
}

QString SimpleReport::BuildClipboardText(int32_t row)
{
    if (!rs_ || row < 0 || row >= rs_->RecordCount()) return QString();
    if (rs_->SetAbsolutePosition(row)) return QString();
    QStringList cells;
    auto columns = grid_->Columns();
    for (int32_t i = 0; i < columns->Count(); ++i) {
        auto column = columns->Item(Variant(i), true);
        if (!column || column->Hidden() != 0) continue;
        cells << (column->Index() < rs_->FieldCount() ? cellText(rs_->Fields(column->Index())) : QString());
    }
    return cells.join(QLatin1Char('\t'));
}

void SimpleReport::CopyToClipboard(bool useSelection)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (!rs_ || rs_->RecordCount() < 1) return;
    const QString lineEnd = QStringLiteral("\r\n");

    QStringList headers;
    auto columns = grid_->Columns();
    for (int32_t i = 0; i < columns->Count(); ++i)
        if (auto column = columns->Item(Variant(i), true); column && column->Hidden() == 0)
            headers << column->Header(0)->Text;
    QString text = headers.join(QLatin1Char('\t')) + lineEnd;

    if (useSelection) {
        // The members must outlive the pointer into their array.
        const Variant members = SelectedItemsEx();
        if (const VariantArray* rows = members.array())
            for (int i = rows->lbound(); i <= rows->ubound(); ++i)
                text += BuildClipboardText(rows->at(i).toLong()) + lineEnd;
    } else {
        QStringList pieces;
        const int32_t count = rs_->RecordCount();
        progressBar_->setRange(0, count);
        progressBar_->show();
        layoutParts();
        EscapeWatch escape;
        for (int32_t row = 0; row < count; ++row) {
            text += BuildClipboardText(row) + lineEnd;
            if (text.size() > kPieceSize) pieces << std::exchange(text, QString());
            progressBar_->setValue(row);
            if (!escape.pressed()) continue;
            escape.watch(false);
            const int answer =
                LangMsgBox(QStringLiteral("Kopiervorgang abbrechen?"), vbYesNo, QStringLiteral("Tovarin-Report"));
            escape.watch(true);
            if (answer == vbYes) break;
        }
        pieces << text;
        text = pieces.join(QString());
        progressBar_->hide();
        layoutParts();
    }
    QGuiApplication::clipboard()->clear();
    QGuiApplication::clipboard()->setText(text);
}

// ---- column menu -----------------------------------------------------------------------------

namespace {
enum PopupItem { kAscending = 0, kDescending = 1, kSortSeparator = 2, kSearch = 3, kCopy = 5, kAutoSize = 7,
                 kHide = 8, kFix = 9, kFirst = 11, kLast = 12, kConfig = 14 };
} // namespace

void SimpleReport::BuildContextMenu(int32_t column)
{
    auto col = grid_->Columns()->Item(Variant(column));
    if (!col || col->Index() != column) return;
    delete mnuKontext_;
    mnuKontext_ = new QMenu(this);
    auto item = [this](int index, const char* caption) {
        QAction* a = mnuKontext_->addAction(Translate(QString::fromUtf8(caption)));
        connect(a, &QAction::triggered, this, [this, index] { mnuPopup_Click(index); });
        return a;
    };
    const bool sortItems = sortMode_ != 1;
    QAction* up = item(kAscending, "Aufsteigend sortieren");
    QAction* down = item(kDescending, "Absteigend sortieren");
    up->setCheckable(true);
    down->setCheckable(true);
    up->setChecked(column == sortColumn_ && ascending_);
    down->setChecked(column == sortColumn_ && !ascending_);
    up->setVisible(sortItems);
    down->setVisible(sortItems);
    mnuKontext_->addSeparator()->setVisible(sortItems);
    item(kSearch, "Suchen")->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    mnuKontext_->addSeparator();
    QMenu* copy = mnuKontext_->addMenu(Translate(QStringLiteral("Kopieren")));
    QAction* whole = copy->addAction(Translate(QStringLiteral("Gesamte Liste")));
    whole->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    connect(whole, &QAction::triggered, this, [this] { mnuCopy_Click(0); });
    QAction* selection = copy->addAction(Translate(QStringLiteral("Aktuelle Selektion")));
    selection->setEnabled(grid_->SelectionSet()->Count() > 0);
    connect(selection, &QAction::triggered, this, [this] { mnuCopy_Click(1); });
    mnuKontext_->addSeparator();
    item(kAutoSize, "Optimale Spaltenbreite");
    item(kHide, "Spalte ausblenden")->setEnabled(col->AllowHide);
    QAction* fix = item(kFix, "Spalte fixieren");
    fix->setCheckable(true);
    fix->setChecked(col->Fixed() != 0);
    mnuKontext_->addSeparator();
    item(kFirst, "An den Anfang positionieren");
    item(kLast, "Am Ende positionieren");
    mnuKontext_->addSeparator();
    item(kConfig, "Konfiguration")->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    mnuKontext_->setProperty("column", column);
    connect(mnuKontext_, &QMenu::aboutToHide, this, [this] {
        // The actions run after the menu hides: the column goes once they have run.
        QMetaObject::invokeMethod(this, [this] { if (mnuKontext_) mnuKontext_->setProperty("column", QVariant()); },
                                  Qt::QueuedConnection);
    });
    mnuKontext_->popup(QCursor::pos());
}

void SimpleReport::mnuPopup_Click(int index)
{
    if (!enableHotKeys_ || !mnuKontext_) return;
    const int32_t column = mnuKontext_->property("column").toInt();
    auto col = grid_->Columns()->Item(Variant(column));
    if (!col) return;
    switch (index) {
    case kAscending: Resort(int16_t(column), true); break;
    case kDescending: Resort(int16_t(column), false); break;
    case kSearch: FindDialog(false, false); break;
    case kAutoSize: grid_->AutoSizeColumn(column, vantile::vtlUseContent); break;
    case kHide: col->SetHidden(1); break;
    case kFix: col->SetFixed(col->Fixed() == 0 ? 2 : 0); break;
    case kFirst: col->SetOrder(-1); break;
    case kLast: col->SetOrder(-2); break;
    case kConfig: EditHeaders(); break;
    default: break;
    }
}

void SimpleReport::mnuCopy_Click(int index) { CopyToClipboard(index != 0); }

} // namespace tv
