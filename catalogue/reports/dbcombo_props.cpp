// DBCombo: its properties, what setting each one does, and the stored design values.

#include "catalogue/reports/dbcombo.h"

#include "platform/component/propertybag.h"
#include "platform/gui/modfont.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

namespace {

bool sameFont(const StdFont& a, const StdFont& b)
{
    return a.Name.compare(b.Name, Qt::CaseInsensitive) == 0 && a.Size == b.Size && a.Bold == b.Bold &&
           a.Italic == b.Italic && a.Underline == b.Underline && a.Strikethrough == b.Strikethrough;
}

} // namespace

// The font of the window the control sits in.
std::shared_ptr<StdFont> DBCombo::ambientFont() const
{
    return StdFont::fromQFont(parentWidget() ? parentWidget()->font() : QApplication::font());
}

// ---- record source -------------------------------------------------------------------------

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
    changed("RecordSource");
    reparse();
}

void DBCombo::setValueField(const QString& name)
{
    source_.ValueField = name;
    changed("ValueField");
    source_.ParseRecordSource();
    SetValue(Variant::null(), false, true);
}

void DBCombo::setTextField(const QString& name)
{
    source_.TextField = name;
    changed("TextField");
    reparse();
}

void DBCombo::setFilterField(const QString& name)
{
    source_.FilterField = name;
    changed("FilterField");
    reparse();
}

void DBCombo::setFilterValue(const Variant& value)
{
    if (source_.FilterField.isEmpty()) return;
    source_.FilterValue = value;
    changed("FilterValue");
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
    changed("InvisibleColMode");
    source_.ApplyColumnVisibility();
}

void DBCombo::setInvisibleCols(int count)
{
    source_.InvisibleCols = std::max(0, count);
    changed("InvisibleCols");
    source_.ApplyColumnVisibility();
}

// ---- look ----------------------------------------------------------------------------------

void DBCombo::setBorderStyle(int32_t style)
{
    borderStyle_ = style;
    changed("BorderStyle");
    layoutParts();
}

void DBCombo::setShowButton(bool on)
{
    showButton_ = on;
    changed("ShowButton");
    button_->setVisible(on);
    layoutParts();
}

void DBCombo::setShowDropDown(bool on)
{
    showDropDown_ = on;
    changed("ShowDropDown");
    layoutParts();
}

void DBCombo::setFont(std::shared_ptr<StdFont> font)
{
    if (!font) return;
    font_ = std::move(font);
    changed("Font");
    applyFont();
    layoutParts();
}

bool DBCombo::Locked() const { return text_->isReadOnly(); }

void DBCombo::setLocked(bool value)
{
    text_->setReadOnly(value);
    changed("Locked");
    updateButton();
    recolour();
}

void DBCombo::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        updateButton();
        recolour();
    }
}

void DBCombo::updateButton() { button_->setEnabled(!Locked() && text_->isEnabled()); }

void DBCombo::setBackColor(uint32_t color)
{
    backColor_ = color;
    changed("BackColor");
    recolour();
}

void DBCombo::setForeColor(uint32_t color)
{
    foreColor_ = color;
    changed("ForeColor");
    recolour();
}

void DBCombo::setEmptyBackColor(uint32_t color)
{
    emptyBackColor_ = color;
    changed("EmptyBackColor");
    recolour();
}

void DBCombo::setChangeColor(uint32_t color)
{
    changeColor_ = color;
    changed("ChangeColor");
    recolour();
}

void DBCombo::setNullAllowed(bool on)
{
    nullAllowed_ = on;
    changed("NullAllowed");
    recolour();
}

void DBCombo::setNullText(const QString& text)
{
    nullText_ = text;
    changed("NullText");
    // The empty value shows the new text.
    showText(Text());
}

// ---- behaviour -----------------------------------------------------------------------------

void DBCombo::setAutoSearch(int mode)
{
    autoSearch_ = mode;
    changed("AutoSearch");
}

void DBCombo::setCaseSensitive(bool on)
{
    caseSensitive_ = on;
    changed("CaseSensitive");
}

void DBCombo::setIgnoreWhere(bool on)
{
    ignoreWhere_ = on;
    changed("IgnoreWhere");
    SetValue(value_, false, true);
}

void DBCombo::setUseDelFlag(bool on)
{
    useDelFlag_ = on;
    changed("UseDelFlag");
}

void DBCombo::setShowChanges(bool on)
{
    showChanges_ = on;
    changed("ShowChanges");
}

void DBCombo::setRows(int rows)
{
    rows_ = rows;
    changed("Rows");
}

void DBCombo::setBibKey(const QString& key)
{
    bibKey_ = key;
    changed("BibKey");
}

void DBCombo::setDisplayName(const QString& name)
{
    displayName_ = name;
    changed("DisplayName");
}

void DBCombo::setRecordSourceKey(const QString& key)
{
    recordSourceKey_ = key;
    changed("RecordSourceKey");
}

// ---- stored design values --------------------------------------------------------------------

// The keys in the order they are stored, each with its default. Only stored here: the record
// source is read once all column names are known, and the value last.
void DBCombo::ReadProperties(const PropertyBag& bag)
{
    auto read = [&bag](const char* key, const Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    auto color = [&read](const char* key, uint32_t def) { return uint32_t(int64_t(read(key, Variant(int32_t(def))).toDouble())); };
    autoSearch_ = read("AutoSearch", Variant(int16_t(0))).toInt();
    backColor_ = color("BackColor", 0x80000005u);
    bibKey_ = read("BibKey", Variant(QString())).text();
    borderStyle_ = read("BorderStyle", Variant(int32_t(1))).toLong();
    caseSensitive_ = read("CaseSensitive", Variant(false)).toBool();
    changeColor_ = color("ChangeColor", 255);
    displayName_ = read("DisplayName", Variant(QStringLiteral("Combobox"))).text();
    emptyBackColor_ = color("EmptyBackColor", 0x80000018u);
    setEnabled(read("Enabled", Variant(true)).toBool());
    foreColor_ = color("ForeColor", 0x80000008u);
    const std::shared_ptr<StdFont> ambient = ambientFont();
    const auto font = read("Font", Variant(std::static_pointer_cast<Object>(ambient))).as<StdFont>();
    font_ = font ? font : ambient;
    applyFont();
    text_->setReadOnly(read("Locked", Variant(false)).toBool());
    source_.RecordSource = read("RecordSource", Variant(QString())).text();
    recordSourceKey_ = read("RecordSourceKey", Variant(QString())).text();
    rows_ = read("Rows", Variant(int16_t(8))).toInt();
    ignoreWhere_ = read("IgnoreWhere", Variant(true)).toBool();
    source_.InvisibleColMode = read("InvisibleColMode", Variant(int32_t(1))).toLong();
    source_.InvisibleCols = std::max(0, int(read("InvisibleCols", Variant(int16_t(0))).toInt()));
    showButton_ = read("ShowButton", Variant(false)).toBool();
    button_->setVisible(showButton_);
    showChanges_ = read("ShowChanges", Variant(false)).toBool();
    showDropDown_ = read("ShowDropDown", Variant(true)).toBool();
    source_.TextField = read("TextField", Variant(QString())).text();
    useDelFlag_ = read("UseDelFlag", Variant(false)).toBool();
    source_.ValueField = read("ValueField", Variant(QString())).text();
    source_.FilterField = read("FilterField", Variant(QString())).text();
    nullAllowed_ = read("NullAllowed", Variant(true)).toBool();
    nullText_ = read("NullText", Variant(QString())).text();
    source_.FilterValue = read("FilterValue", Variant::null());
    value_ = Variant::null();
    source_.ParseRecordSource();
    updateButton();
    layoutParts();
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
    write("AutoSearch", Variant(int16_t(autoSearch_)), Variant(int16_t(0)));
    color("BackColor", backColor_, 0x80000005u);
    write("BibKey", Variant(bibKey_), Variant(QString()));
    write("BorderStyle", Variant(borderStyle_), Variant(int32_t(1)));
    write("CaseSensitive", Variant(caseSensitive_), Variant(false));
    color("ChangeColor", changeColor_, 255);
    write("DisplayName", Variant(displayName_), Variant(QStringLiteral("Combobox")));
    color("EmptyBackColor", emptyBackColor_, 0x80000018u);
    write("Enabled", Variant(isEnabled()), Variant(true));
    color("ForeColor", foreColor_, 0x80000008u);
    // Objects compare by identity in the bag: the ambient font's equal is the default.
    const Variant font(std::static_pointer_cast<Object>(font_));
    write("Font", font, sameFont(*font_, *ambientFont()) ? font : Variant());
    write("Locked", Variant(Locked()), Variant(false));
    write("RecordSource", Variant(source_.RecordSource), Variant(QString()));
    write("RecordSourceKey", Variant(recordSourceKey_), Variant(QString()));
    write("Rows", Variant(int16_t(rows_)), Variant(int16_t(8)));
    write("IgnoreWhere", Variant(ignoreWhere_), Variant(true));
    write("InvisibleColMode", Variant(int32_t(source_.InvisibleColMode)), Variant(int32_t(1)));
    write("InvisibleCols", Variant(int16_t(source_.InvisibleCols)), Variant(int16_t(0)));
    write("ShowButton", Variant(showButton_), Variant(false));
    write("ShowChanges", Variant(showChanges_), Variant(false));
    write("ShowDropDown", Variant(showDropDown_), Variant(true));
    write("TextField", Variant(source_.TextField), Variant(QString()));
    write("UseDelFlag", Variant(useDelFlag_), Variant(false));
    write("ValueField", Variant(source_.ValueField), Variant(QString()));
    write("FilterField", Variant(source_.FilterField), Variant(QString()));
    write("NullAllowed", Variant(nullAllowed_), Variant(true));
    write("NullText", Variant(nullText_), Variant(QString()));
    write("FilterValue", source_.FilterValue, Variant::null());
    write("Value", value_, Variant::null());
}

} // namespace tv
