// SimpleReport: keys, type-ahead search and Find, all on the open recordset.

#include "simplereport.h"

#include "frmsearch.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/db/database.h"
#include "platform/gui/keys.h"
#include "platform/gui/systimer.h"
#include "platform/runtime/convert.h"

#include <QApplication>
#include <QPointer>

namespace tv {

namespace {

bool isNumberType(int type)
{
    switch (type) {
    case dbBoolean: case dbInteger: case dbLong: case dbCurrency: case dbSingle: case dbDouble: case dbBigInt:
    case dbNumeric: case dbDecimal: case dbFloat:
        return true;
    default:
        return false;
    }
}

constexpr double kTypeAheadGap = 0.5;   // seconds between keys of one sequence

} // namespace

bool SimpleReport::Find(const Variant& col, const Variant& value, int32_t offset)
{
    if (!LoadPending(true) || rs_->RecordCount() == 0) return false;
    const int32_t ordinal = fieldOrdinal(col);
    if (ordinal < 0) return false;
    Field& field = rs_->Fields(ordinal);
    const QString name = QLatin1Char('[') + field.Name() + QLatin1Char(']');
    QString criterion;
    if (isNumberType(field.Type())) {
        criterion = name + QLatin1Char('=') + Str(Val(value.text().replace(QLatin1Char(','), QLatin1Char('.'))));
    } else if (field.Type() == dbDate || field.Type() == dbTime) {
        bool ok = true;
        const QString literal = MakeSQLDate(value, &ok);
        if (!ok) return false;
        criterion = name + QLatin1Char('=') + literal;
    } else {
        // The text matches itself ("[!]", "#1" are parts of names); a "*" of the user's own
        // stays the one wildcard, and without one the text is a prefix.
        const QString text = LikeText(value.text());
        criterion = name + QStringLiteral(" like ") +
                    SQLQuote(text.contains(QLatin1Char('*')) ? text : text + QLatin1Char('*'));
    }
    if (offset == -1) {
        rs_->FindFirst(criterion);
    } else {
        if (rs_->SetAbsolutePosition(offset)) return false;
        rs_->FindNext(criterion);
    }
    if (rs_->LastError() || rs_->NoMatch()) return false;
    const int32_t found = rs_->AbsolutePosition();
    if (multiSelect_) ClearSelection();
    setSelectedIndex(found);
    return true;
}

void SimpleReport::onKeyDown(int16_t& keyCode, int16_t& shift)
{
    const bool ctrl = shift & vbCtrlMask, alt = shift & vbAltMask;
    if (ctrl && enableHotKeys_ && keyCode == 'C') {
        CopyToClipboard(false);
        return;
    }
    if (!ctrl && !alt && keyCode == VK_RETURN && dblClickOnReturn_) {
        if (const int32_t row = SelectedIndex(); row != -1) ItemDblClick.raise(row, int16_t(1), int16_t(0));
        keyCode = 0;   // taken: the window's default button must not act on it as well
        return;
    }
    Keydown.raise(keyCode, shift);
}

void SimpleReport::onKeyPress(int16_t& keyAscii)
{
    // Return, Escape, Backspace and Ctrl combinations are no text: on a number column they
    // would select the first row.
    if (keyAscii < 32) return;
    // Ctrl with a key belongs to the selection in a multi-select list; Shift only makes the
    // capital letters a name begins with.
    if (multiSelect_ && (QApplication::keyboardModifiers() & Qt::ControlModifier)) return;
    typeAhead(QChar(char16_t(keyAscii)));
}

void SimpleReport::resetTypeAhead()
{
    typed_.clear();
    lastKey_ = 0;
}

void SimpleReport::typeAhead(const QChar& c)
{
    if (!rs_ || rs_->RecordCount() == 0) return;
    const double now = clock_.elapsed() / 1000.0;
    if (now - lastKey_ > kTypeAheadGap) resetTypeAhead();
    if (!typed_.isEmpty()) {
        timeOut_->setEnabled(false);
        typed_ += c;
        timeOut_->setEnabled(true);
        lastKey_ = now;
        return;
    }
    lastKey_ = now;
    if (!timeOut_) {
        timeOut_ = std::make_unique<SysTimer>();
        timeOut_->setInterval(500);
        timeOut_->Timer.connect([this] { onTimeOut(); });
    }
    typed_ = c;
    if (typeAheadSearch(typed_) == -1) resetTypeAhead();
}

void SimpleReport::onTimeOut()
{
    timeOut_->setEnabled(false);
    typeAheadSearch(typed_);
    resetTypeAhead();
}

int32_t SimpleReport::typeAheadSearch(QString& text)
{
    std::shared_ptr<vantile::Column> column;
    auto columns = grid_->Columns();
    if (sortColumn_ != -1) column = columns->Item(Variant(int32_t(sortColumn_)));
    for (int32_t i = 0; !column && i < columns->Count(); ++i)
        if (auto c = columns->Item(Variant(i), true); c && c->Hidden() == 0) column = c;
    if (text.isEmpty()) return -1;
    int32_t result = 0;   // a search that cannot run selects the first row
    if (column && rs_->HasField(column->Key())) {
        Field& field = rs_->Fields(column->Key());
        const QString name = QLatin1Char('[') + field.Name() + QLatin1Char(']');
        QString criterion;
        switch (field.Type()) {
        case dbText:
            // Typed characters are looked for as they stand: a "*" is part of a name here.
            criterion = name + QStringLiteral(" like ") + SQLQuote(LikeText(text, true) + QLatin1Char('*'));
            break;
        case dbDate: case dbBoolean: case dbBinary: case dbLongBinary: case dbVarBinary:
            break;
        default:
            text.replace(QLatin1Char(','), QLatin1Char('.'));
            // The name is bracketed: captions used as column names may hold blanks.
            if (IsNumeric(Variant(text))) criterion = name + QLatin1Char('=') + text;
            break;
        }
        if (!criterion.isEmpty()) {
            auto accepted = [&] {
                return !caseSensitive_ || field.Value().text().startsWith(text, Qt::CaseSensitive);
            };
            rs_->SetAbsolutePosition(std::max(0, grid_->CurrentRow()));
            result = -1;
            for (rs_->FindNext(criterion); !rs_->LastError() && !rs_->NoMatch(); rs_->FindNext(criterion))
                if (accepted()) {
                    result = rs_->AbsolutePosition();
                    break;
                }
            if (result == -1) {
                rs_->FindFirst(criterion);
                if (!rs_->LastError() && !rs_->NoMatch() && accepted()) result = rs_->AbsolutePosition();
            }
        }
    }
    if (result != -1) setSelectedIndex(result);
    return result;
}

void SimpleReport::FindDialog(bool mode, bool fModal)
{
    if (ItemCount() <= 0) return;
    if (mode) {
        if (frmFind_ && frmFind_->IsLoaded) frmFind_->close();
        delete frmFind_;
        frmFind_ = nullptr;
    } else {
        // A window closed by its title bar was unloaded: it loads again, on today's columns.
        if (frmFind_ && !frmFind_->IsLoaded) {
            delete frmFind_;
            frmFind_ = nullptr;
        }
        if (!frmFind_) {
            frmFind_ = new frmSearch(this);
            frmFind_->setWindowFlag(Qt::Window);
            frmFind_->GetClientCtrl.connect([this](SimpleReport*& report) { report = this; });
            QApplication::setOverrideCursor(Qt::WaitCursor);
            frmFind_->Load();
            QApplication::restoreOverrideCursor();
        }
        if (frmFind_->IsLoaded && frmFind_->isVisible()) return;
        if (fModal) {
            QPointer<frmSearch> dialog = frmFind_;
            dialog->exec();
            delete dialog.data();
            frmFind_ = nullptr;
        } else {
            frmFind_->show();
        }
    }
    if (SelectedIndex() == -1) setSelectedIndex(0);
}

void SimpleReport::ReinitFindDialog()
{
    if (frmFind_ && frmFind_->IsLoaded && frmFind_->isVisible()) frmFind_->ReInit();
}

} // namespace tv
