// The Jet-SQL translator, and the translated text run on an in-memory catalogue.
#include "fuzzinput.h"

#include "platform/db/jetsql.h"
#include "platform/db/keyedrows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString jet = FuzzText(data, size);
    const tv::JetSql t = tv::TranslateJetSql(jet);
    FuzzCheck(t.error.isEmpty() || t.sql.isEmpty(), "an error comes without a text");
    // Rows read by key leave out the final order: only an end of the text may go.
    FuzzCheck(t.sql.startsWith(tv::WithoutFinalOrderBy(t.sql)), "the order is cut from the end");
    FuzzCheck(jet.startsWith(tv::WithoutFinalOrderBy(jet)), "the order is cut from the end");
    // Only short SELECTs run: a long one may join the tables with themselves without end.
    if (t.error.isEmpty() && size <= 160 && t.sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
        if (auto rs = FuzzCatalogue().OpenRecordset(jet, tv::dbOpenSnapshot)) {
            for (int f = 0; f < rs->FieldCount(); ++f) (void)rs->Fields(f).Value().text();
            rs->Close();
        }
    }
    return 0;
}
