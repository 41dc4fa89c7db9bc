#pragma once

#include "catalogue/reports/dbcombosource.h"
#include "platform/component/event.h"
#include "platform/gui/gdi.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tv {

class Database;
class PropertyBag;
class StdFont;
class SysTimer;

// A combo box over one SELECT of the catalogue: the user picks a row, shown by its text column
// and represented by its value column, or types free text, kept as "@" and the text.
// It is a text box in a sunken frame with a drawn drop-down arrow and an optional "..."
// button; the arrow, F4 or Alt+Up/Down open the drop-down list (frmDBCombo).
// The SQL of the record source is DBComboSource's; this class holds the value, its undo value,
// the text box and the keys. Owned by its parent widget; the database is shared.
class DBCombo : public QWidget {
public:
    explicit DBCombo(QWidget* parent = nullptr);
    ~DBCombo() override;

    // ---- record source ------------------------------------------------------------------
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
    // The table the deletion flag and ButtonClick name.
    const QString& TableName() const { return source_.TableName(); }

    // ---- persistence --------------------------------------------------------------------
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // ---- look ---------------------------------------------------------------------------
    // 1: a sunken frame around text box and arrow; 0: none.
    int32_t BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int32_t style);
    bool ShowButton() const { return showButton_; }
    void setShowButton(bool on);
    bool ShowDropDown() const { return showDropDown_; }
    void setShowDropDown(bool on);
    // The font of text box and button; the control's height follows it.
    std::shared_ptr<StdFont> Font() const { return font_; }
    void setFont(std::shared_ptr<StdFont> font);
    bool Locked() const;
    void setLocked(bool value);
    // Colours (OLE colours); each change shows at once.
    uint32_t BackColor() const { return backColor_; }
    void setBackColor(uint32_t color);
    uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(uint32_t color);
    uint32_t EmptyBackColor() const { return emptyBackColor_; }
    void setEmptyBackColor(uint32_t color);
    uint32_t ChangeColor() const { return changeColor_; }
    void setChangeColor(uint32_t color);
    bool NullAllowed() const { return nullAllowed_; }
    void setNullAllowed(bool on);
    const QString& NullText() const { return nullText_; }
    void setNullText(const QString& text);

    // ---- behaviour ----------------------------------------------------------------------
    // 0 free text; 1 and 2 search the text column 1000 ms after the last change (2 also
    // marks the search column in the drop-down and offers its sort entries); 3 completes the
    // typed text at once from the first matching row.
    int AutoSearch() const { return autoSearch_; }
    void setAutoSearch(int mode);
    bool CaseSensitive() const { return caseSensitive_; }
    void setCaseSensitive(bool on);
    bool IgnoreWhere() const { return ignoreWhere_; }
    // Resolves the value again under the new rule.
    void setIgnoreWhere(bool on);
    bool UseDelFlag() const { return useDelFlag_; }
    void setUseDelFlag(bool on);
    bool ShowChanges() const { return showChanges_; }
    void setShowChanges(bool on);
    int Rows() const { return rows_; }
    void setRows(int rows);
    const QString& BibKey() const { return bibKey_; }
    void setBibKey(const QString& key);
    const QString& DisplayName() const { return displayName_; }
    void setDisplayName(const QString& name);
    const QString& RecordSourceKey() const { return recordSourceKey_; }
    void setRecordSourceKey(const QString& key);
    bool HoldOrgValue = false;
    // Kept for the hosts that set it; updates are never held back.
    bool LockUpdate() const { return false; }
    void setLockUpdate(bool) {}
    HandleId hwnd();

    // ---- value --------------------------------------------------------------------------
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
    // Replaces the text box's selection at once with the focus, else when the focus comes.
    void SendText(const QString& text);
    // Shows the rows in the drop-down list and takes the one the user picks (only while ready).
    void OpenDropDown();
    // Runs a pending delayed search at once; always True.
    bool Validate();
    QLineEdit* txtCombo() const { return text_; }
    QPushButton* cmdButton() const { return button_; }
    // Where the frame and the arrow are drawn (pixels of the control).
    QRect frameRect() const { return frame_; }
    QRect arrowRect() const { return arrow_; }
    bool dropDownOpen() const { return dropDownOpen_; }

    // ---- events -------------------------------------------------------------------------
    Event<> Click;
    Event<> DblClick;
    Event<const Variant&> Change;
    // The "..." button or Ctrl+B: a key naming what to edit, and the value, which the
    // handler may replace.
    Event<const QString& /*key*/, Variant& /*value*/> ButtonClick;
    // The text box's keys, before the control acts on them; codes and masks as the report
    // list passes them (virtual-key numbers; 1 Shift, 2 Ctrl, 4 Alt).
    Event<int& /*KeyCode*/, int& /*Shift*/> Keydown;
    Event<int& /*KeyAscii*/> KeyPress;
    Event<int& /*KeyCode*/, int& /*Shift*/> KeyUp;
    Event<> BeforeDropDown;
    Event<> HideDropDown;
    // A stored property changed (by its bag key).
    Event<QString> PropertyChanged;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void changed(const char* key) { PropertyChanged.raise(QString::fromLatin1(key)); }
    void reparse();
    void textEdited();
    void commitSearch();
    void showText(const QString& text);
    // Background and text colours by the value's state; repaints.
    void recolour();
    void applyFont();
    void layoutParts();
    // Text box height and button width in the control's font; the control's own height.
    int textBoxHeight() const;
    int buttonWidth() const;
    int controlHeight() const;
    void updateButton();
    bool keyDown(QKeyEvent* key);
    bool keyPress(QKeyEvent* key);
    void focusEntered();
    void focusLeft();
    void buttonClicked();
    bool isFreeText() const { return value_.isString() && value_.text().startsWith(QLatin1Char('@')); }
    std::shared_ptr<StdFont> ambientFont() const;

    DBComboSource source_;
    QLineEdit* text_ = nullptr;
    QPushButton* button_ = nullptr;
    Variant value_ = Variant::null();
    Variant undo_ = Variant::null();
    Variant row_ = Variant::null();
    bool inList_ = true;
    bool changed_ = false;
    bool writingText_ = false;
    bool dropDownOpen_ = false;
    bool hasFocus_ = false;
    bool shown_ = false;
    bool suppressKey_ = false;
    bool arrowPressed_ = false;
    bool inLayout_ = false;
    QString pendingText_;
    QRect frame_, arrow_;
    // Starts the delayed search 1000 ms after the last change of the text (AutoSearch 1 to 3).
    std::unique_ptr<SysTimer> timer_;

    int autoSearch_ = 0;
    uint32_t backColor_ = 0x80000005u;
    QString bibKey_;
    int32_t borderStyle_ = 1;
    bool caseSensitive_ = false;
    uint32_t changeColor_ = 255;
    QString displayName_ = QStringLiteral("Combobox");
    uint32_t emptyBackColor_ = 0x80000018u;
    uint32_t foreColor_ = 0x80000008u;
    std::shared_ptr<StdFont> font_;
    QString recordSourceKey_;
    int rows_ = 8;
    bool ignoreWhere_ = true;
    bool showButton_ = false;
    bool showChanges_ = false;
    bool showDropDown_ = true;
    bool useDelFlag_ = false;
    bool nullAllowed_ = true;
    QString nullText_;
};

} // namespace tv
