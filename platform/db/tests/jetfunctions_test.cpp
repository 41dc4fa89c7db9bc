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
        {"ab", "*a*a*", false},
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

// A condition "like" in a query gives the rows the pattern rules give, whichever way the
// engine matches a text (an ASCII text as it is stored, "*text*" as a substring, any other
// text as Unicode), and no row for a Null.
TEST_P(DbFixture, LikeInQueriesMatchesAsThePatternRules)
{
    exec("CREATE TABLE Paths (ID INTEGER PRIMARY KEY, tPath VARCHAR(255))");
    const char* const texts[] = {
        "/home/atari/Q/Boulder.ATR", "/home/atari/q/boulder.atr", "/HOME/ATARI/QUIZ/Disk 2.atr", "/x/Q",
        "Q/", "", "/a/Ärger im Labor/Q/x.cas", "/a/ärger/disk #1 [a].xex", "/a/STRASSE/k.bin",
        "/a/\u212Ailo/x" /* a Kelvin sign, folded to "k" */, "kilo", "/games/it's/IT'S.XEX", "a?b", "/x/Disk 1\\INNER.ATR"};
    int id = 0;
    std::vector<QString> stored;
    for (const char* t : texts) {
        const QString text = QString::fromUtf8(t);
        stored.push_back(text);
        QString quoted = text;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        ASSERT_FALSE(db->Execute(QStringLiteral("INSERT INTO Paths VALUES (%1, '%2')").arg(++id).arg(quoted)));
    }
    exec("INSERT INTO Paths VALUES (99, NULL)");
    struct Case { const char* pattern; std::vector<int> ids; };
    const Case cases[] = {
        {"*/Q/*", {1, 2, 7}},
        {"*/q*", {1, 2, 3, 4, 7}},
        {"*", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"*q*", {1, 2, 3, 4, 5, 7}},
        {"Q*", {5}},
        {"*Q", {4}},
        {"?/", {5}},
        {"*disk #*", {3, 14}},
        {"*2.ATR", {3}},
        {"*disk [#]1*", {8}},
        {"*[[]a]*", {8}},
        {"*a[?]b*", {13}},
        {"[!/]*", {5, 11, 13}},
        {"*ärger*", {7, 8}},
        {"*ÄRGER*", {7, 8}},
        {"*strasse*", {9}},
        {"*kilo*", {10, 11}},
        {"*\\*", {14}},
        {"*it''s*", {12}},
        {"*[P-R]/*", {1, 2, 5, 7, 8}},
        {"", {6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        auto rs = db->OpenRecordset(QStringLiteral("Select ID From Paths where tPath like '%1' order by ID").arg(QString::fromUtf8(c.pattern)));
        ASSERT_TRUE(rs) << db->LastError().description.toStdString();
        std::vector<int> ids;
        for (; !rs->IsEOF(); rs->MoveNext()) ids.push_back(int(rs->Fields(0).Value().toLong()));
        EXPECT_EQ(ids, c.ids);
        // The same as the rules give a text apart from any query.
        QString pattern = QString::fromUtf8(c.pattern).replace(QStringLiteral("''"), QStringLiteral("'"));
        std::vector<int> apart;
        for (size_t i = 0; i < stored.size(); ++i)
            if (JetLike(stored[i], pattern)) apart.push_back(int(i) + 1);
        EXPECT_EQ(apart, c.ids);
    }
    auto rs = db->OpenRecordset(QStringLiteral("Select count(*) From Paths where not (tPath like '*')"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value().toLong(), 0);
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
