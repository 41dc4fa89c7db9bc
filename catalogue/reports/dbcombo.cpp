#include "catalogue/reports/dbcombo.h"

#include "catalogue/reports/dbcombolist.h"
#include "catalogue/reports/globaldata.h"
#include "platform/component/propertybag.h"
#include "platform/db/database.h"
#include "platform/db/field.h"
#include "platform/db/recordset.h"
#include "platform/gui/gdi.h"
#include "platform/gui/systimer.h"

#include <QKeyEvent>
#include <QLineEdit>

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
    source_.InvisibleColMode = 1;
    timer_ = std::make_unique<SysTimer>();
    timer_->setInterval(1000);
    timer_->Timer.connect([this] { commitSearch(); });
    connect(text_, &QLineEdit::textChanged, this, [this] { textEdited(); });
}

DBCombo::~DBCombo() = default;

void DBCombo::textEdited()
{
    if (writingText_) return;
    timer_->setEnabled(false);
    const QString typed = text_->text();
    if (AutoSearch == 0) {
        SetValue(typed.isEmpty() ? Variant::null() : Variant(QLatin1Char('@') + typed), true, true);
    } else if (AutoSearch == 3) {
        const Variant row = typed.isEmpty() ? Variant::null()
            : source_.LookupRow(source_.TextField, Variant(typed), false, CaseSensitive, UseDelFlag, false);
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
    if (AutoSearch == 3) {
        if (text_->hasFocus()) SelectTextReverse(text_, 0, -1);
        return;
    }
    const QString typed = text_->text();
    const Variant row = typed.isEmpty() ? Variant::null()
        : source_.LookupRow(source_.TextField, Variant(typed), false, CaseSensitive, UseDelFlag, false);
    SetValue(row, true, true);
    if (text_->hasFocus() && !row.isNull()) SelectTextReverse(text_, -1, int32_t(typed.size()));
}

void DBCombo::OpenDropDown()
{
    if (!source_.Ready() || dropDownOpen_) return;
    BeforeDropDown.raise();
    dropDownOpen_ = true;
    {
        frmDBCombo list(this);
        list.Def = AutoSearch;
        list.BColor = BackColor;
        list.CaseSensitive = CaseSensitive;
        list.ComboDB = source_.DataBase;
        list.Fields = &source_.Fields();
        list.FColor = ForeColor;
        list.RecordSource = source_.BuildSql(QString(), Variant::null(), false, false, UseDelFlag, false);
        list.Rows = int16_t(Rows);
        list.ValueField = source_.ValueField;
        list.SearchCol = int16_t(std::max(0, source_.TextColumn()));
        list.InvisibleColMode = source_.InvisibleColMode;
        list.InvisibleCols = int16_t(source_.InvisibleCols);
        list.Value = value_;
        list.MinWidth = width() * 15;
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

bool DBCombo::Validate()
{
    if (timer_->Enabled()) commitSearch();
    return true;
}

bool DBCombo::Locked() const { return text_->isReadOnly(); }

void DBCombo::setLocked(bool value)
{
    text_->setReadOnly(value);
    showText(Text());
}

// The keys in the order they are stored, each with its default.
void DBCombo::ReadProperties(const PropertyBag& bag)
{
    auto read = [&bag](const char* key, const Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    auto color = [&read](const char* key, uint32_t def) { return uint32_t(int64_t(read(key, Variant(int32_t(def))).toDouble())); };
    AutoSearch = read("AutoSearch", Variant(int16_t(0))).toInt();
    BackColor = color("BackColor", 0x80000005u);
    BibKey = read("BibKey", Variant(QString())).text();
    BorderStyle = read("BorderStyle", Variant(int32_t(1))).toLong();
    CaseSensitive = read("CaseSensitive", Variant(false)).toBool();
    ChangeColor = color("ChangeColor", 255);
    DisplayName = read("DisplayName", Variant(QStringLiteral("Combobox"))).text();
    EmptyBackColor = color("EmptyBackColor", 0x80000018u);
    setEnabled(read("Enabled", Variant(true)).toBool());
    ForeColor = color("ForeColor", 0x80000008u);
    text_->setReadOnly(read("Locked", Variant(false)).toBool());
    source_.RecordSource = read("RecordSource", Variant(QString())).text();
    RecordSourceKey = read("RecordSourceKey", Variant(QString())).text();
    Rows = read("Rows", Variant(int16_t(8))).toInt();
    IgnoreWhere = read("IgnoreWhere", Variant(true)).toBool();
    source_.InvisibleColMode = read("InvisibleColMode", Variant(int32_t(1))).toLong();
    source_.InvisibleCols = std::max(0, int(read("InvisibleCols", Variant(int16_t(0))).toInt()));
    ShowButton = read("ShowButton", Variant(false)).toBool();
    ShowChanges = read("ShowChanges", Variant(false)).toBool();
    ShowDropDown = read("ShowDropDown", Variant(true)).toBool();
    source_.TextField = read("TextField", Variant(QString())).text();
    UseDelFlag = read("UseDelFlag", Variant(false)).toBool();
    source_.ValueField = read("ValueField", Variant(QString())).text();
    source_.FilterField = read("FilterField", Variant(QString())).text();
    NullAllowed = read("NullAllowed", Variant(true)).toBool();
    NullText = read("NullText", Variant(QString())).text();
    source_.FilterValue = read("FilterValue", Variant::null());
    value_ = Variant::null();
    source_.ParseRecordSource();
    SetValue(read("Value", Variant::null()), false, true);
}

void DBCombo::WriteProperties(PropertyBag& bag) const
{
    auto write = [&bag](const char* key, const Variant& value, const Variant& def) {
        bag.WriteProperty(QString::fromLatin1(key), value, def);
    };
    auto color = [&write](const char* key, uint32_t value, uint32_t def) {
        write(key, Variant(int32_t(value)), Variant(int32_t(def)));
    };
    write("AutoSearch", Variant(int16_t(AutoSearch)), Variant(int16_t(0)));
    color("BackColor", BackColor, 0x80000005u);
    write("BibKey", Variant(BibKey), Variant(QString()));
    write("BorderStyle", Variant(BorderStyle), Variant(int32_t(1)));
    write("CaseSensitive", Variant(CaseSensitive), Variant(false));
    color("ChangeColor", ChangeColor, 255);
    write("DisplayName", Variant(DisplayName), Variant(QStringLiteral("Combobox")));
    color("EmptyBackColor", EmptyBackColor, 0x80000018u);
    write("Enabled", Variant(isEnabled()), Variant(true));
    color("ForeColor", ForeColor, 0x80000008u);
    write("Locked", Variant(Locked()), Variant(false));
    write("RecordSource", Variant(source_.RecordSource), Variant(QString()));
    write("RecordSourceKey", Variant(RecordSourceKey), Variant(QString()));
    write("Rows", Variant(int16_t(Rows)), Variant(int16_t(8)));
    write("IgnoreWhere", Variant(IgnoreWhere), Variant(true));
    write("InvisibleColMode", Variant(int32_t(source_.InvisibleColMode)), Variant(int32_t(1)));
    write("InvisibleCols", Variant(int16_t(source_.InvisibleCols)), Variant(int16_t(0)));
    write("ShowButton", Variant(ShowButton), Variant(false));
    write("ShowChanges", Variant(ShowChanges), Variant(false));
    write("ShowDropDown", Variant(ShowDropDown), Variant(true));
    write("TextField", Variant(source_.TextField), Variant(QString()));
    write("UseDelFlag", Variant(UseDelFlag), Variant(false));
    write("ValueField", Variant(source_.ValueField), Variant(QString()));
    write("FilterField", Variant(source_.FilterField), Variant(QString()));
    write("NullAllowed", Variant(NullAllowed), Variant(true));
    write("NullText", Variant(NullText), Variant(QString()));
    write("FilterValue", source_.FilterValue, Variant::null());
    write("Value", value_, Variant::null());
}

void DBCombo::reparse()
{
    source_.ParseRecordSource();
    SetValue(value_, false, true);
}

void DBCombo::setDataBase(std::shared_ptr<Database> db)
{
    source_.DataBase = std::move(db);
    reparse();
}

void DBCombo::setRecordSource(const QString& sql)
{
    source_.RecordSource = sql;
    value_ = Variant::null();
    PropertyChanged.raise(QStringLiteral("RecordSource"));
    reparse();
}

void DBCombo::setValueField(const QString& name)
{
    source_.ValueField = name;
    PropertyChanged.raise(QStringLiteral("ValueField"));
    source_.ParseRecordSource();
    SetValue(Variant::null(), false, true);
}

void DBCombo::setTextField(const QString& name)
{
    source_.TextField = name;
    PropertyChanged.raise(QStringLiteral("TextField"));
    reparse();
}

void DBCombo::setFilterField(const QString& name)
{
    source_.FilterField = name;
    PropertyChanged.raise(QStringLiteral("FilterField"));
    reparse();
}

void DBCombo::setFilterValue(const Variant& value)
{
    if (source_.FilterField.isEmpty()) return;
    source_.FilterValue = value;
    PropertyChanged.raise(QStringLiteral("FilterValue"));
    SetValue(value_, false, true);
}

void DBCombo::setNoInitRecordset(bool value)
{
    source_.NoInitRecordset = value;
    if (!value) reparse();
}

void DBCombo::setInvisibleColMode(int mode)
{
    source_.InvisibleColMode = mode;
    PropertyChanged.raise(QStringLiteral("InvisibleColMode"));
    source_.ApplyColumnVisibility();
}

void DBCombo::setInvisibleCols(int count)
{
    source_.InvisibleCols = std::max(0, count);
    PropertyChanged.raise(QStringLiteral("InvisibleCols"));
    source_.ApplyColumnVisibility();
}

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
        row_ = source_.LookupRow(source_.ValueField, v, true, false, UseDelFlag, false);
        if (row_.isNull() && IgnoreWhere) {
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
        PropertyChanged.raise(QStringLiteral("Value"));
        Change.raise(value_);
    }
    showText(Text());
    if (!keepUndo && !HoldOrgValue) undo_ = v;
    setChanged(undo_.text().compare(v.text(), Qt::CaseInsensitive) != 0);
}

QString DBCombo::Text() const
{
    if (value_.isNull()) return NullText;
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
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Text, OleToQColor(ShowChanges && value ? ChangeColor : ForeColor));
    text_->setPalette(palette);
}

void DBCombo::showText(const QString& text)
{
    writingText_ = true;
    text_->setText(text);
    writingText_ = false;
    if (text_->hasFocus() && !isFreeText()) SelectTextReverse(text_, 0, -1);

    uint32_t back = BackColor;
    if (text_->isReadOnly()) back = kLockedBackColor;
    else if ((value_.text().isEmpty() && !NullAllowed) || !inList_) back = EmptyBackColor;
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Base, OleToQColor(back));
    text_->setPalette(palette);
    update();
}

bool DBCombo::MoveCursor(int moveMode)
{
    if (!source_.Ready()) return false;
    if (value_.isNull() && moveMode != 3) moveMode = 0;
    QString sql = source_.BuildSql(source_.TextField, Variant::null(), false, true, UseDelFlag, false);
    if (sql.isEmpty()) return false;
    if (moveMode == 3) sql += QStringLiteral(" DESC");
    auto rs = source_.DataBase->OpenRecordset(sql, dbOpenDynaset, dbReadOnly | dbSeeChanges);
    if (!rs || rs->LastError() || rs->IsEOF()) return false;

    if (moveMode == 1 || moveMode == 2) {
        const bool freeText = isFreeText() && AutoSearch == 0;
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
    const Variant row = source_.LookupRow(source_.TextField, Variant(searchText), false, CaseSensitive, UseDelFlag, false);
    if (row.isNull()) return false;
    SetValue(row, false, true);
    return true;
}

bool DBCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::FocusOut && !dropDownOpen_) Validate();
    if (watched != text_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    int keyCode = key->key();
    int shift = (key->modifiers() & Qt::ShiftModifier ? 1 : 0) | (key->modifiers() & Qt::ControlModifier ? 2 : 0) |
                (key->modifiers() & Qt::AltModifier ? 4 : 0);
    Keydown.raise(keyCode, shift);
    bool handled = true;
    if (shift == 0 && keyCode == Qt::Key_Up) MoveCursor(1);
    else if (shift == 0 && keyCode == Qt::Key_Down) MoveCursor(2);
    else if (shift == 2 && keyCode == Qt::Key_Home) MoveCursor(0);
    else if (shift == 2 && keyCode == Qt::Key_End) MoveCursor(3);
    else if (shift == 2 && keyCode == Qt::Key_Z) SetValue(undo_, false, true);
    else if ((shift == 0 && keyCode == Qt::Key_F4) || (shift == 4 && (keyCode == Qt::Key_Up || keyCode == Qt::Key_Down))) {
        OpenDropDown();
        return false;
    }
    // The text box takes no typed character while there are no rows to match it with.
    else handled = !source_.Ready() && !key->text().isEmpty() && key->text().at(0).isPrint();
    return handled || keyCode == 0;
}

void DBCombo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    text_->setGeometry(rect().adjusted(2, 2, -2, -2));
}

} // namespace tv
