#pragma once

#include "catalogue/reports/dbcombosource.h"
#include "platform/component/event.h"

#include <QWidget>

class QLineEdit;

namespace tv {

class Database;
class PropertyBag;
class SysTimer;

// A combo box over one SELECT of the catalogue: the user picks a row, shown by its text column
// and represented by its value column, or types free text, kept as "@" and the text.
// The SQL of the record source is DBComboSource's; this class holds the value, its undo value
// and the text box. Owned by its parent widget; the database is shared.
class DBCombo : public QWidget {
public:
    explicit DBCombo(QWidget* parent = nullptr);
    ~DBCombo() override;

    void setDataBase(std::shared_ptr<Database> db);
    const QString& RecordSource() const { return source_.RecordSource; }
    void setRecordSource(const QString& sql);
    const QString& ValueField() const { return source_.ValueField; }
    void setValueField(const QString& name);
    const QString& TextField() const { return source_.TextField; }
    void setTextField(const QString& name);
    const QString& FilterField() const { return source_.FilterField; }
    void setFilterField(const QString& name);
    const Variant& FilterValue() const { return source_.FilterValue; }
    void setFilterValue(const Variant& value);
    void setNoInitRecordset(bool value);
    int InvisibleColMode() const { return source_.InvisibleColMode; }
    void setInvisibleColMode(int mode);
    int InvisibleCols() const { return source_.InvisibleCols; }
    void setInvisibleCols(int count);

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    bool Locked() const;
    void setLocked(bool value);

    // Stored design values without an effect of their own here.
    QString BibKey;
    int32_t BorderStyle = 1;
    QString DisplayName = QStringLiteral("Combobox");
    QString RecordSourceKey;
    int Rows = 8;
    bool ShowButton = false;
    bool ShowDropDown = true;

    bool IgnoreWhere = true;
    bool UseDelFlag = false;
    bool CaseSensitive = false;
    // 0 free text; 1 and 2 search the text column 1000 ms after the last change; 3 completes
    // the typed text at once from the first matching row.
    int AutoSearch = 0;
    bool NullAllowed = true;
    QString NullText;
    bool HoldOrgValue = false;
    bool ShowChanges = false;
    uint32_t BackColor = 0x80000005u;
    uint32_t EmptyBackColor = 0x80000018u;
    uint32_t ForeColor = 0x80000008u;
    uint32_t ChangeColor = 255;

    const Variant& Value() const { return value_; }
    void setValue(const Variant& value) { SetValue(value, false, true); }
    // The one road by which the value changes: a row array, free text ("@..."), Null, or a key
    // that is looked up (outside the record source's condition too when IgnoreWhere allows).
    void SetValue(Variant v, bool keepUndo, bool allowIgnoreWhere);
    // NullText for Null, the typed text of free text, else the text column of the current row.
    QString Text() const;
    // A column of the current row; Null without a row or for an unknown column.
    Variant FieldValue(const QString& name) const;
    bool Changed() const { return changed_; }
    void setChanged(bool value);
    // False when the value was found only outside the record source's own condition.
    bool InList() const { return inList_; }
    bool Ready() const { return source_.Ready(); }

    // 0 first, 1 previous, 2 next, 3 last row in text order; True when a row was taken.
    bool MoveCursor(int moveMode);
    // Takes the first row whose text begins with `searchText`; False when there is none.
    bool Search(const QString& searchText);
    // Shows the rows in the drop-down list and takes the one the user picks (only while ready).
    void OpenDropDown();
    // Runs a pending delayed search at once; always True.
    bool Validate();
    QLineEdit* txtCombo() const { return text_; }

    Event<const Variant&> Change;
    // The text box's keys, before the control acts on them.
    Event<int& /*KeyCode*/, int& /*Shift*/> Keydown;
    Event<QString> PropertyChanged;
    Event<> BeforeDropDown;
    Event<> HideDropDown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void reparse();
    void textEdited();
    void commitSearch();
    void showText(const QString& text);
    bool isFreeText() const { return value_.isString() && value_.text().startsWith(QLatin1Char('@')); }

    DBComboSource source_;
    QLineEdit* text_ = nullptr;
    Variant value_ = Variant::null();
    Variant undo_ = Variant::null();
    Variant row_ = Variant::null();
    bool inList_ = true;
    bool changed_ = false;
    bool writingText_ = false;
    bool dropDownOpen_ = false;
    // Starts the delayed search 1000 ms after the last change of the text (AutoSearch 1 to 3).
    std::unique_ptr<SysTimer> timer_;
};

} // namespace tv
