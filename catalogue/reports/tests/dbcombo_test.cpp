#include "catalogue/reports/dbcombo.h"
#include "catalogue/reports/dbcombopaint.h"
#include "catalogue/reports/tests/dbcombocatalogue.h"
#include "platform/gui/modfont.h"
#include "platform/gui/wnd.h"
#include "platform/component/propertybag.h"
#include "platform/gui/gdi.h"
#include "platform/gui/keys.h"
#include "platform/gui/systimer.h"

#include "catalogue/reports/dbcombolist.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/listview.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace tv;

namespace {

class ComboTest : public ComboCatalogue {
protected:
    DBCombo combo;
    int changes = 0;

    void SetUp() override
    {
        ComboCatalogue::SetUp();
        combo.Change.connect([this](const Variant&) { ++changes; });
        combo.setNullText(QStringLiteral("(keine)"));
        combo.setDataBase(db);
        combo.setRecordSource(QStringLiteral("SELECT ID, tCategory FROM Category WHERE fDeleted = 0 ORDER BY tCategory"));
        ASSERT_TRUE(combo.Ready());
    }
    int id() const { return combo.Value().toLong(); }
};

} // namespace

TEST_F(ComboTest, FreeTextHasNoRow)
{
    combo.setValue(Variant("@abc"));
    EXPECT_EQ(combo.Text(), QStringLiteral("abc"));
    EXPECT_EQ(combo.txtCombo()->text(), QStringLiteral("abc"));
    EXPECT_TRUE(combo.FieldValue(QStringLiteral("ID")).isNull());
    EXPECT_TRUE(combo.FieldValue(QStringLiteral("tCategory")).isNull());

    combo.setValue(Variant("@a\r\nb"));
    EXPECT_EQ(combo.Value().text(), QStringLiteral("@ab"));
    EXPECT_EQ(changes, 2);
    combo.setValue(Variant("@AB")); // only the case differs
    EXPECT_EQ(changes, 2);

    combo.setValue(Variant::null());
    EXPECT_EQ(combo.txtCombo()->text(), QStringLiteral("(keine)"));
}

TEST_F(ComboTest, AKeyOutsideTheConditionIsShownMarked)
{
    combo.setValue(Variant(int32_t(3)));
    EXPECT_EQ(combo.Text(), QStringLiteral("Demos"));
    EXPECT_TRUE(combo.InList());
    EXPECT_EQ(combo.txtCombo()->palette().color(QPalette::Base), OleToQColor(combo.BackColor()));

    combo.setValue(Variant(int32_t(4)));
    EXPECT_EQ(combo.Text(), QStringLiteral("Games"));
    EXPECT_FALSE(combo.InList());
    EXPECT_EQ(combo.txtCombo()->palette().color(QPalette::Base), OleToQColor(combo.EmptyBackColor()));

    combo.setIgnoreWhere(false);
    combo.setValue(Variant(int32_t(4)));
    EXPECT_TRUE(combo.Value().isNull());
    EXPECT_EQ(combo.Text(), QStringLiteral("(keine)"));
}

TEST_F(ComboTest, KeysStepThroughTheRowsAndUndo)
{
    combo.setValue(Variant(int32_t(3)));
    QTest::keyClick(combo.txtCombo(), Qt::Key_Down);
    EXPECT_EQ(id(), 5);
    EXPECT_TRUE(combo.Changed());
    QTest::keyClick(combo.txtCombo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(id(), 3);
    EXPECT_FALSE(combo.Changed());

    EXPECT_TRUE(combo.MoveCursor(2));
    EXPECT_FALSE(combo.MoveCursor(2)); // Tools is the last row
    EXPECT_EQ(id(), 5);
    QTest::keyClick(combo.txtCombo(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(combo.Text().toUpper(), QStringLiteral("ABC"));
    QTest::keyClick(combo.txtCombo(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(id(), 5);
    combo.setValue(Variant::null());
    EXPECT_TRUE(combo.MoveCursor(1)); // from no value: the first row
    EXPECT_EQ(combo.Text().toUpper(), QStringLiteral("ABC"));
}

TEST_F(ComboTest, HeldUndoValueStaysNull)
{
    DBCombo held;
    held.HoldOrgValue = true;
    held.setDataBase(db);
    held.setRecordSource(QStringLiteral("SELECT ID, tCategory FROM Category"));
    held.setValue(Variant(int32_t(3)));
    EXPECT_TRUE(held.Changed());
    QTest::keyClick(held.txtCombo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(held.Value().isNull());
    EXPECT_FALSE(held.Changed());
}

TEST_F(ComboTest, SearchTakesTheFirstRowByText)
{
    EXPECT_TRUE(combo.Search(QStringLiteral("dem")));
    EXPECT_EQ(id(), 3);
    EXPECT_FALSE(combo.Search(QStringLiteral("zzz")));
    EXPECT_EQ(id(), 3);
}

TEST_F(ComboTest, WithoutRowsAKeyStaysUnresolvedAndTypingIsRefused)
{
    combo.setValue(Variant(int32_t(3)));
    combo.setDataBase(nullptr);
    EXPECT_FALSE(combo.Ready());
    EXPECT_EQ(id(), 3);
    // The row of the earlier source no longer describes the key.
    EXPECT_EQ(combo.Text(), QString());
    QTest::keyClicks(combo.txtCombo(), QStringLiteral("xy"));
    EXPECT_EQ(combo.txtCombo()->text(), QString());

    combo.setInvisibleCols(-3);
    EXPECT_EQ(combo.InvisibleCols(), 0);
}

TEST_F(ComboTest, DesignValuesAreStoredWhenTheyDifferFromTheDefaults)
{
    DBCombo fresh;
    PropertyBag empty;
    fresh.WriteProperties(empty);
    EXPECT_EQ(empty.count(), 0);

    PropertyBag stored;
    stored.WriteProperty(QStringLiteral("RecordSource"), Variant(combo.RecordSource()));
    stored.WriteProperty(QStringLiteral("InvisibleCols"), Variant(int16_t(8)));
    stored.WriteProperty(QStringLiteral("NullAllowed"), Variant(false));
    stored.WriteProperty(QStringLiteral("Value"), Variant(int32_t(3)));
    DBCombo loaded;
    loaded.setDataBase(db);
    loaded.ReadProperties(stored);
    EXPECT_EQ(loaded.InvisibleCols(), 8);
    EXPECT_EQ(loaded.Text(), QStringLiteral("Demos"));

    PropertyBag written;
    loaded.WriteProperties(written);
    // The record source's first and second columns were filled in as value and text fields.
    EXPECT_EQ(written.keys(), (QStringList{QStringLiteral("RecordSource"), QStringLiteral("InvisibleCols"),
                                           QStringLiteral("TextField"), QStringLiteral("ValueField"),
                                           QStringLiteral("NullAllowed"), QStringLiteral("Value")}));
    EXPECT_EQ(written.ReadProperty(QStringLiteral("InvisibleCols")).toLong(), 8);
    EXPECT_EQ(written.ReadProperty(QStringLiteral("Value")).toLong(), 3);
}

TEST_F(ComboTest, TypedTextIsKeptOrSearched)
{
    SysTimer::SetManualMode(true);
    struct Case { int mode; const char* typed; const char* text; Variant value; const char* selected; };
    const Case cases[] = {
        {0, "xy", "xy", Variant("@xy"), ""},
        {3, "de", "Demos", Variant(int32_t(3)), "mos"},
        {3, "zz", "(keine)", Variant::null(), ""},  // no row: the text box shows the empty value
        {1, "too", "Tools", Variant(int32_t(5)), ""},  // after the delay
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        combo.setAutoSearch(c.mode);
        combo.setValue(Variant::null());
        combo.txtCombo()->selectAll(); // typing replaces the empty value's text
        QTest::keyClicks(combo.txtCombo(), QString::fromUtf8(c.typed));
        if (c.mode == 1) {
            EXPECT_TRUE(combo.Value().isNull());
            EXPECT_TRUE(combo.Validate());
        }
        EXPECT_EQ(combo.txtCombo()->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(combo.Value().text(), c.value.text());
        EXPECT_EQ(combo.txtCombo()->selectedText(), QString::fromUtf8(c.selected));
    }
    SysTimer::TickAll();
    SysTimer::SetManualMode(false);
}

TEST_F(ComboTest, AFileNameWithAnApostropheIsFound)
{
    for (const char* sql : {"CREATE TABLE Mainfiles (ID INTEGER PRIMARY KEY, tFile TEXT COLLATE TVTEXT)",
                            "INSERT INTO Mainfiles VALUES (1, 'Joe''s Game.atr')",
                            "INSERT INTO Mainfiles VALUES (2, 'Joe?s Game.atr')"})
        ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql;
    DBCombo files;
    files.setNullText(QStringLiteral("(keine)"));
    files.setDataBase(db);
    // The selection window's file combo: the name is both value and text.
    files.setRecordSource(QStringLiteral("Select Distinct tFile,tFile from Mainfiles"));
    files.setValue(Variant(QStringLiteral("Joe's Game.atr")));
    EXPECT_EQ(files.Value().text(), QStringLiteral("Joe's Game.atr"));
    EXPECT_EQ(files.Text(), QStringLiteral("Joe's Game.atr"));
    EXPECT_TRUE(files.Search(QStringLiteral("joe's")));
    EXPECT_EQ(files.Text(), QStringLiteral("Joe's Game.atr"));
}

// ---- the control as it is drawn and driven ----------------------------------------------------

TEST(DBComboLayout, PartsFollowTheBorderStyleAndTheButton)
{
    struct Case { const char* name; int border; bool button; bool arrow; QRect frame, arrowRect, text; };
    // A 200 x 25 control, arrows 16 wide, a 20 pixels wide button.
    const Case cases[] = {
        {"sunken frame", 1, false, true, QRect(0, 0, 200, 25), QRect(182, 2, 16, 21), QRect(4, 4, 178, 0)},
        {"with the button", 1, true, true, QRect(0, 0, 180, 25), QRect(162, 2, 16, 21), QRect(4, 4, 158, 0)},
        {"no border", 0, false, true, QRect(-2, -2, 204, 29), QRect(184, 0, 16, 25), QRect(2, 2, 182, 0)},
        {"no arrow", 1, false, false, QRect(0, 0, 200, 25), QRect(182, 2, 16, 21), QRect(4, 4, 194, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ComboLayout l = LayoutCombo(QSize(200, 25), c.border, c.button, c.arrow, 16, 20);
        EXPECT_EQ(l.frame, c.frame);
        EXPECT_EQ(l.arrow, c.arrowRect);
        EXPECT_EQ(l.text.topLeft(), c.text.topLeft());
        EXPECT_EQ(l.text.width(), c.text.width());
        EXPECT_EQ(l.button, QRect(180, 0, 20, 25));
    }
}

TEST_F(ShownCombo, ItLooksLikeAComboBoxAndItsArrowGreysWhenLocked)
{
    const QImage shot = combo->grab().toImage();
    const QRect frame = combo->frameRect(), arrow = combo->arrowRect();
    // The sunken frame: the outer ring's top-left in the shadow colour, bottom-right lit.
    EXPECT_EQ(QColor(shot.pixel(frame.left() + 5, frame.top())), ToQColor(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(QColor(shot.pixel(frame.left(), frame.top() + 5)), ToQColor(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(QColor(shot.pixel(frame.left() + 5, frame.bottom())), ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    // The arrow sits inside the frame at the right, beside the text box, with a dark glyph.
    EXPECT_EQ(arrow.right(), frame.right() - 2);
    EXPECT_EQ(combo->txtCombo()->geometry().right() + 1, arrow.left());
    auto glyph = [&](const QImage& image, const QColor& colour) {
        int n = 0;
        for (int y = arrow.top() + 2; y < arrow.bottom() - 1; ++y)
            for (int x = arrow.left() + 2; x < arrow.right() - 1; ++x)
                if (QColor(image.pixel(x, y)) == colour) ++n;
        return n;
    };
    EXPECT_GT(glyph(shot, ToQColor(GetSysColor(COLOR_BTNTEXT))), 6);
    combo->setLocked(true);
    const QImage locked = combo->grab().toImage();
    EXPECT_EQ(glyph(locked, ToQColor(GetSysColor(COLOR_BTNTEXT))), 0);
    EXPECT_GT(glyph(locked, ToQColor(GetSysColor(COLOR_GRAYTEXT))), 6);

    // The "..." button takes its place at the right edge, as high as the control.
    combo->setShowButton(true);
    EXPECT_TRUE(combo->cmdButton()->isVisible());
    EXPECT_EQ(combo->cmdButton()->geometry().right(), combo->width() - 1);
    EXPECT_EQ(combo->cmdButton()->height(), combo->height());
    EXPECT_LT(combo->arrowRect().right(), combo->cmdButton()->x());
    EXPECT_FALSE(combo->cmdButton()->isEnabled());   // locked
}

TEST_F(ShownCombo, TheFontSetsTheHeight)
{
    auto big = std::make_shared<StdFont>(*combo->Font());
    big->Size = 20;
    combo->setFont(big);
    const int textHeight = QFontMetrics(big->toQFont()).height() + 2;
    EXPECT_EQ(combo->txtCombo()->height(), textHeight);
    EXPECT_EQ(combo->height(), textHeight + 4 + 2);
    EXPECT_EQ(combo->txtCombo()->font().pointSizeF(), big->toQFont().pointSizeF());
    combo->setBorderStyle(0);
    EXPECT_EQ(combo->height(), textHeight + 2);
}

TEST_F(ShownCombo, TheTextBoxReportsItsClicksAndKeysWithTheListsKeyCodes)
{
    QStringList log;
    combo->Click.connect([&] { log << QStringLiteral("Click"); });
    combo->DblClick.connect([&] { log << QStringLiteral("DblClick"); });
    combo->Keydown.connect([&](int& k, int& s) { log << QStringLiteral("Keydown %1 %2").arg(k).arg(s); });
    combo->KeyPress.connect([&](int& a) {
        log << QStringLiteral("KeyPress %1").arg(a);
        if (a == 'x') a = 'y';   // the host may change what is typed
    });
    combo->KeyUp.connect([&](int& k, int& s) { log << QStringLiteral("KeyUp %1 %2").arg(k).arg(s); });
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, inTop(combo->txtCombo()->geometry().center()));
    QTest::mouseDClick(top.windowHandle(), Qt::LeftButton, {}, inTop(combo->txtCombo()->geometry().center()));
    EXPECT_EQ(log.filter(QStringLiteral("Click")).first(), QStringLiteral("Click"));
    EXPECT_TRUE(log.contains(QStringLiteral("DblClick")));
    log.clear();
    combo->txtCombo()->selectAll();
    QTest::keyClick(top.windowHandle(), Qt::Key_X);
    QTest::keyClick(top.windowHandle(), Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(log, (QStringList{QStringLiteral("Keydown 88 0"), QStringLiteral("KeyPress 120"), QStringLiteral("KeyUp 88 0"),
                                QStringLiteral("Keydown 16 1"), QStringLiteral("Keydown 36 1"), QStringLiteral("KeyUp 36 1"),
                                QStringLiteral("KeyUp 16 0")}));
    EXPECT_EQ(combo->Value().text(), QStringLiteral("@y"));
}

TEST_F(ShownCombo, ButtonClickOffersTheValueByReference)
{
    combo->setShowButton(true);
    combo->setValue(Variant(int32_t(3)));
    QStringList keys;
    Variant answer = Variant(int32_t(5));
    combo->ButtonClick.connect([&](const QString& key, Variant& value) {
        keys << key + QLatin1Char(' ') + value.text();
        value = answer;
    });
    QTest::mouseClick(combo->cmdButton(), Qt::LeftButton);
    EXPECT_EQ(combo->Value().toLong(), 5);   // looked up and shown
    EXPECT_EQ(combo->Text(), QStringLiteral("Tools"));
    combo->setBibKey(QStringLiteral("Kategorien"));
    answer = Variant(int32_t(7));
    QTest::mouseClick(combo->cmdButton(), Qt::LeftButton);
    EXPECT_EQ(combo->Text(), QStringLiteral("Art"));
    // Ctrl+B names the table; what the handler leaves is kept as it stands.
    answer = Variant(int32_t(3));
    QTest::keyClick(top.windowHandle(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(combo->Value().toLong(), 3);
    EXPECT_EQ(combo->Text(), QStringLiteral("Art"));
    EXPECT_EQ(combo->txtCombo()->text(), QStringLiteral("Art"));
    EXPECT_EQ(keys, (QStringList{QStringLiteral("Category 3"), QStringLiteral("Kategorien 5"), QStringLiteral("Category 7")}));
}

TEST_F(ShownCombo, FocusSelectsTheTextAndTakesPendingText)
{
    QLineEdit other(&top);
    other.setGeometry(10, 200, 100, 20);
    other.show();
    combo->setValue(Variant(int32_t(3)));
    other.setFocus();
    combo->SendText(QStringLiteral("Mu"));
    EXPECT_EQ(combo->txtCombo()->text(), QStringLiteral("Demos"));   // kept until the focus comes
    combo->txtCombo()->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(combo->txtCombo()->text(), QStringLiteral("Mu"));
    combo->SendText(QStringLiteral("sic"));   // with the focus: at once
    EXPECT_EQ(combo->txtCombo()->text(), QStringLiteral("Music"));

    // Locked and without arrow, the combo passes the focus on.
    other.setFocus();
    combo->setShowDropDown(false);
    combo->setLocked(true);
    combo->txtCombo()->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(combo->txtCombo()->hasFocus());
}

TEST_F(ShownCombo, ColoursShowAtOnceAndIgnoreWhereResolvesTheValueAgain)
{
    combo->setBackColor(0x00FF00u);
    EXPECT_EQ(combo->txtCombo()->palette().color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_EQ(QColor(combo->grab().toImage().pixel(combo->frameRect().center().x(), 3)), QColor(0, 255, 0));
    combo->setForeColor(0x0000FFu);
    EXPECT_EQ(combo->txtCombo()->palette().color(QPalette::Text), QColor(255, 0, 0));
    combo->setShowChanges(true);
    combo->setValue(Variant(int32_t(3)));
    QTest::keyClick(top.windowHandle(), Qt::Key_Down);
    combo->setChangeColor(0x00FFFFu);
    EXPECT_EQ(combo->txtCombo()->palette().color(QPalette::Text), QColor(255, 255, 0));

    // A key the record source's condition leaves out: found under IgnoreWhere, else dropped.
    combo->setRecordSource(QStringLiteral("SELECT ID, tCategory FROM Category WHERE fDeleted = 0"));
    combo->setValue(Variant(int32_t(4)));
    EXPECT_EQ(combo->Text(), QStringLiteral("Games"));
    combo->setEmptyBackColor(0x0000FFu);
    EXPECT_EQ(combo->txtCombo()->palette().color(QPalette::Base), QColor(255, 0, 0));
    combo->setIgnoreWhere(false);
    EXPECT_TRUE(combo->Value().isNull());
    EXPECT_EQ(combo->Text(), QStringLiteral("(keine)"));

    combo->setLockUpdate(true);
    EXPECT_FALSE(combo->LockUpdate());
    EXPECT_NE(combo->hwnd(), 0);
    EXPECT_EQ(WidgetOf(combo->hwnd()), combo);
}

TEST_F(ShownCombo, EveryStoredPropertyRoundTrips)
{
    PropertyBag bag;
    auto font = std::make_shared<StdFont>(*combo->Font());
    font->Bold = true;
    combo->setFont(font);
    combo->setAutoSearch(2);
    combo->setBorderStyle(0);
    combo->setShowButton(true);
    combo->setRows(12);
    combo->setBibKey(QStringLiteral("B"));
    combo->setEmptyBackColor(0x123456u);
    combo->WriteProperties(bag);
    for (const char* key : {"Font", "AutoSearch", "BorderStyle", "ShowButton", "Rows", "BibKey", "EmptyBackColor"})
        EXPECT_TRUE(bag.contains(QString::fromLatin1(key))) << key;
    EXPECT_FALSE(bag.contains(QStringLiteral("ForeColor")));

    DBCombo loaded(&top);
    loaded.setDataBase(db);
    loaded.ReadProperties(bag);
    EXPECT_TRUE(loaded.Font()->Bold);
    EXPECT_EQ(loaded.AutoSearch(), 2);
    EXPECT_EQ(loaded.BorderStyle(), 0);
    EXPECT_TRUE(loaded.ShowButton());
    EXPECT_EQ(loaded.Rows(), 12);
    EXPECT_EQ(loaded.BibKey(), QStringLiteral("B"));
    EXPECT_EQ(loaded.EmptyBackColor(), 0x123456u);
    PropertyBag again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again.keys(), bag.keys());
}
