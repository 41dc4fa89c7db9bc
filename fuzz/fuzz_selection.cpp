// A selection's stored form and the SQL made of it, translated and run on a catalogue; what is
// read is saved so that it reads back the same, and so is a selection made of the input's
// texts: its name and values come back with their blanks, line breaks and control characters.
#include "fuzzinput.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/mainwindow/clsfilter.h"
#include "catalogue/mainwindow/filtersql.h"
#include "platform/db/jetsql.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

bool writeIni(const QString& text)
{
    QFile ini(tv::gtIniFile);
    if (!ini.open(QIODevice::WriteOnly)) return false;
    ini.write(text.toUtf8());
    return true;
}

// The selections as one text that tells every name and part apart.
QString describe(const tv::FilterCollection& filters)
{
    QString out;
    for (const auto& entry : filters) {
        out += QString::number(entry.value->id) + QChar(0) + entry.value->Name + QChar(0);
        for (const auto& c : entry.value->Conditions)
            out += c.key + QChar(0) + c.value->Field + QChar(0) + c.value->Compare + QChar(0) + c.value->Value
                   + QChar(0) + c.value->Join + QChar(0);
        out += QChar(1);
    }
    return out;
}

// Saves the selections and reads them back.
tv::FilterCollection saveAndLoad(const tv::FilterCollection& filters)
{
    QString text = QStringLiteral("[MAIN]");
    tv::SaveFilters(filters, text);
    tv::FilterCollection loaded;
    if (writeIni(text + QStringLiteral("\r\n"))) tv::LoadFilters(loaded, QStringLiteral("MAIN"));
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const bool init = [] {
        tv::InitProgramPaths(dir.path());
        return true;
    }();
    (void)init;
    const QString text = FuzzText(data, size);
    // The stored form as the settings file holds it.
    if (!writeIni(QStringLiteral("[MAIN]\r\nFilterName1=") + text.section(QChar(0), 0, 0) + QStringLiteral("\r\nFilterDef1=")
                  + text.section(QChar(0), 1) + QStringLiteral("\r\n")))
        return 0;
    tv::FilterCollection filters;
    tv::LoadFilters(filters, QStringLiteral("MAIN"));
    for (const auto& entry : filters) {
        QString list = QStringLiteral(" where F.ID>0"), tree;
        const bool category = tv::AddSelectionConditions(*entry.value, list, tree);
        const QString sql = QStringLiteral("Select F.ID From (MainFiles as F")
                            + (category ? QStringLiteral(" Left Join Category as C on F.Category_ID=C.ID)") : QStringLiteral(")"))
                            + list;
        if (tv::TranslateJetSql(sql).error.isEmpty())
            if (auto rs = FuzzCatalogue().OpenRecordset(sql, tv::dbOpenSnapshot)) rs->Close();
    }
    FuzzCheck(describe(saveAndLoad(filters)) == describe(filters), "stored selections read back");

    // A selection of the input's texts: the name, then the parts of conditions. A name that
    // is blank cannot be listed and is not kept; a text holding a separator of the stored form
    // cannot be kept either (the stored form does not escape them).
    const QStringList parts = text.split(QChar(0));
    if (parts[0].trimmed().isEmpty()) return 0;
    tv::FilterCollection made;
    tv::FilterPtr selection = tv::AddSelection(made, parts[0], 1);
    for (qsizetype i = 1; i + 3 < parts.size(); i += 4) {
        const QStringList condition = parts.mid(i, 4);
        bool fits = true;
        for (const QString& part : condition) {
            // A separator, or a piece of one at an end that joins the separator beside it.
            auto end = [&part](const char* s) { return part.startsWith(QLatin1String(s)) || part.endsWith(QLatin1String(s)); };
            fits = fits && !part.contains(QLatin1String("@@@")) && !part.contains(QLatin1String("!@!")) && !end("@") && !end("!");
        }
        if (fits) selection->Add(condition[0], condition[1], condition[2], condition[3]);
    }
    FuzzCheck(describe(saveAndLoad(made)) == describe(made), "selection read back");
    return 0;
}
