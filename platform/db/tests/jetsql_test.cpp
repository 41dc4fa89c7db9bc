#include "platform/db/jetsql.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(JetSql, RewritesTable)
{
    struct Case { const char* jet; const char* sqlite; };
    const Case cases[] = {
        {"Delete * from MainFiles where ID=5", "Delete from MainFiles where ID=5"},
        {"Select Top 1 ID From MainFiles where tPath='a''b'", "Select ID From MainFiles where tPath='a''b' LIMIT 1"},
        {"Select * From T where x = \"it's\"", "Select * From T where x = 'it''s'"},
        {"Select [a b] From T where f=True or g=false", "Select \"a b\" From T where f=-1 or g=0"},
        {"Select * From T where d > #01/02/2024 01:30:00 pm#", "Select * From T where d > 45293.5625"},
        {"Select * From T where d = #1/2/2024#", "Select * From T where d = 45293"},
        {"Select * From T where t like '*#*[!a]'", "Select * From T where t like '*#*[!a]'"},
        {"Select DISTINCTROW a From T", "Select a From T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        const JetSql t = TranslateJetSql(QString::fromUtf8(c.jet));
        EXPECT_TRUE(t.error.isEmpty()) << t.error.toStdString();
        EXPECT_EQ(t.sql.toStdString(), c.sqlite);
    }
}
