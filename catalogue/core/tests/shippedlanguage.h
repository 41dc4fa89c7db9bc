#pragma once

// The translation file the program ships, read where it lies in the source tree: the test
// target defines TOVARIN_SHIPPED_LANG as the folder "catalogue/Lang/".

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QStringList>
#include <QTabBar>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

namespace tv::test {

// A shown text as it is compared: without access keys, a trailing colon and blanks.
inline QString PlainText(QString text)
{
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text;
}

// The translations of the shipped English file, as PlainText gives them.
inline const QSet<QString>& ShippedEnglishTexts()
{
    static const QSet<QString> english = [] {
        QFile f(QStringLiteral(TOVARIN_SHIPPED_LANG "English.lng"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QSet<QString> values;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            values << PlainText(line.section(QStringLiteral("@@"), 1));
        return values;
    }();
    return english;
}

// Of `shown`, the texts that are no translation from the shipped English file and not in
// `data` (the user's names, paths and values), joined for a readable failure. The program's
// name and the browse buttons' "..." are the same in every language.
inline std::string UntranslatedTexts(const QStringList& shown, QStringList data = {})
{
    data << QStringLiteral("Tovarin") << QStringLiteral("...");
    QStringList left;
    for (const QString& text : shown)
        if (!PlainText(text).isEmpty() && !ShippedEnglishTexts().contains(PlainText(text)) && !data.contains(text))
            left << text;
    return left.join(QStringLiteral(" | ")).toStdString();
}

// The same for a window: its caption and the texts of its labels, buttons, frames and tabs.
// Controls whose "Tag" keeps their text (extensions, symbols) are left out, as the
// translation leaves them.
inline std::string UntranslatedTexts(QWidget* window, const QStringList& data = {})
{
    QStringList shown{window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->property("Tag").toString().isEmpty()) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) shown << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) shown << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w)) shown << group->title();
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i) shown << tabs->tabText(i);
    }
    return UntranslatedTexts(shown, data);
}

} // namespace tv::test
