#pragma once

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "platform/gui/msgbox.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// A program folder of its own for each test, with message boxes answered and recorded.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        tv::InitProgramPaths(dir.path());
        tv::InitProgramValues();
        tv::SetMsgBoxHook([this](const QString& prompt, int style, const QString& title) {
            messages << prompt;
            lastStyle = style;
            lastTitle = title;
            return answer;
        });
    }
    void TearDown() override
    {
        tv::SetMsgBoxHook(nullptr);
        tv::gtLanguageFile.clear();
        tv::gcolWindows.clear();
        tv::gtDialogPath.clear();
    }

    QString writeFile(const QString& relative, const QByteArray& bytes) const
    {
        const QString path = dir.filePath(relative);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    QStringList messages;
    int lastStyle = -1;
    QString lastTitle;
    int answer = tv::vbOK;
};
