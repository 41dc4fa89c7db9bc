#include "catalogue/reports/dbcombo.h"
#include "catalogue/reports/tests/dbcombocatalogue.h"
#include "platform/component/propertybag.h"
#include "platform/gui/gdi.h"
#include "platform/gui/keys.h"
#include "platform/gui/systimer.h"

#include "catalogue/reports/dbcombolist.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/listview.h"

#include <QLineEdit>
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
        combo.NullText = QStringLiteral("(keine)");
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
    EXPECT_EQ(combo.txtCombo()->palette().color(QPalette::Base), OleToQColor(combo.BackColor));

    combo.setValue(Variant(int32_t(4)));
    EXPECT_EQ(combo.Text(), QStringLiteral("Games"));
    EXPECT_FALSE(combo.InList());
    EXPECT_EQ(combo.txtCombo()->palette().color(QPalette::Base), OleToQColor(combo.EmptyBackColor));

    combo.IgnoreWhere = false;
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
        combo.AutoSearch = c.mode;
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

TEST_F(ComboTest, TheDropDownOpensOnTheTypedTextAndTakesTheChosenRow)
{
    combo.resize(300, 24);
    combo.setValue(Variant("@to"));
    struct Case { int key; int expectedRows; const char* value; };
    // Escape keeps the value; Return takes the row the list opened on.
    for (const Case& c : {Case{VK_ESCAPE, 4, "@to"}, Case{VK_RETURN, 4, "5"}}) {
        SCOPED_TRACE(c.value);
        int rows = -1, width = -1;
        QTimer::singleShot(0, [&] {
            auto* list = combo.findChild<frmDBCombo*>();
            ASSERT_NE(list, nullptr);
            rows = list->srpCombo()->ItemCount();
            width = list->width();
            int16_t key = int16_t(c.key), shift = 0;
            list->srpCombo()->grid()->KeyDown.raise(key, shift);
        });
        QTest::keyClick(combo.txtCombo(), Qt::Key_F4);
        EXPECT_EQ(rows, c.expectedRows);  // the deleted category is left out
        EXPECT_EQ(width, 300);           // as wide as the combo at least
        EXPECT_EQ(combo.Value().text(), QString::fromUtf8(c.value));
    }
    EXPECT_EQ(combo.findChild<frmDBCombo*>(), nullptr);
}

TEST_F(ComboTest, AFileNameWithAnApostropheIsFound)
{
    for (const char* sql : {"CREATE TABLE Mainfiles (ID INTEGER PRIMARY KEY, tFile TEXT COLLATE TVTEXT)",
                            "INSERT INTO Mainfiles VALUES (1, 'Joe''s Game.atr')",
                            "INSERT INTO Mainfiles VALUES (2, 'Joe?s Game.atr')"})
        ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql;
    DBCombo files;
    files.NullText = QStringLiteral("(keine)");
    files.setDataBase(db);
    // The selection window's file combo: the name is both value and text.
    files.setRecordSource(QStringLiteral("Select Distinct tFile,tFile from Mainfiles"));
    files.setValue(Variant(QStringLiteral("Joe's Game.atr")));
    EXPECT_EQ(files.Value().text(), QStringLiteral("Joe's Game.atr"));
    EXPECT_EQ(files.Text(), QStringLiteral("Joe's Game.atr"));
    EXPECT_TRUE(files.Search(QStringLiteral("joe's")));
    EXPECT_EQ(files.Text(), QStringLiteral("Joe's Game.atr"));
}
