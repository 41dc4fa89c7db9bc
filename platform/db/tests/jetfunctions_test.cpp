#include "dbfixture.h"

#include "platform/db/jetfunctions.h"

using namespace tv;

TEST(JetLike, PatternsTable)
{
    struct Case { const char* text; const char* pattern; bool match; };
    const Case cases[] = {
        {"Boulder.ATR", "*.atr", true},   {"Boulder.ATR", "*.at", false},  {"Boulder", "B?ulder", true},
        {"Disk 2", "Disk #", true},       {"Disk X", "Disk #", false},     {"abc", "[a-c]bc", true},
        {"dbc", "[!a-c]bc", true},        {"abc", "[!a-c]bc", false},      {"a*c", "a[*]c", true},
        {"abxc", "a[*]c", false},         {"Ärger", "ärg*", true},         {"STRASSE", "*stra*", true},
        {"", "*", true},                  {"", "?", false},                {"aaa", "*a*a*a*", true},
        {"ab", "*a*a*", false},          {"atr", "*.atr", false},          {".ATR", "*.atr", true},
        {"Spiel.ÄTR", "*.ätr", true},     {"Spiel.ATR", "*.ätr", false},
        // Characters enclosed in brackets match themselves: how the search passes typed text.
        {"Game #1", "*[#]1*", true},      {"Game 11", "*[#]1*", false},    {"x[a]y", "*[[]a]*", true},
        {"xay", "*[[]a]*", false},        {"a?", "*a[?]*", true},          {"ab", "*a[?]*", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " like " + c.pattern);
        EXPECT_EQ(JetLike(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.match);
    }
}

TEST_P(DbFixture, FunctionsThroughSql)
{
    addFiles();
    struct Case { const char* expression; Variant expected; };
    const Case cases[] = {
        {"iif(isNull(lSize), 'leer', lSize & ' B')", Variant("leer")},
        {"'a' & Null & 1 & 2.5", Variant("a12.5")},
        {"ucase('ärger') & lcase('ÄRGER')", Variant("ÄRGERärger")},
        {"Left('Boulder', 3) & Right('Boulder', 2) & mid('Boulder', 2, 3) & mid('Boulder', 5)", Variant("Boueroulder")},
        {"len('Ärger')", Variant(int32_t(5))},
        {"clng(2.5) & cint(3.5) & clng(-2.5)", Variant("24-2")},
        {"int(45001.75) & int(-1.5)", Variant("45001-2")},
        {"val('12abc') + val(' 3 4') + val('') + val('1e2x')", Variant(int32_t(146))},
        {"format(cdate('31.12.2023 18:00:00'), 'dd.MM.yyyy')", Variant("31.12.2023")},
        {"format(#12/31/2023 6:00:00 pm#, 'dd.MM.yyyy hh:nn')", Variant("31.12.2023 18:00")},
        {"format(tsCreated, 'dd.MM.yyyy') & format(5, '00')", Variant("05")},
        {"iif('Ärger' = 'ärger' collate TVTEXT, True, False)", Variant(int32_t(-1))},
        {"iif('Ärger' like 'ÄR*', 1, 0)", Variant(int32_t(1))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        auto rs = db->OpenRecordset(QStringLiteral("Select %1 as v From Files where ID=4").arg(QString::fromUtf8(c.expression)));
        ASSERT_TRUE(rs) << db->LastError().description.toStdString();
        EXPECT_EQ(rs->Fields("v").Value(), c.expected);
    }
    EXPECT_TRUE(db->Execute(QStringLiteral("Select clng('abc') From Files")));
}

TEST_P(DbFixture, TextColumnsCompareAndSortWithoutCaseInUnicode)
{
    addFiles();
    auto rs = db->OpenRecordset(QStringLiteral("Select tCategory From Category where tCategory = 'ärger'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1);
    rs = db->OpenRecordset(QStringLiteral("Select tFile From Files order by tFile"));
    ASSERT_TRUE(rs);
    QStringList order;
    for (; !rs->IsEOF(); rs->MoveNext()) order << rs->Fields(0).Value().toString();
    EXPECT_EQ(order, QStringList({"Boulder.ATR", "readme.txt", "river.xex", "Zork.ATR"}));
}

// Lengths and dates far outside any text or calendar give a plain result, never undefined
// behaviour (conversions of such doubles to integers are).
TEST_P(DbFixture, FunctionsTakeHugeLengthsAndDatesOutOfRange)
{
    addFiles();
    struct Case { const char* expression; Variant expected; };
    const Case cases[] = {
        {"Left('abc', 1e300) & '|' & Right('abc', 1e300)", Variant("abc|abc")},
        {"Left('abc', 9e18) & '|' & Right('abc', 1e19)", Variant("abc|abc")},
        {"mid('abc', 1e19) & '|' & mid('abc', 2, 1e300) & '|' & mid('abc', 4)", Variant("|bc|")},
        {"format(1e300, 'd') & '|' & format(-1e300, 'dd.MM.yyyy') & '|' & format(2958466, 'yyyy')", Variant("||")},
        {"format(2958465.5, 'dd.MM.yyyy') & format(-657434, 'yyyy')", Variant("31.12.9999100")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        auto rs = db->OpenRecordset(QStringLiteral("Select %1 as v From Files where ID=4").arg(QString::fromUtf8(c.expression)));
        ASSERT_TRUE(rs) << db->LastError().description.toStdString();
        EXPECT_EQ(rs->Fields("v").Value(), c.expected);
    }
    // Not a number is no length.
    EXPECT_TRUE(db->Execute(QStringLiteral("Select Left('abc', 1e308 * 10 - 1e308 * 10) From Files")));
}

// Umlauts sort with their base letter, through an index on the column too, and a lookup
// through that index stays case-blind.
TEST_P(DbFixture, TextSortsAsGermanSortsThroughItsIndex)
{
    exec("CREATE INDEX Files_C1 ON Files (tFile)");
    exec("INSERT INTO Files (ID, tFile) VALUES (11, 'Kolonie'), (12, 'Zork'), (13, 'Käferjagd'), (14, 'Ärger'),"
         " (15, 'Boulder'), (16, 'ÖLFELD'), (17, 'oase')");
    const auto column = [this](const QString& sql) {
        QStringList out;
        auto rs = db->OpenRecordset(sql);
        if (!rs) ADD_FAILURE() << db->LastError().description.toStdString();
        for (; rs && !rs->IsEOF(); rs->MoveNext()) out << rs->Fields(0).Value().toString();
        return out;
    };
    const QStringList sorted{"Ärger", "Boulder", "Käferjagd", "Kolonie", "oase", "ÖLFELD", "Zork"};
    EXPECT_EQ(column(QStringLiteral("Select tFile From Files where ID > 10 order by tFile")), sorted);
    EXPECT_EQ(column(QStringLiteral("Select tFile From Files INDEXED BY Files_C1 where tFile > '' and ID > 10")), sorted);
    EXPECT_EQ(column(QStringLiteral("Select tFile From Files INDEXED BY Files_C1 where tFile = 'käferJAGD'")),
              QStringList{"Käferjagd"});
    EXPECT_EQ(column(QStringLiteral("Select tFile From Files where tFile between 'K' and 'Kz' order by tFile")),
              (QStringList{"Käferjagd", "Kolonie"}));
}

// Like in SQL takes a short way for texts that are all ASCII: it gives what JetLike gives, for
// ASCII and other texts, numbers, and patterns with letters that fold to ASCII ones.
TEST_P(DbFixture, LikeInSqlMatchesAsJetLike)
{
    const char* texts[] = {"Boulder Dash.ATR", "RIVER raid", "Ärger.xex", "disk 12", "a[b]c", "", "K-9", "x*y"};
    const char* patterns[] = {"*.atr", "*RAID*", "ärg*", "*ÄRGER*", "disk ##", "*[[]b]*", "[!a-c]*", "*",
                              "?", "\u212A-9", "*[*]*", "*[k-l]*", "[A-D]*"};
    for (const char* text : texts)
        for (const char* pattern : patterns) {
            SCOPED_TRACE(std::string(text) + " like " + pattern);
            auto q = db->CreateQueryDef(QString(), QStringLiteral("PARAMETERS t Text, p Text; Select iif(t like p, 1, 0) as v"));
            ASSERT_TRUE(q);
            q->Parameters(0).Value = QString::fromUtf8(text);
            q->Parameters(1).Value = QString::fromUtf8(pattern);
            auto rs = q->OpenRecordset();
            ASSERT_TRUE(rs);
            EXPECT_EQ(rs->Fields("v").Value().toLong() == 1, JetLike(QString::fromUtf8(text), QString::fromUtf8(pattern)));
        }
    auto rs = db->OpenRecordset(QStringLiteral("Select iif(1234 like '1#3*', 1, 0) as v"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields("v").Value(), Variant(int32_t(1)));
}
