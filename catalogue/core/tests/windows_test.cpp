#include "catalogue/core/frminputbox.h"
#include "catalogue/core/frmlogo.h"
#include "catalogue/core/modlang.h"
#include "coretest.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class WindowsTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        QDir(dir.path()).mkpath(QStringLiteral("Lang"));
        writeFile(QStringLiteral("Lang/en.lng"), "Abbrechen@@Cancel\r\nName@@Name (translated)\r\n"
                                                 "Programmpfad@@Program folder\r\n");
        tv::gtLanguageFile = QStringLiteral("en.lng");
        ASSERT_TRUE(tv::LoadLanguage());
    }

    // Runs `act` on the modal window once it is up.
    static void whenShown(std::function<void(QWidget*)> act)
    {
        QTimer::singleShot(0, [act] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            act(w);
        });
    }
};

TEST_F(WindowsTest, InputTextAnswersOkCancelAndClose)
{
    struct Case { const char* name; const char* typed; const char* button; QString expected; };
    const Case cases[] = {
        {"OK without typing", nullptr, "cmdOk", QStringLiteral("abc")},
        {"typed and OK", "xyz", "cmdOk", QStringLiteral("xyz")},
        {"Cancel", "xyz", "cmdCancel", QString()},
        {"close box", "xyz", nullptr, QStringLiteral("abc")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString caption, hint, cancelText;
        whenShown([&](QWidget* w) {
            caption = w->windowTitle();
            hint = w->findChild<QLabel*>(QStringLiteral("lblMsg"))->text();
            cancelText = w->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text();
            if (c.typed) w->findChild<QLineEdit*>(QStringLiteral("txtInput"))->setText(QString::fromUtf8(c.typed));
            if (c.button) w->findChild<QPushButton*>(QString::fromUtf8(c.button))->click();
            else w->close();
        });
        EXPECT_EQ(tv::InputText(QStringLiteral("Name"), QStringLiteral("Neue Kategorie"), QStringLiteral("abc")), c.expected);
        EXPECT_EQ(caption, QStringLiteral("Neue Kategorie"));
        EXPECT_EQ(hint, QStringLiteral("Name")); // shown as given, not translated
        EXPECT_EQ(cancelText, QStringLiteral("Cancel"));
        EXPECT_EQ(tv::LangContextStack(), QStringList{QStringLiteral("frmMain")});
        EXPECT_NE(tv::gcolWindows.item(QStringLiteral("frmInputBox")), nullptr);
    }
}

TEST_F(WindowsTest, InputTextHookAnswersInsteadOfTheWindow)
{
    tv::SetInputTextHook([](const QString& prompt, const QString& title, const QString& def) {
        return prompt + QLatin1Char('|') + title + QLatin1Char('|') + def;
    });
    EXPECT_EQ(tv::InputText(QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("d")), QStringLiteral("p|t|d"));
    tv::SetInputTextHook(nullptr);
}

TEST_F(WindowsTest, AboutWindowShowsVersionAndPathsAndClosesOnEscape)
{
    tv::gtDBPath = QStringLiteral("/data/katalog.MDB");
    QString caption, program, database, programLabel;
    whenShown([&](QWidget* w) {
        caption = w->windowTitle();
        program = w->findChild<QLineEdit*>(QStringLiteral("txtPrg"))->text();
        database = w->findChild<QLineEdit*>(QStringLiteral("txtPfad"))->text();
        programLabel = w->findChild<QLabel*>(QStringLiteral("lblPrg"))->text();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    tv::frmLogo about;
    about.exec();
    EXPECT_EQ(caption, QStringLiteral("Tovarin ") + tv::gtVersion);
    EXPECT_EQ(tv::gtVersion, QStringLiteral("1.0"));
    EXPECT_EQ(program, tv::gtAppPath);
    EXPECT_EQ(database, tv::gtDBPath);
    EXPECT_EQ(programLabel, QStringLiteral("Program folder:"));
    EXPECT_EQ(tv::LangContextStack(), QStringList{QStringLiteral("frmMain")});
    EXPECT_EQ(tv::gcolWindows.item(QStringLiteral("frmLogo")), nullptr); // restores, never stores
    tv::gtDBPath.clear();
}
