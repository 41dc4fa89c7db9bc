// The SQL functions registered on every connection, called with arguments from the input, and
// the Like matcher.
#include "fuzzinput.h"

#include "platform/db/jetfunctions.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kFunctions[] = {"Left", "Right", "mid", "len", "clng", "cint", "cdate", "format",
                                             "val", "int", "ucase", "lcase", "iif", "isNull"};
    FuzzReader in(data, size);
    const auto pick = in.take<uint8_t>();
    const auto kinds = in.take<uint8_t>();
    const QStringList args = in.rest().split(QChar(0));
    (void)tv::JetLike(args.value(0), args.value(1));
    // Each argument as a text literal, or as the number it reads as.
    QStringList sql;
    for (int i = 0; i < std::min<int>(int(args.size()), 3); ++i) {
        bool number = false;
        args[i].toDouble(&number);
        QString text = args[i];
        sql << (number && (kinds >> i & 1) ? text : QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''));
    }
    // Now and then the first argument is a column, so that stored values take part.
    if (!sql.isEmpty() && (kinds & 8)) sql[0] = (kinds & 16) ? QStringLiteral("tsCreated") : QStringLiteral("lSize");
    const QString expression = QString::fromLatin1(kFunctions[pick % std::size(kFunctions)]) + QLatin1Char('(')
                               + sql.join(QLatin1Char(',')) + QLatin1Char(')');
    if (auto rs = FuzzCatalogue().OpenRecordset(QStringLiteral("Select ") + expression + QStringLiteral(" as v From MainFiles"),
                                                tv::dbOpenSnapshot)) {
        for (int f = 0; f < rs->FieldCount(); ++f) (void)rs->Fields(f).Value().text();
        rs->Close();
    }
    return 0;
}
