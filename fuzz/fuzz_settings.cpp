// The settings file: what is read is written so that it reads back the same, and a value set
// under a name a line can hold reads back exactly (blanks at its ends and line breaks included)
// without changing any other value.
#include "fuzzinput.h"

#include "platform/system/inifile.h"
#include "platform/system/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tv::IniFile ini;
    ini.parse(tv::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    const QString written = ini.text();
    tv::IniFile again;
    again.parse(written);
    FuzzCheck(again.text() == written, "settings text round trip");
    for (const QString& section : ini.sections())
        for (const QString& key : ini.keys(section))
            FuzzCheck(again.value(section, key) == ini.value(section, key), "settings value round trip");

    // The input's text after its first NUL: section, key and value, apart at the next NULs;
    // without them the fixed names and the start of the written text.
    const QString text = FuzzText(data, size);
    const QStringList parts = text.split(QChar(0));
    const QString section = parts.size() > 1 ? parts[1] : QStringLiteral("Fuzz");
    const QString key = parts.size() > 2 ? parts[2] : QStringLiteral("Value");
    const QString value = parts.size() > 3 ? parts.mid(3).join(QChar(0)) : written.left(200);
    if (!again.setValue(section, key, value)) return 0;
    tv::IniFile third;
    third.parse(again.text());
    FuzzCheck(third.value(section, key) == value, "settings value set");
    auto same = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    for (const QString& s : ini.sections())
        for (const QString& k : ini.keys(s))
            if (!(same(s, section) && same(k, key)))
                FuzzCheck(third.value(s, k) == ini.value(s, k), "settings value kept beside a value set");
    return 0;
}
