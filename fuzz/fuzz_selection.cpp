// A selection's stored form and the SQL made of it, translated and run on a catalogue.
#include "fuzzinput.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/mainwindow/clsfilter.h"
#include "catalogue/mainwindow/filtersql.h"
#include "platform/db/jetsql.h"

#include <QFile>
#include <QTemporaryDir>

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
    QFile ini(tv::gtIniFile);
    if (!ini.open(QIODevice::WriteOnly)) return 0;
    ini.write((QStringLiteral("[MAIN]\r\nFilterName1=") + text.section(QChar(0), 0, 0) + QStringLiteral("\r\nFilterDef1=")
               + text.section(QChar(0), 1) + QStringLiteral("\r\n")).toUtf8());
    ini.close();
    tv::FilterCollection filters;
    tv::LoadFilters(filters, QStringLiteral("MAIN"));
    for (const auto& entry : filters) {
        QString stored;
        tv::SaveFilters(filters, stored);
        QString list = QStringLiteral(" where F.ID>0"), tree;
        const bool category = tv::AddSelectionConditions(*entry.value, list, tree);
        const QString sql = QStringLiteral("Select F.ID From (MainFiles as F")
                            + (category ? QStringLiteral(" Left Join Category as C on F.Category_ID=C.ID)") : QStringLiteral(")"))
                            + list;
        if (tv::TranslateJetSql(sql).error.isEmpty())
            if (auto rs = FuzzCatalogue().OpenRecordset(sql, tv::dbOpenSnapshot)) rs->Close();
    }
    return 0;
}
