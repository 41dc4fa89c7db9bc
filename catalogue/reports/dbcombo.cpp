// DBCombo: the value model, the text box's keys and focus, the timer and the drop-down.

#include "catalogue/reports/dbcombo.h"

#include "catalogue/reports/dbcombolist.h"
#include "catalogue/reports/globaldata.h"
#include "platform/db/database.h"
#include "platform/db/field.h"
#include "platform/db/recordset.h"
#include "platform/gui/keys.h"
#include "platform/gui/modfont.h"
#include "platform/gui/systimer.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

namespace {
constexpr uint32_t kLockedBackColor = 0x8000000Fu;
}

DBCombo::DBCombo(QWidget* parent) : QWidget(parent)
{
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("txtCombo"));
    text_->setFrame(false);
    text_->installEventFilter(this);
    button_ = new QPushButton(QStringLiteral("..."), this);
    button_->setObjectName(QStringLiteral("cmdButton"));
    // Ctrl+B does what the button does; a click must not take the focus from the text.
    button_->setFocusPolicy(Qt::NoFocus);
    button_->hide();
    connect(button_, &QPushButton::clicked, this, [this] { buttonClicked(); });
    setFocusProxy(text_);
    setAutoFillBackground(false);
    source_.InvisibleColMode = 1;
    font_ = ambientFont();
    applyFont();
    timer_ = std::make_unique<SysTimer>();
    timer_->setInterval(1000);
    timer_->Timer.connect([this] { commitSearch(); });
    connect(text_, &QLineEdit::textChanged, this, [this] { textEdited(); });
}

DBCombo::~DBCombo() = default;

HandleId DBCombo::hwnd() { return HwndOf(this); }

// ---- typing and the delayed search -----------------------------------------------------------

void DBCombo::textEdited()
{
    if (writingText_) return;
    timer_->setEnabled(false);
    const QString typed = text_->text();
    if (autoSearch_ == 0) {
        SetValue(typed.isEmpty() ? Variant::null() : Variant(QLatin1Char('@') + typed), true, true);
    } else if (autoSearch_ == 3) {
        const Variant row = typed.isEmpty() ? Variant::null()
            : source_.LookupRow(source_.TextField, Variant(typed), false, caseSensitive_, useDelFlag_, false);
        SetValue(row, true, true);
        if (!row.isNull()) {
            SelectTextReverse(text_, -1, int32_t(typed.size()));
            timer_->setEnabled(true);
        }
    } else {
        timer_->setEnabled(true);
    }
}

void DBCombo::commitSearch()
{
    timer_->setEnabled(false);
    if (autoSearch_ == 3) {
        if (hasFocus_) SelectTextReverse(text_, 0, -1);
        return;
    }
    const QString typed = text_->text();
    const Variant row = typed.isEmpty() ? Variant::null()
        : source_.LookupRow(source_.TextField, Variant(typed), false, caseSensitive_, useDelFlag_, false);
    SetValue(row, true, true);
    if (hasFocus_ && !row.isNull()) SelectTextReverse(text_, -1, int32_t(typed.size()));
}

bool DBCombo::Validate()
{
    if (timer_->Enabled()) commitSearch();
    return true;
}

// ---- value ---------------------------------------------------------------------------------

void DBCombo::SetValue(Variant v, bool keepUndo, bool allowIgnoreWhere)
{
    inList_ = true;
    if (v.isArray()) {
        row_ = v;
        const clsDBField* d = source_.Field(source_.ValueField);
        v = d ? v.array()->at(d->Index - 1, 0) : Variant::null();
    } else if (v.isString() && v.text().startsWith(QLatin1Char('@'))) {
        v = Variant(v.text().remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
        row_ = Variant::null();
    } else if (v.text().trimmed().isEmpty()) {
        v = Variant::null();
        row_ = Variant::null();
    } else if (source_.Ready()) {
        row_ = source_.LookupRow(source_.ValueField, v, true, false, useDelFlag_, false);
        if (row_.isNull() && ignoreWhere_) {
            row_ = source_.LookupRow(source_.ValueField, v, true, false, false, allowIgnoreWhere);
            if (!row_.isNull()) inList_ = false;
        }
        if (row_.isNull()) v = Variant::null();
    } else {
        // Without a readable record source the key stays unresolved; a row of an earlier
        // source would show that source's text for it.
        row_ = Variant::null();
    }

    if (value_.text().compare(v.text(), Qt::CaseInsensitive) != 0) {
        value_ = v;
        changed("Value");
        Change.raise(value_);
    }
    showText(Text());
    if (!keepUndo && !HoldOrgValue) undo_ = v;
    setChanged(undo_.text().compare(v.text(), Qt::CaseInsensitive) != 0);
}

QString DBCombo::Text() const
{
    if (value_.isNull()) return nullText_;
    if (isFreeText()) return value_.text().mid(1);
    return FieldValue(source_.TextField).text();
}

Variant DBCombo::FieldValue(const QString& name) const
{
    const clsDBField* d = source_.Field(name);
    if (!row_.isArray() || !d) return Variant::null();
    return row_.array()->at(d->Index - 1, 0);
}

void DBCombo::setChanged(bool value)
{
    changed_ = value;
    recolour();
}

void DBCombo::showText(const QString& text)
{
    writingText_ = true;
    text_->setText(text);
    writingText_ = false;
    if (hasFocus_ && !isFreeText()) SelectTextReverse(text_, 0, -1);
    recolour();
}

void DBCombo::recolour()
{
    uint32_t back = backColor_;
    if (text_->isReadOnly()) back = kLockedBackColor;
    else if ((value_.text().isEmpty() && !nullAllowed_) || !inList_) back = emptyBackColor_;
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Base, OleToQColor(back));
    palette.setColor(QPalette::Text, OleToQColor(showChanges_ && changed_ ? changeColor_ : foreColor_));
    text_->setPalette(palette);
    QPalette own = this->palette();
    own.setColor(QPalette::Window, OleToQColor(back));
    setPalette(own);
    update();
}

bool DBCombo::MoveCursor(int moveMode)
{
    if (!source_.Ready()) return false;
    if (value_.isNull() && moveMode != 3) moveMode = 0;
    QString sql = source_.BuildSql(source_.TextField, Variant::null(), false, true, useDelFlag_, false);
    if (sql.isEmpty()) return false;
    if (moveMode == 3) sql += QStringLiteral(" DESC");
    auto rs = source_.DataBase->OpenRecordset(sql, dbOpenDynaset, dbReadOnly | dbSeeChanges);
    if (!rs || rs->LastError() || rs->IsEOF()) return false;

    if (moveMode == 1 || moveMode == 2) {
        const bool freeText = isFreeText() && autoSearch_ == 0;
        const clsDBField* d = source_.Field(freeText ? source_.TextField : source_.ValueField);
        const Variant wanted = freeText ? Variant(value_.text().mid(1)) : value_;
        bool ok = false;
        const QString criterion = d ? MakeSQLCriterion(d->Name, d->FieldType, wanted, !freeText, true, true, &ok)
                                    : QString();
        const bool found = ok && !criterion.isEmpty() && !rs->FindFirst(criterion) && !rs->NoMatch();
        if (found && !freeText) {
            if (moveMode == 1) rs->MovePrevious();
            else rs->MoveNext();
        } else if (!found) {
            // A value that is no longer there: start again from the first (last) row.
            if (moveMode == 1) rs->MoveFirst();
            else rs->MoveLast();
        }
    }
    if (rs->IsBOF() || rs->IsEOF()) return false;
    const VariantArray row = rs->GetRows(1);
    rs->Close();
    SetValue(Variant(row), true, true);
    return true;
}

bool DBCombo::Search(const QString& searchText)
{
    const Variant row = source_.LookupRow(source_.TextField, Variant(searchText), false, caseSensitive_, useDelFlag_, false);
    if (row.isNull()) return false;
    SetValue(row, false, true);
    return true;
}

void DBCombo::SendText(const QString& text)
{
    if (hasFocus_) text_->insert(text);
    else pendingText_ = text;
}

// ---- the drop-down list --------------------------------------------------------------------

void DBCombo::OpenDropDown()
{
    if (!source_.Ready() || dropDownOpen_) return;
    BeforeDropDown.raise();
    dropDownOpen_ = true;
    {
        frmDBCombo list(this);
        list.Def = autoSearch_;
        list.BColor = backColor_;
        list.CaseSensitive = caseSensitive_;
        list.ComboDB = source_.DataBase;
        list.Fields = &source_.Fields();
        list.FColor = foreColor_;
        list.Fnt = font_;
        list.RecordSource = source_.BuildSql(QString(), Variant::null(), false, false, useDelFlag_, false);
        list.Rows = int16_t(rows_);
        list.ValueField = source_.ValueField;
        list.SearchCol = int16_t(std::max(0, source_.TextColumn()));
        list.InvisibleColMode = source_.InvisibleColMode;
        list.InvisibleCols = int16_t(source_.InvisibleCols);
        list.Value = value_;
        // Placement in twips: under the frame, at least as wide as it.
        list.MinWidth = frame_.isValid() ? frame_.width() * 15 : width() * 15;
        const QPoint bottomLeft = mapToGlobal(QPoint(0, height()));
        list.XPos = bottomLeft.x() * 15.0;
        list.YPos = bottomLeft.y() * 15.0;
        list.ControlHeight = height() * 15.0;
        list.exec();
        text_->setFocus();
        if (!list.Value.isNull()) SetValue(list.Value, true, true);
        else showText(Text());
    }
    dropDownOpen_ = false;
    HideDropDown.raise();
}

// ---- keys, clicks and focus of the text box ----------------------------------------------------

bool DBCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != text_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool consumed = keyDown(key);
        const bool refused = keyPress(key);
        suppressKey_ = false;
        return consumed || refused;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        int keyCode = VirtualKeyOf(key), shift = ShiftMaskOf(key->modifiers());
        KeyUp.raise(keyCode, shift);
        return false;
    }
    case QEvent::MouseButtonRelease:
        Click.raise();
        return false;
    case QEvent::MouseButtonDblClick:
        DblClick.raise();
        return false;
    case QEvent::FocusIn:
        focusEntered();
        return false;
    case QEvent::FocusOut:
        focusLeft();
        return false;
    default:
        return false;
    }
}

// The key table; true when the key is used up here.
bool DBCombo::keyDown(QKeyEvent* key)
{
    int keyCode = VirtualKeyOf(key);
    int shift = ShiftMaskOf(key->modifiers());
    if (keyCode == 0) return false;
    Keydown.raise(keyCode, shift);
    if (keyCode == 0) return true;
    if (shift == 0 && keyCode == VK_UP) MoveCursor(1);
    else if (shift == 0 && keyCode == VK_DOWN) MoveCursor(2);
    else if (shift == vbCtrlMask && keyCode == VK_HOME) MoveCursor(0);
    else if (shift == vbCtrlMask && keyCode == VK_END) MoveCursor(3);
    else if ((shift == 0 && keyCode == VK_F1 + 3) || (shift == vbAltMask && (keyCode == VK_UP || keyCode == VK_DOWN)))
        OpenDropDown();
    else if (shift == vbCtrlMask && keyCode == 'B') {
        // The handler's value is taken as it stands, without a look-up.
        ButtonClick.raise(source_.TableName(), value_);
        suppressKey_ = true;
    } else if (shift == vbCtrlMask && keyCode == 'Z') {
        SetValue(undo_, false, true);
        suppressKey_ = true;
    } else {
        return false;
    }
    return true;
}

// The typed character; true when the text box must not take it.
bool DBCombo::keyPress(QKeyEvent* key)
{
    const QString typed = key->text();
    if (typed.isEmpty()) return false;
    int keyAscii = typed.at(0).unicode();
    const int before = keyAscii;
    KeyPress.raise(keyAscii);
    // No rows to match typing with: the text box takes no character.
    if (!source_.Ready() || suppressKey_ || keyAscii == 0) return true;
    if (keyAscii != before) {
        text_->insert(QString(QChar(char16_t(keyAscii))));
        return true;
    }
    return false;
}

void DBCombo::focusEntered()
{
    if (Locked() && !showDropDown_) {
        // Nothing to do here: the focus moves on, as a Tab would take it.
        QCoreApplication::postEvent(text_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return;
    }
    if (hasFocus_) return;
    SelectTextReverse(text_, 0, -1);
    if (!pendingText_.isEmpty()) {
        text_->insert(pendingText_);
        pendingText_.clear();
    }
    hasFocus_ = true;
}

void DBCombo::focusLeft()
{
    if (dropDownOpen_) return;
    hasFocus_ = false;
    if (timer_->Enabled()) commitSearch();
}

void DBCombo::buttonClicked()
{
    Variant value = value_;
    ButtonClick.raise(bibKey_.isEmpty() ? source_.TableName() : bibKey_, value);
    SetValue(value, true, false);
}

} // namespace tv
