#include "catalogue/core/modlang.h"
#include "coretest.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

class LangTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        QDir(dir.path()).mkpath(QStringLiteral("Lang"));
    }
    // Writes Lang/<name> and loads it.
    bool load(const QByteArray& bytes, const QString& name = QStringLiteral("english.lng"))
    {
        writeFile(QStringLiteral("Lang/") + name, bytes);
        tv::gtLanguageFile = name;
        return tv::LoadLanguage();
    }
};

TEST_F(LangTest, WithoutAFileTextsStayAsTheyAre)
{
    EXPECT_TRUE(tv::LoadLanguage());
    EXPECT_EQ(tv::Translate(QStringLiteral("&Datei")), QStringLiteral("&Datei"));
    EXPECT_EQ(tv::Translate(QStringLiteral("Die Datei '@1' hat eine Größe von"), QStringLiteral("a.atr")),
              QStringLiteral("Die Datei 'a.atr' hat eine Größe von"));
    EXPECT_EQ(tv::Translate(QString()), QString());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LangTest, LookupRules)
{
    ASSERT_TRUE(load("Datei@@File\r\nSpeichern@@&Save\r\nzwei@@a@@b\r\nohne Trenner\r\n"
                     "Die Datei '@1' ist leer@@The file '@1' is empty\r\nGr\xf6\xdf" "e@@Size\r\n"));
    struct Case { const char* text; const char* parameter; QString expected; };
    const Case cases[] = {
        {"Datei", "", QStringLiteral("File")},
        {"DATEI", "", QStringLiteral("File")},
        {"Datei:", "", QStringLiteral("File:")},
        {"Datei: ", "", QStringLiteral("File: ")},
        {"&Datei", "", QStringLiteral("&File")},        // the caption keeps an access key
        {"&Datei:", "", QStringLiteral("&File:")},
        {"&Speichern", "", QStringLiteral("&Save")},    // the translation's own access key
        {"zwei", "", QStringLiteral("zwei")},           // line with two "@@" is no entry
        {"&Unbekannt:", "", QStringLiteral("&Unbekannt:")},
        {"Die Datei '@1' ist leer", "x.atr", QStringLiteral("The file 'x.atr' is empty")},
        {"Größe", "", QStringLiteral("Size")},           // Windows-1252 file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tv::Translate(QString::fromUtf8(c.text), QString::fromUtf8(c.parameter)), c.expected);
    }
}

TEST_F(LangTest, LoadFailuresAreReportedAndKeepNothingHalfLoaded)
{
    struct Case { const char* file; const char* bytes; bool ok; const char* messagePart; };
    const Case cases[] = {
        {"linebreak.lng", "\r\n", true, nullptr},
        {"empty.lng", "", false, "empty.lng"},
        {"duplicate.lng", "Datei@@File\r\nDATEI@@Data\r\n", false, "DATEI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.clear();
        EXPECT_EQ(load(QByteArray(c.bytes), QString::fromUtf8(c.file)), c.ok);
        if (c.ok) {
            EXPECT_TRUE(messages.isEmpty());
        } else {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Fehler beim Einlesen der Sprachdatei: ")));
            EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.messagePart))) << messages[0].toStdString();
            EXPECT_EQ(lastTitle, QStringLiteral("Tovarin"));
        }
    }
    // The failed file left the texts of the last good one in place.
    EXPECT_EQ(tv::Translate(QStringLiteral("Datei")), QStringLiteral("Datei"));
    messages.clear();
    tv::gtLanguageFile = QStringLiteral("missing.lng");
    EXPECT_FALSE(tv::LoadLanguage());
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(LangTest, CollectingModeNeedsNoFileAndGivesTheSourceTextsBack)
{
    tv::gtLanguageFile = QStringLiteral("new");   // no such file in Lang/
    ASSERT_TRUE(tv::LoadLanguage());
    EXPECT_TRUE(messages.isEmpty());
    tv::SetLangContext(QStringLiteral("frmFile"));
    for (int i = 0; i < 2; ++i) {   // asked twice, collected once, never an error
        EXPECT_EQ(tv::Translate(QStringLiteral("&Datei:")), QStringLiteral("&Datei:"));
        EXPECT_EQ(tv::Translate(QStringLiteral("Die Datei '@1' fehlt"), QStringLiteral("a.atr")),
                  QStringLiteral("Die Datei 'a.atr' fehlt"));
    }
    tv::ResetLangContext();
    // The collected texts land in the bottom context: reading one back gives its source text.
    EXPECT_EQ(tv::TranslateBack(QStringLiteral("DATEI"), true), QStringLiteral("Datei"));
}

TEST_F(LangTest, ContextsCacheLookupsAndStack)
{
    ASSERT_TRUE(load("Datei@@File\r\nOrdner@@Folder\r\n"));
    EXPECT_EQ(tv::LangContextStack(), QStringList{QStringLiteral("frmMain")});
    tv::SetLangContext(QStringLiteral("frmFile"));
    tv::SetLangContext(QStringLiteral("frmInputBox"));
    tv::SetLangContext(QStringLiteral("FRMMAIN")); // the bottom is never pushed
    tv::SetLangContext(QStringLiteral("frmInputBox"));
    EXPECT_EQ(tv::LangContextStack(), (QStringList{"frmMain", "frmFile", "frmInputBox", "frmInputBox"}));
    EXPECT_EQ(tv::Translate(QStringLiteral("Ordner")), QStringLiteral("Folder"));
    EXPECT_EQ(tv::TranslateBack(QStringLiteral("FOLDER:"), true), QStringLiteral("Ordner:"));
    EXPECT_EQ(tv::TranslateBack(QStringLiteral("File"), true), QStringLiteral("File")); // not asked in this context
    for (int i = 0; i < 4; ++i) tv::ResetLangContext(); // the bottom stays
    EXPECT_EQ(tv::LangContextStack(), QStringList{QStringLiteral("frmMain")});
    EXPECT_EQ(tv::TranslateBack(QStringLiteral("File"), true), QStringLiteral("Datei"));
    EXPECT_EQ(tv::LangMsgBox(QStringLiteral("Datei"), tv::vbYesNo, QStringLiteral("Ordner")), tv::vbOK);
    EXPECT_EQ(messages.last(), QStringLiteral("File"));
    EXPECT_EQ(lastTitle, QStringLiteral("Folder"));
    EXPECT_EQ(lastStyle, tv::vbYesNo);
}

TEST_F(LangTest, TranslateFormWalksTheWindowsControlsAndBack)
{
    ASSERT_TRUE(load("Datei@@File\r\nSpeichern@@&Save\r\nOrdner@@Folder\r\nStart@@Run\r\nHilfe@@Help\r\n"));
    QDialog w;
    w.setObjectName(QStringLiteral("frmTest"));
    w.setWindowTitle(QStringLiteral("Datei"));
    auto* layout = new QVBoxLayout(&w);
    auto* label = new QLabel(QStringLiteral("Datei:"), &w);
    label->setToolTip(QStringLiteral("Ordner"));
    auto* data = new QLabel(QStringLiteral("Datei"), &w);
    data->setProperty("Tag", QStringLiteral("data"));
    auto* button = new QPushButton(QStringLiteral("&Speichern"), &w);
    auto* dash = new QCheckBox(QStringLiteral("-"), &w);
    auto* check = new QCheckBox(QStringLiteral("Ordner"), &w);
    auto* group = new QGroupBox(QStringLiteral("Ordner"), &w);
    auto* tabs = new QTabWidget(&w);
    tabs->addTab(new QWidget, QStringLiteral("Datei"));
    auto* bar = new QMenuBar(&w);
    QMenu* menu = bar->addMenu(QStringLiteral("&Datei"));
    QAction* save = menu->addAction(QStringLiteral("Speichern"));
    menu->addSeparator();
    QAction* profile = menu->addAction(QStringLiteral("Ordner"));
    profile->setProperty("Tag", QStringLiteral("Profil1"));
    auto* tool = new QToolBar(&w);
    QAction* start = tool->addAction(QStringLiteral("Start"));
    start->setProperty("Tag", QStringLiteral("ignored by tool bars"));
    start->setToolTip(QStringLiteral("Hilfe"));
    auto* drop = new QMenu(&w);
    QAction* entry = drop->addAction(QStringLiteral("Ordner"));
    QAction* keptEntry = drop->addAction(QStringLiteral("Datei"));
    keptEntry->setProperty("Tag", QStringLiteral("no"));
    start->setMenu(drop);
    QDialog owned(&w); // a window of its own, translated when it loads itself
    auto* ownedLabel = new QLabel(QStringLiteral("Datei"), &owned);
    for (QWidget* c : std::initializer_list<QWidget*>{label, data, button, dash, check, group, tabs, tool})
        layout->addWidget(c);

    tv::TranslateForm(&w, true, false);
    EXPECT_EQ(tv::LangContextStack(), (QStringList{"frmMain", "frmTest"}));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("File"));
    EXPECT_EQ(label->text(), QStringLiteral("File:"));
    EXPECT_EQ(label->toolTip(), QStringLiteral("Folder"));
    EXPECT_EQ(data->text(), QStringLiteral("Datei"));
    EXPECT_EQ(button->text(), QStringLiteral("&Save"));
    EXPECT_EQ(dash->text(), QStringLiteral("-"));
    EXPECT_EQ(check->text(), QStringLiteral("Folder"));
    EXPECT_EQ(group->title(), QStringLiteral("Folder"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("File"));
    EXPECT_EQ(menu->title(), QStringLiteral("&File"));
    EXPECT_EQ(save->text(), QStringLiteral("&Save"));
    EXPECT_EQ(profile->text(), QStringLiteral("Ordner"));
    EXPECT_EQ(start->text(), QStringLiteral("Run"));
    EXPECT_EQ(start->toolTip(), QStringLiteral("Help"));
    EXPECT_EQ(entry->text(), QStringLiteral("Folder"));
    EXPECT_EQ(keptEntry->text(), QStringLiteral("Datei"));
    EXPECT_EQ(ownedLabel->text(), QStringLiteral("Datei"));

    tv::TranslateForm(&w, false, true);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("File"));
    EXPECT_EQ(label->text(), QStringLiteral("Datei:"));
    EXPECT_EQ(button->text(), QStringLiteral("&Speichern"));
    EXPECT_EQ(menu->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Datei"));
    EXPECT_EQ(start->toolTip(), QStringLiteral("Hilfe"));
    EXPECT_EQ(tv::LangContextStack(), (QStringList{"frmMain", "frmTest"}));
    tv::ResetLangContext();
}

TEST_F(LangTest, OtherControlsTranslateThroughTheirTranslator)
{
    ASSERT_TRUE(load("Datei@@File\r\n"));
    QWidget w;
    w.setObjectName(QStringLiteral("frmMain"));
    auto* grid = new QWidget(&w);
    grid->setObjectName(QStringLiteral("lvGrid"));
    // The translator stays registered for the whole test program: it keeps its own state.
    struct Seen { QString header = QStringLiteral("Datei"); QString window; };
    auto seen = std::make_shared<Seen>();
    tv::AddControlTranslator([seen](QWidget* control, const QString& windowName,
                                    const std::function<QString(const QString&)>& tr) {
        if (control->objectName() != QLatin1String("lvGrid")) return false;
        seen->window = windowName;
        seen->header = tr(seen->header);
        return true;
    });
    tv::TranslateForm(&w, false, false);
    EXPECT_EQ(seen->header, QStringLiteral("File"));
    EXPECT_EQ(seen->window, QStringLiteral("frmMain"));
    EXPECT_EQ(tv::LangContextStack(), QStringList{QStringLiteral("frmMain")});
}

// Qt's own buttons speak German while no language file is in use, and English with one.
TEST_F(LangTest, QtOwnTextsFollowTheLanguage)
{
    tv::gtLanguageFile.clear();
    ASSERT_TRUE(tv::ApplyQtTranslations()) << "Qt's translations (qt6-translations-l10n) are missing";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    tv::gtLanguageFile = QStringLiteral("English.lng");
    EXPECT_TRUE(tv::ApplyQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    tv::gtLanguageFile.clear();
}
