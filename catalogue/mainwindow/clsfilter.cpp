#include "clsfilter.h"

#include "mainsettings.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "platform/system/inifile.h"

#include <QStringList>

namespace tv {

namespace {

const QString kPictureExtensions = QStringLiteral(".BMP;.GIF;.JPG;.PNG;.TIFF");
const QString kConditionSeparator = QStringLiteral("@@@");
const QString kPartSeparator = QStringLiteral("!@!");

} // namespace

FilterDefPtr clsFilter::Add(const QString& field, const QString& compare, const QString& value,
                            const QString& join)
{
    auto def = std::make_shared<clsFilterDef>(clsFilterDef{field, compare, value, join});
    Conditions.add(def, QString::number(Conditions.count() + 1));
    return def;
}

FilterPtr AddSelection(FilterCollection& filters, const QString& name, qint32 id)
{
    auto selection = std::make_shared<clsFilter>();
    selection->Name = name;
    selection->id = id;
    if (!filters.add(selection, QString::number(id))) return nullptr;
    return selection;
}

void AddFilterCondition(clsFilter& selection, const QString& field, const QString& compare,
                        const QString& value, const QString& join, const QString& altField,
                        const QString& altValue)
{
    if (compare == QLatin1String("X")) return;
    if (value.isEmpty() && compare != QLatin1String("=") && compare != QLatin1String("<>")) return;
    if (value.startsWith(QLatin1Char('@')) && !altField.isEmpty())
        selection.Add(altField, compare, altValue, join);
    else
        selection.Add(field, compare, value, join);
}

FilterPtr ExpandPathConditions(const clsFilter& selection)
{
    auto expanded = std::make_shared<clsFilter>();
    expanded->Name = selection.Name;
    expanded->id = selection.id;
    for (const auto& entry : selection.Conditions) {
        const clsFilterDef& c = *entry.value;
        if (c.Field.compare(QLatin1String("tPath"), Qt::CaseInsensitive) == 0) {
            expanded->Add(c.Field, c.Compare, c.Value, QString());
            expanded->Add(QStringLiteral("tUnpackPath"), c.Compare, c.Value, QStringLiteral("Or"));
        } else {
            expanded->Add(c.Field, c.Compare, c.Value, c.Join);
        }
    }
    return expanded;
}

void CreateDefaultFilters(FilterCollection& filters)
{
    struct Default {
        const char* name;
        const char* field;
        QStringList values;
        bool firstJoinOr;
    };
    const Default defaults[] = {
        {"Disketten", "iFileType", {"1", "6", "8"}, false},
        {"Programme", "iFileType", {"2", "3", "11"}, false},
        {"Kassetten", "iFileType", {"4"}, false},
        {"Cartridges", "iFileType", {"9", "10"}, false},
        {"Bilder", "Type", {"BMP", "GIF", "JPG", "PNG", "TIFF"}, true},
    };
    qint32 id = 0;
    for (const Default& d : defaults) {
        FilterPtr selection = AddSelection(filters, QString::fromUtf8(d.name), ++id);
        if (!selection) continue;
        for (int i = 0; i < d.values.size(); ++i)
            selection->Add(QString::fromUtf8(d.field), QStringLiteral("="), d.values[i],
                           i == 0 && !d.firstJoinOr ? QString() : QStringLiteral("Or"));
    }
}

QString FilterIconKey(const clsFilter& selection, const QStringList& typeKeys)
{
    QString icon;
    for (const auto& entry : selection.Conditions) {
        const clsFilterDef& c = *entry.value;
        QString key;
        if (c.Field.compare(QLatin1String("iFileType"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int code = c.Value.toInt(&ok);
            if (ok && code >= 1 && code <= typeKeys.size()) key = typeKeys[code - 1];
        } else if (c.Field.compare(QLatin1String("Type"), Qt::CaseInsensitive) == 0) {
            key = c.Value.toUpper();
        }
        if (key.isEmpty()) continue;
        if (key == QLatin1String("7Z") || key == QLatin1String("RAR") || key == QLatin1String("CAB"))
            key = QStringLiteral("ZIP");
        else if (key == QLatin1String("DIZ") || key == QLatin1String("NFO"))
            key = QStringLiteral("TXT");
        else if (kPictureExtensions.contains(QLatin1Char('.') + key + QLatin1Char(';'))
                 || kPictureExtensions.endsWith(QLatin1Char('.') + key))
            key = QStringLiteral("GFX");
        if (icon.isEmpty()) icon = key;
        else if (icon != key) icon = QStringLiteral("FILTER");
    }
    return icon.isEmpty() ? QStringLiteral("FILTER") : icon;
}

QString SelectionName(const QString& typed, int limit)
{
    QString name = typed;
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return name.trimmed().left(limit).trimmed();
}

int FilterRowPosition(const QStringList& paneNames, const QString& name)
{
    for (int row = 1; row < paneNames.size(); ++row)
        if (QString::compare(paneNames[row], name, Qt::CaseSensitive) > 0) return row;
    return int(paneNames.size());
}

QString FilterDefText(const clsFilter& selection)
{
    QStringList parts;
    for (const auto& entry : selection.Conditions) {
        const clsFilterDef& c = *entry.value;
        parts << QStringList{c.Field, c.Compare, c.Value, c.Join}.join(kPartSeparator);
    }
    return parts.join(kConditionSeparator);
}

void SaveFilters(const FilterCollection& filters, QString& text)
{
    int n = 0;
    for (const auto& entry : filters) {
        ++n;
        AddLine(text, IniEntryLine(QStringLiteral("FilterName%1").arg(n), entry.value->Name));
        AddLine(text, IniEntryLine(QStringLiteral("FilterDef%1").arg(n), FilterDefText(*entry.value)));
    }
}

void LoadFilters(FilterCollection& filters, const QString& section)
{
    // The settings file read once; one that cannot be read holds no selections.
    IniFile ini;
    if (!ini.load(gtIniFile)) return;
    for (int n = 1;; ++n) {
        const QString key = QStringLiteral("FilterName%1").arg(n);
        if (!ini.contains(section, key)) break;
        const QString name = ini.value(section, key);
        // A blank name cannot be listed or chosen; the selections after it still load.
        if (name.trimmed().isEmpty()) continue;
        FilterPtr selection = AddSelection(filters, Translate(name), filters.count() + 1);
        if (!selection) continue;
        const QString def = ini.value(section, QStringLiteral("FilterDef%1").arg(n));
        if (def.isEmpty()) continue;
        for (const QString& part : def.split(kConditionSeparator)) {
            const QStringList pieces = part.split(kPartSeparator);
            if (pieces.size() == 4) selection->Add(pieces[0], pieces[1], pieces[2], pieces[3]);
        }
    }
}

} // namespace tv
