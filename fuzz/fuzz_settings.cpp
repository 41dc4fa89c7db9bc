// The settings file: what is read is written so that it reads back the same.
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
    // A value set is read back as it was set, blanks around it and line breaks aside.
    const QString value = written.left(200);
    again.setValue(QStringLiteral("Fuzz"), QStringLiteral("Value"), value);
    tv::IniFile third;
    third.parse(again.text());
    QString expected = value;
    expected.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\r'), QLatin1Char(' '));
    expected.replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (!expected.isEmpty() && blank(expected.front())) expected.remove(0, 1);
    while (!expected.isEmpty() && blank(expected.back())) expected.chop(1);
    if (!ini.sections().contains(QStringLiteral("Fuzz"), Qt::CaseInsensitive))
        FuzzCheck(third.value(QStringLiteral("Fuzz"), QStringLiteral("Value")) == expected, "settings value set");
    return 0;
}
