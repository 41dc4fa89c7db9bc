#include "catalogue/emulators/frmparameter.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/emulators/modstartparams.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tv {
namespace {

class ParameterPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedLang = gtLangPath;
        gtLangPath = dir.path() + QLatin1Char('/');
        gtLastParamPath.clear();
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
    }
    void TearDown() override
    {
        if (form) form->reject();
        SetMsgBoxHook(nullptr);
        gtLangPath = savedLang;
        gtLastParamPath.clear();
    }
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    frmParameter& Open()
    {
        if (form) form->reject();
        form = std::make_unique<frmParameter>();
        form->Form_Load();
        return *form;
    }
    QTreeWidgetItem* Root() { return form->treeParams->topLevelItem(0); }

    QTemporaryDir dir;
    QString savedLang;
    QStringList messages;
    std::unique_ptr<frmParameter> form;
};

TEST_F(ParameterPicker, ReadsTheFilesIntoATree)
{
    Write("Atari800.prm", "-pal@@PAL video\r\n-image <image>@@Disk\r\nbad@@two@@three\r\n"
                          "no separator\r\n-ntsc@@NTSC video\r\n");
    Write("Altirra.prm", "just text\r\n");
    Write("Empty.prm", "");
    Write("notes.txt", "-x@@ignored\r\n");
    frmParameter& f = Open();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Fehler beim Einlesen der Sprachdatei: Empty.prm")});
    EXPECT_FALSE(f.cmdOk->isEnabled());
    QTreeWidgetItem* root = Root();
    EXPECT_EQ(root->text(0), QStringLiteral("Emulatoren"));
    EXPECT_TRUE(root->isExpanded());
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Altirra"));
    EXPECT_EQ(root->child(0)->childCount(), 0);
    QTreeWidgetItem* atari = root->child(1);
    ASSERT_EQ(atari->childCount(), 3);
    EXPECT_EQ(atari->child(0)->text(0), QStringLiteral("Disk - -image <image>"));
    EXPECT_EQ(atari->child(1)->text(0), QStringLiteral("NTSC video - -ntsc"));
    EXPECT_EQ(atari->child(2)->text(0), QStringLiteral("PAL video - -pal"));
    // Key numbering counts the skipped lines: -ntsc is line 4.
    EXPECT_EQ(atari->child(1)->data(0, Qt::UserRole + 1).toString(), QStringLiteral("\\0\\2\\4\\"));

    f.treeParams->setCurrentItem(atari);
    EXPECT_FALSE(f.cmdOk->isEnabled());
    f.treeParams->setCurrentItem(atari->child(2));
    EXPECT_TRUE(f.cmdOk->isEnabled());
    f.cmdOk_Click();
    EXPECT_EQ(f.Parameter, QStringLiteral("-pal"));
    EXPECT_EQ(gtLastParamPath, QStringLiteral("Emulatoren\\Atari800\\PAL video - -pal"));

    // Reopening selects the node chosen last; the image placeholder is turned into the
    // start's file-path placeholder, quoted so that a path with blanks stays one argument.
    frmParameter& g = Open();
    ASSERT_TRUE(g.treeParams->currentItem());
    EXPECT_EQ(g.treeParams->currentItem()->text(0), QStringLiteral("PAL video - -pal"));
    EXPECT_EQ(g.Parameter, QString());
    g.treeParams->setCurrentItem(Root()->child(1)->child(0));
    g.cmdOk_Click();
    EXPECT_EQ(g.Parameter, QStringLiteral("-image \"<$Filepath$>\""));
}

// Emulators and their parameters sort without regard to case, as every caption list does.
// The node chosen last is in sight when the picker opens again, wherever it lies in a long
// list: the user picks one in the middle with the keys, takes it with Return and reopens.
TEST_F(ParameterPicker, ReopensWithTheLastChoiceInSight)
{
    QByteArray lines;
    for (int i = 0; i < 120; ++i) lines += QStringLiteral("-p%1@@Parameter %1\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    Write("Atari800.prm", lines);
    Write("Altirra.prm", lines);
    Write("Atari++.prm", lines);
    const auto showActive = [](frmParameter& f) {
        f.show();
        QApplication::setActiveWindow(&f);
        return QTest::qWaitForWindowActive(&f);
    };
    frmParameter& f = Open();
    ASSERT_TRUE(showActive(f));
    f.treeParams->setFocus();
    QWindow* window = f.windowHandle();
    QTest::keyClick(window, Qt::Key_Down);    // Emulatoren
    QTest::keyClick(window, Qt::Key_Down);    // Altirra
    QTest::keyClick(window, Qt::Key_Down);    // Atari++
    QTest::keyClick(window, Qt::Key_Right);   // opens it
    for (int i = 0; i <= 70; ++i) QTest::keyClick(window, Qt::Key_Down);
    ASSERT_TRUE(f.cmdOk->isEnabled());
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(f.Parameter, QStringLiteral("-p070"));

    // At its smallest, as it first opens, and enlarged by the user.
    for (const bool enlarged : {false, true}) {
        frmParameter& g = Open();
        g.resize(enlarged ? QSize(700, 600) : g.minimumSizeHint());
        ASSERT_TRUE(showActive(g));
        const QTreeWidgetItem* current = g.treeParams->currentItem();
        ASSERT_TRUE(current);
        EXPECT_EQ(current->text(0), QStringLiteral("Parameter 070 - -p070"));
        // In sight with the rows around it, not cut at an edge.
        const QRect viewport = g.treeParams->viewport()->rect();
        for (const QTreeWidgetItem* row : std::initializer_list<const QTreeWidgetItem*>
             {g.treeParams->itemAbove(current), current, g.treeParams->itemBelow(current)}) {
            const QRect shown = g.treeParams->visualItemRect(row);
            EXPECT_TRUE(viewport.contains(shown)) << row->text(0).toStdString() << " at " << shown.y() << " in "
                                                  << viewport.height() << (enlarged ? " enlarged" : "");
        }
        QTest::keyClick(g.windowHandle(), Qt::Key_Escape);
    }
}

TEST_F(ParameterPicker, SortsWithoutRegardToCase)
{
    Write("altirra.prm", "-z@@Zeta\r\n-a@@alpha\r\n-s@@Start\r\n-b@@beta\r\n");
    Write("Atari800.prm", "-pal@@PAL video\r\n");
    Open();
    QTreeWidgetItem* root = Root();
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("altirra"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("Atari800"));
    QStringList texts;
    for (int i = 0; i < root->child(0)->childCount(); ++i) texts << root->child(0)->child(i)->text(0);
    EXPECT_EQ(texts, (QStringList{"alpha - -a", "beta - -b", "Start - -s", "Zeta - -z"}));
}

TEST_F(ParameterPicker, NothingChosen)
{
    frmParameter& f = Open();   // no parameter files: the root alone
    EXPECT_EQ(Root()->childCount(), 0);
    f.cmdOk_Click();
    EXPECT_EQ(f.Parameter, QString());

    Write("Atari800.prm", "-pal@@PAL video\n");   // LF line ends are read as well
    frmParameter& g = Open();
    ASSERT_EQ(Root()->child(0)->childCount(), 1);
    g.treeParams->setCurrentItem(Root()->child(0)->child(0));
    g.cmdCancel->click();
    EXPECT_EQ(g.Parameter, QString());
}

// The parameter files shipped beside the program: every line is a parameter, the texts come
// through in their code page, and a few known switches of each emulator are offered.
TEST_F(ParameterPicker, ShippedFiles)
{
    const QDir shipped(QStringLiteral(TOVARIN_SHIPPED_LANG));
    gtLangPath = shipped.path() + QLatin1Char('/');
    frmParameter& f = Open();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    QTreeWidgetItem* root = Root();
    ASSERT_EQ(root->childCount(), 3);

    struct Case {
        const char* emulator;
        const char* node;        // description - parameter, as the tree shows it
        const char* parameter;   // what choosing it hands back
    };
    const Case kCases[] = {
        {"Atari800", "Videonorm PAL - -pal", "-pal"},
        {"Atari800", "Programm starten (EXE, COM, XEX, BAS, LST) - -run <image>", "-run \"<$Filepath$>\""},
        {"Atari800", "BASIC ausschalten - -nobasic", "-nobasic"},
        {"Atari800", "Kassette schreibgeschützt - -tape-readonly", "-tape-readonly"},
        {"Atari800", "Kassette einlegen und davon starten - -nopatch -boottape <image>", "-nopatch -boottape \"<$Filepath$>\""},
        {"Atari++", "Videonorm PAL - -videomode PAL", "-videomode PAL"},
        {"Atari++", "BASIC ausschalten - -basictype disabled", "-basictype disabled"},
        {"Atari++", "Diskette oder Programm in Laufwerk 1 einlegen - -image.1 <image>",
         "-image.1 \"<$Filepath$>\""},
        {"Altirra", "Videonorm PAL - /pal", "/pal"},
        {"Altirra", "Steckmodul einsetzen - /cart <image>", "/cart \"<$Filepath$>\""},
        {"Altirra", "Rechner: Atari XL/XE - /hardware:800xl", "/hardware:800xl"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.node);
        QTreeWidgetItem* node = nullptr;
        for (int e = 0; e < root->childCount(); ++e) {
            QTreeWidgetItem* emu = root->child(e);
            if (emu->text(0) != QLatin1String(c.emulator)) continue;
            for (int i = 0; i < emu->childCount(); ++i)
                if (emu->child(i)->text(0) == QString::fromUtf8(c.node)) node = emu->child(i);
        }
        ASSERT_TRUE(node);
        f.treeParams->setCurrentItem(node);
        EXPECT_TRUE(f.cmdOk->isEnabled());
        f.Parameter.clear();
        f.cmdOk_Click();
        EXPECT_EQ(f.Parameter, QString::fromUtf8(c.parameter));
    }

    // Each file ends every line in CR LF and holds nothing but parameters.
    for (int e = 0; e < root->childCount(); ++e) {
        QTreeWidgetItem* emu = root->child(e);
        SCOPED_TRACE(emu->text(0).toStdString());
        QFile file(shipped.filePath(emu->text(0) + QStringLiteral(".prm")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
        EXPECT_EQ(emu->childCount(), bytes.count("\r\n"));
    }
}

// A switch that takes one of a list of words is offered only with words the emulator takes.
TEST_F(ParameterPicker, ShippedChoicesAreWordsTheEmulatorTakes)
{
    struct Case {
        const char* file;
        const char* option;
        QStringList words;   // the emulator's own list (compared without regard to case)
    } const kCases[] = {
        {"Atari++.prm", "-ostype", {"Auto", "OsA", "OsB", "Os1200", "OsXL", "BuiltIn"}},
        {"Atari++.prm", "-basictype", {"Auto", "RevA", "RevB", "RevC", "BuiltIn", "Disabled"}},
        {"Atari++.prm", "-machine", {"800", "1200", "XL", "XE", "5200"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.option);
        QFile file(QStringLiteral(TOVARIN_SHIPPED_LANG) + QString::fromLatin1(c.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        int offered = 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QStringList words = QString::fromLatin1(line.left(line.indexOf("@@"))).split(QLatin1Char(' '));
            if (words.size() != 2 || words[0] != QLatin1String(c.option)) continue;
            EXPECT_TRUE(c.words.contains(words[1], Qt::CaseInsensitive)) << words[1].toStdString();
            ++offered;
        }
        EXPECT_GT(offered, 0);
    }
}

// Every parameter of the shipped files that names the started file hands the emulator a path
// with a blank as one argument, once chosen in the picker and started.
TEST_F(ParameterPicker, ShippedFileParametersKeepAPathWithABlankWhole)
{
    gtLangPath = QStringLiteral(TOVARIN_SHIPPED_LANG);
    frmParameter& f = Open();
    const QString path = QStringLiteral("/games/My Demo.xex");
    const clsFileInfo file;
    int checked = 0;
    for (int e = 0; e < Root()->childCount(); ++e) {
        QTreeWidgetItem* emu = Root()->child(e);
        for (int i = 0; i < emu->childCount(); ++i) {
            QTreeWidgetItem* node = emu->child(i);
            if (!node->text(0).contains(QLatin1String("<image>"))) continue;
            SCOPED_TRACE(node->text(0).toStdString());
            f.treeParams->setCurrentItem(node);
            f.cmdOk_Click();
            const StartParams params = BuildStartParams(f.Parameter + QStringLiteral("=@=1"), 0, file, path, {});
            EXPECT_TRUE(params.arguments.contains(path)) << params.arguments.join(QLatin1Char('|')).toStdString();
            EXPECT_FALSE(params.arguments.contains(QStringLiteral("Demo.xex")));
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
} // namespace tv
