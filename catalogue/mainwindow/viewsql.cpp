#include "viewsql.h"

#include "filtersql.h"
#include "mainsettings.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modlang.h"
#include "platform/runtime/format.h"

#include <cmath>

namespace tv {

QString gtCategoryCaption = QStringLiteral("Kategorie");
QString gtFileCaption = QStringLiteral("Datei");
QString gtFilesCaption = QStringLiteral("Dateien");
QString gtSizeCaption = QStringLiteral("Größe");

void SetColumnCaptions()
{
    auto set = [](QString& caption, const QString& german) {
        const QString t = Translate(german);
        caption = t.isEmpty() ? german : t;
    };
    set(gtCategoryCaption, QStringLiteral("Kategorie"));
    set(gtFileCaption, QStringLiteral("Datei"));
    set(gtFilesCaption, QStringLiteral("Dateien"));
    set(gtSizeCaption, QStringLiteral("Größe"));
}

namespace {

struct ViewColumn {
    const char* field;
    const char* caption;  // German; empty for the captions kept in the gt...Caption globals
    const QString* kept;
};

// Every display column the views build, in the file queries' order, then the category and the
// history's start time.
const ViewColumn kViewColumns[] = {
    {"ucase(Right(tFile,3))", "Filetyp", nullptr},
    {"tFile", "", &gtFileCaption},
    {"lSize", "", &gtSizeCaption},
    {"tPath", "Dateipfad", nullptr},
    {"iModel", "Model", nullptr},
    {"iOS", "OS", nullptr},
    {"iBasic", "Basic", nullptr},
    {"iVideo", "Video", nullptr},
    {"tMemo", "Bemerkung", nullptr},
    {"tUnpackpath", "Archivpfad", nullptr},
    {"F.tsCreated", "Erstellt", nullptr},
    {"lStartCount", "Zähler", nullptr},
    {"tCategory", "", &gtCategoryCaption},
    {"H.tsStarted", "Zuletzt gestartet", nullptr},
};

QString ViewColumnKey(const ViewColumn& c)
{
    const QString field = QString::fromLatin1(c.field);
    return c.kept ? ColumnKey(field, *c.kept, false) : ColumnKey(field, QString::fromUtf8(c.caption), true);
}

QString AliasOf(const QString& field, const QString& key)
{
    if (key.toUpper() != field.toUpper()) return field + QStringLiteral(" as [") + key + QLatin1Char(']');
    return key;
}

// The new files are those above the highest ID at opening. Sorted by a column that has an
// index (the name, the default), the engine would rather walk that whole index and skip the
// old files than sort the new ones apart: at a million files a tenth of a second for none.
// While the new IDs are few against the catalogue, the condition is a range closed on both
// sides (up to the largest ID there can be), which the engine reads by the key and sorts;
// when most files are new, walking the index costs less than sorting them all.
QString NewFilesCondition(const ViewRequest& r)
{
    const QString first = QString::number(r.LastID);
    const qint64 newIds = qint64(r.NewestID) - r.LastID;
    if (r.NewestID <= 0 || r.FileCount <= 0 || newIds * 16 > r.FileCount) return QStringLiteral(" where F.ID>") + first;
    return QStringLiteral(" where F.ID Between ") + QString::number(qint64(r.LastID) + 1)
           + QStringLiteral(" And 2147483647");
}

} // namespace

QString ColumnKey(const QString& field, const QString& caption, bool translate)
{
    QString text = caption;
    if (translate) {
        text = Translate(caption);
        text.replace(QLatin1Char('['), QLatin1Char('-')).replace(QLatin1Char(']'), QLatin1Char('-'));
        text.replace(QLatin1Char('.'), QLatin1Char(' '));
    }
    if (text.toUpper() != field.toUpper()) return text;
    return text.left(1).toUpper() + text.mid(1).toLower();
}

QString ColumnAlias(const QString& field, const QString& caption, bool translate)
{
    return AliasOf(field, ColumnKey(field, caption, translate));
}

QStringList ViewColumnKeys()
{
    QStringList keys;
    for (const ViewColumn& c : kViewColumns) keys << ViewColumnKey(c);
    return keys;
}

QString FileSelectList()
{
    QStringList columns;
    for (const ViewColumn& c : kViewColumns) {
        if (QLatin1String(c.field) == QLatin1String("tCategory")) break;
        columns << AliasOf(QString::fromLatin1(c.field), ViewColumnKey(c));
    }
    return QStringLiteral("iFileType AS iTyp,IIF(isNull(tUnpackpath),0,27) as IsArchiv,") + columns.join(QLatin1Char(','));
}

int FileNameField(int keyFields)
{
    int field = keyFields + 2;  // after iTyp and IsArchiv
    for (const ViewColumn& c : kViewColumns) {
        if (c.kept == &gtFileCaption) break;
        ++field;
    }
    return field;
}

QString GetViewColumn(const QString& key)
{
    if (key == gtFileCaption) return QStringLiteral("tFile");
    if (key == gtSizeCaption) return QStringLiteral("lSize");
    if (key == Translate(QStringLiteral("Dateipfad"))) return QStringLiteral("tPath");
    if (key == Translate(QStringLiteral("Archivpfad"))) return QStringLiteral("tUnpackpath");
    if (key == Translate(QStringLiteral("Erstellt"))) return QStringLiteral("tsCreated");
    if (key == Translate(QStringLiteral("Zähler"))) return QStringLiteral("lStartCount");
    if (key == gtCategoryCaption) return QStringLiteral("tCategory");
    return key;
}

bool IsViewOwnColumn(const QString& key)
{
    // The entries after the category are the columns of a single view.
    bool own = false;
    for (const ViewColumn& c : kViewColumns) {
        if (own && ViewColumnKey(c) == key) return true;
        if (c.kept == &gtCategoryCaption) own = true;
    }
    return false;
}

bool HasCategoryColumn()
{
    return MainListColumns.contains(QLatin1String("tCategory"), Qt::CaseInsensitive);
}

ViewSql BuildViewSql(const ViewRequest& r)
{
    ViewSql v;
    QString where, order;
    if (r.ViewMode == kViewNewFiles) where = NewFilesCondition(r);
    if (r.ViewMode == kViewHistory) {
        where = QStringLiteral(" where not isnull(F.tsLastStarted) ");
        order = QStringLiteral(" order by F.tsLastStarted desc");
    }
    auto likeClause = [](const char* field, QString text) {
        text.replace(QLatin1Char('\''), QStringLiteral("''"));
        return GetLikeClause(QString::fromUtf8(field), text);
    };
    if (!r.FileSearch.isEmpty()) {
        QString join;
        where = AddWhere(where, likeClause("F.tFile like", r.FileSearch), join);
    }
    // The paths are compared in their own index, which holds nothing else, and the files
    // found are joined by their IDs. As a plain condition the engine would walk the files in
    // the list's order (by name, through that index) and read every file's row to compare
    // its path: at a million files for tens of seconds. Joined rather than as "ID In (...)":
    // the rows of a screen, read by their keys, then compare their own paths alone, where
    // the list of IDs would be gathered from every path again for each screen. "unlikely"
    // tells the engine that a search finds few files, so that it walks the paths first and
    // not every file in the list's order. The condition stands in the join, so that the
    // view's own WHERE stays the first in the text, where the lists add theirs; and beside a
    // join the engine names a bare column by its text ("F.ID"), so the key is named.
    QString pathJoin, id = QStringLiteral("F.ID");
    if (!r.PathSearch.isEmpty()) {
        pathJoin = QStringLiteral(" Inner Join (Select ID As FoundID,tPath As FoundPath From MainFiles) As PF"
                                  " on PF.FoundID=F.ID And unlikely(")
                   + likeClause("PF.FoundPath like", r.PathSearch) + QLatin1Char(')');
        id += QStringLiteral(" As ID");
    }

    bool needsCategory = false;
    if (r.Selection) {
        QString treeWhere;
        needsCategory = AddSelectionConditions(*r.Selection, where, treeWhere);
    }
    v.Where = where;

    QString select = FileSelectList();
    if (r.ShowCategory) select += QStringLiteral(",C.") + ColumnAlias(QStringLiteral("tCategory"), gtCategoryCaption, false);
    const bool joinCategory = r.ShowCategory || needsCategory;
    const QString categoryJoin = QStringLiteral(" Left Join Category as C on F.Category_ID=C.ID");
    QString from = QStringLiteral(" From (MainFiles as F ") + pathJoin;
    from += joinCategory ? categoryJoin + QLatin1Char(')') : QStringLiteral(")");

    if (r.ViewMode != kViewCategories && r.ViewMode != kViewHistory) {
        v.Files = QStringLiteral("SELECT ") + id + QLatin1Char(',') + select + from + where;
        return v;
    }
    QString root = QStringLiteral("SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,") + QString::number(r.ViewMode + 19)
                   + QStringLiteral(" AS Icon,'") + QString(r.ViewCaption).replace(QLatin1Char('\''), QStringLiteral("''"))
                   + QStringLiteral("' From Config");
    if (r.ViewMode == kViewHistory) {
        select += QLatin1Char(',') + ColumnAlias(QStringLiteral("H.tsStarted"), QStringLiteral("Zuletzt gestartet"), true);
        from += QStringLiteral(" Inner Join History as H on F.ID = H.MainFiles_ID ");
        // A day's list is read for one day: its starts are few, and found by reading History
        // first, each start's file then by its key. Ordered by the bare column, the engine
        // would walk every file in the order of its last start (that column's index), and with
        // the category joined to the files every file, to find them: at a million files for
        // seconds. History leads the joins, and the unary plus keeps the order but takes that
        // index out of the engine's choice.
        const QString dayFrom = QStringLiteral(" From (History as H Inner Join MainFiles as F on F.ID = H.MainFiles_ID")
                                + pathJoin + QLatin1Char(')') + (joinCategory ? categoryJoin : QString()) + QLatin1Char(' ');
        const QString dayOrder = QStringLiteral(" order by +F.tsLastStarted desc");
        v.ListLevels = {QStringLiteral("Select ") + id + QStringLiteral(",-1,") + select + from + where + order,
                        QStringLiteral("Select ") + id + QStringLiteral(", ") + kStartDaySql + QLatin1Char(',') + select + dayFrom + where + dayOrder};
        // The days first, then their dates: formatting every start before removing the
        // repeated days costs a catalogue with many starts most of the view's time.
        v.TreeLevels = {root, QStringLiteral("SELECT StartDay,-1,29,Format(StartDay,'dd.MM.yyyy') from (SELECT distinct(")
                                  + kStartDaySql + QStringLiteral(") AS StartDay from History) order by 1 desc")};
    } else {
        QString join;
        v.ListLevels = {QStringLiteral("Select ") + id + QStringLiteral(",-1,") + select + from + AddWhere(where, QStringLiteral("not isNull(Category_ID)"), join),
                        QStringLiteral("Select ") + id + QStringLiteral(",Category_ID AS ParentKey,") + select + from + where};
        v.TreeLevels = {root, QStringLiteral("SELECT ID AS ItemKey,-1 AS ParentKey,22 AS Icon, tCategory From Category order by tCategory")};
    }
    return v;
}

QString DurationText(const QString& caption, double seconds)
{
    QString text = caption + QStringLiteral(" (") + Translate(QStringLiteral("Dauer:")) + QLatin1Char(' ');
    if (seconds < 60) return text + FormatDecimal(seconds, QStringLiteral("0.00")) + QStringLiteral("s)");
    const double whole = std::round(seconds);
    const QString two = QStringLiteral("00");
    return text + Format(Variant(std::fmod(std::floor(whole / 60), 60)), two) + QLatin1Char(':')
           + Format(Variant(std::fmod(whole, 60)), two) + QLatin1Char(')');
}

} // namespace tv
