#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/frmfile.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/msgbox.h"
#include "tests/catalogue_rows.h"
#include "savedglobals.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace tv {
namespace {

// A catalogue with two categories and files made on disk; message boxes are recorded.
class FileWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitProgramPaths(dir.path());
        InitProgramValues();
        gcolWindows.clear();  // placements of earlier tests
        DbError error;
        goDB = CreateCatalogue(dir.filePath(QStringLiteral("test.mdb")), {}, &error);
        ASSERT_TRUE(goDB) << error.description.toStdString();
        for (const char* sql : {"INSERT INTO Category (ID, tCategory) VALUES (1, 'Spiele')",
                                "INSERT INTO Category (ID, tCategory) VALUES (2, 'Demos')"})
            ASSERT_FALSE(goDB->Execute(QString::fromLatin1(sql)));
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            boxes << prompt;
            return int(vbOK);
        });
        f.StartFileFn = [this](qint32 id, QString& profil, std::shared_ptr<clsFileInfo>& file) {
            starts.push_back({id, profil, *file});
            return QString();
        };
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        CloseDB();
    }

    // A file on disk and its row; `values` are the SQL values of Category_ID, iBasic, iModel,
    // iOS, iVideo, tMemo, tParam.
    void AddFile(const QString& name, int type = 1, const QString& values = QStringLiteral("1,Null,Null,Null,Null,Null,Null"),
                 const QString& chain = QString())
    {
        path = dir.filePath(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1536, 'x'));
        file.close();
        const QString unpack = chain.isEmpty() ? QStringLiteral("Null") : QLatin1Char('\'') + chain + QLatin1Char('\'');
        const QString file_ = chain.isEmpty() ? name : chain.section(QLatin1Char('\\'), -1);
        const DbError e = goDB->Execute(
            QStringLiteral("Insert Into MainFiles (ID,tFile,tPath,tUnpackPath,iFileType,lSize,Category_ID,iBasic,iModel,iOS,"
                           "iVideo,tMemo,tParam) Values (7,'%1','%2',%3,%4,1536,%5)")
                .arg(file_, path, unpack).arg(type).arg(values));
        ASSERT_FALSE(e) << e.description.toStdString();
        f.FileID = 7;
    }
    QStringList Row()
    {
        const auto rows = test::CatalogueRows(QStringLiteral(
            "Select tFile,tPath,Category_ID,iBasic,iModel,iOS,iVideo,tMemo,tParam From MainFiles where ID=7"));
        return rows.empty() ? QStringList() : rows.front();
    }
    template <class T>
    T* Get(const char* name) { return f.findChild<T*>(QString::fromLatin1(name)); }
    void Click(const char* button) { Get<QPushButton>(button)->click(); }

    struct Start {
        qint32 id;
        QString profil;
        clsFileInfo file;
    };
    QTemporaryDir dir;
    test::SavedEmulatorGlobals saved;
    frmFile f;
    QString path;
    QStringList boxes;
    std::vector<Start> starts;
};

TEST_F(FileWindow, ShowsTheFileAndOkWithoutChangeWritesNothing)
{
    AddFile(QStringLiteral("GAME.ATR"), 1, QStringLiteral("2,2,Null,6,Null,'Mein Memo','-pal'"));
    const QStringList before = Row();
    f.imgMain = std::make_shared<ImageList>();
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::red);
    f.imgMain->Add(icon);
    ASSERT_TRUE(f.Form_Load());
    EXPECT_EQ(Get<QLabel>("imgTyp")->pixmap().toImage().pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_FALSE(f.grab().isNull());  // the path label paints itself
    EXPECT_EQ(f.windowTitle(), "Datei: GAME");
    EXPECT_EQ(Get<QLineEdit>("txtNew")->text(), "GAME");
    EXPECT_EQ(Get<QLabel>("lblExtension")->text(), ".ATR");
    EXPECT_EQ(Get<QLabel>("lblPath")->text(), path);
    EXPECT_EQ(Get<QLabel>("lblSize")->text(), FormatFileSize(1536));
    EXPECT_EQ(Get<QComboBox>("cboCategory")->currentText(), "Demos");
    EXPECT_EQ(Get<QComboBox>("cboBasic")->currentText(), "Ja");
    EXPECT_EQ(Get<QComboBox>("cboModel")->currentText(), "");
    EXPECT_EQ(Get<QComboBox>("cboOS")->currentText(), "Auto");
    EXPECT_EQ(Get<QLineEdit>("txtMemo")->text(), "Mein Memo");
    EXPECT_EQ(Get<QLineEdit>("txtParam")->text(), "-pal");
    EXPECT_FALSE(Get<QLabel>("imgZipped")->isVisibleTo(&f));
    Click("cmdOk");
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(Row(), before);
    EXPECT_TRUE(gcolWindows.keyExists("frmFile"));  // an emulated file keeps its placement
}

TEST_F(FileWindow, TheCategoriesAreListedByName)
{
    ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO Category (ID, tCategory) VALUES (3, 'Anwendungen')")));
    AddFile(QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    auto* box = Get<QComboBox>("cboCategory");
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    EXPECT_EQ(items, (QStringList{"Anwendungen", "Demos", "Spiele"}));
    EXPECT_EQ(box->currentText(), "Spiele");
}

TEST_F(FileWindow, CategoryIsChosenTypedOrCleared)
{
    struct Case {
        QString choice, typed, expected;
    } cases[] = {{"Demos", {}, "2"}, {{}, "Neu", "3"}, {{}, "spiele", "1"}, {{}, {}, "<Null>"}};
    for (const Case& c : cases) {
        AddFile(QStringLiteral("GAME.ATR"));
        frmFile window;
        window.FileID = 7;
        ASSERT_TRUE(window.Form_Load());
        auto* box = window.findChild<QComboBox*>("cboCategory");
        if (!c.choice.isEmpty()) box->setCurrentIndex(box->findText(c.choice));
        else box->setEditText(c.typed);
        window.findChild<QPushButton*>("cmdOk")->click();
        EXPECT_TRUE(window.Changed) << c.typed.toStdString();
        EXPECT_EQ(Row()[2], c.expected) << c.typed.toStdString();
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete From MainFiles")));
    }
    QString where = QStringLiteral("ID=3");
    EXPECT_EQ(LookupField(QStringLiteral("tCategory"), QStringLiteral("Category"), where), "Neu");
    where.clear();
    EXPECT_EQ(LookupField(QStringLiteral("Count(*)"), QStringLiteral("Category"), where), "3");
}

// Typed as a user types: the category box completes "de" to "demos", and one Return takes the
// completion and OK together.
TEST_F(FileWindow, OneReturnTakesTheCompletedCategoryAndCloses)
{
    AddFile(QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QApplication::setActiveWindow(&f);
    auto* box = Get<QComboBox>("cboCategory");
    box->setFocus(Qt::TabFocusReason);
    box->lineEdit()->selectAll();
    for (const char c : {'d', 'e'}) QTest::keyClick(f.windowHandle(), c);
    ASSERT_EQ(box->currentText(), "demos");
    QTest::keyClick(f.windowHandle(), Qt::Key_Return);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(Row()[2], "2");
}

TEST_F(FileWindow, RenameKeepsTheExtensionOnce)
{
    struct Case {
        QString file, typed, extension, expected;
    } const kCases[] = {
        {"GAME.ATR", "NEW", ".ATR", "NEW.ATR"},
        {"GAME.ATR", "NEW.atr", ".ATR", "NEW.atr"},
        {"GAME.ATR", "NEW.ATR", ".ATR", "NEW.ATR"},
        {"PIC.TIFF", "NEW", ".TIFF", "NEW.TIFF"},   // the extension runs from the last "."
        {"my.game.xex", "new", ".xex", "new.xex"},
        {"README", "READ", "", "READ"},             // no dot, no extension
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file.toStdString() + " -> " + c.typed.toStdString());
        AddFile(c.file);
        frmFile window;
        window.FileID = 7;
        ASSERT_TRUE(window.Form_Load());
        EXPECT_EQ(window.findChild<QLabel*>("lblExtension")->text(), c.extension);
        window.findChild<QLineEdit*>("txtNew")->setText(c.typed);
        window.findChild<QPushButton*>("cmdOk")->click();
        EXPECT_TRUE(window.Changed);
        EXPECT_EQ(Row().mid(0, 2), (QStringList{c.expected, dir.filePath(c.expected)}));
        EXPECT_TRUE(QFile::exists(dir.filePath(c.expected)));
        EXPECT_FALSE(QFile::exists(path));
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete From MainFiles")));
        QFile::remove(dir.filePath(c.expected));
    }
}

// A long path takes as many lines as it needs: the file name at its end is shown whole.
TEST_F(FileWindow, PathLabelIsAsHighAsItsText)
{
    QString folder;
    for (int i = 0; i < 12; ++i) folder += QStringLiteral("EinSehrLangerOrdnername%1/").arg(i);
    ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
    AddFile(folder + QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    f.show();
    QApplication::processEvents();
    QLabel* label = Get<QLabel>("lblPath");
    const int needed = AutoSizeLabelHeight(label->font(), label->width(), label->text());
    EXPECT_GT(needed, 3 * QFontMetrics(label->font()).height());
    EXPECT_GE(label->height(), needed);
    EXPECT_LE(label->width(), 800);   // a long path makes lines, not a wide window
    f.reject();
}

TEST_F(FileWindow, RefusedRenameWritesNothingAndTheNextOkStillStoresTheCategory)
{
    AddFile(QStringLiteral("GAME.ATR"));
    QFile taken(dir.filePath(QStringLiteral("TAKEN.ATR")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    ASSERT_TRUE(f.Form_Load());
    const QStringList before = Row();
    auto* box = Get<QComboBox>("cboCategory");
    box->setCurrentIndex(box->findText("Demos"));
    // A name another file has is said to be taken, with the file that has it.
    const struct {
        const char* name;
        QString message;
    } cases[] = {{"TAKEN", "Datei konnte nicht umbenannt werden!\nDieser Name besteht schon!\n" + dir.filePath("TAKEN.ATR")},
                 {"../GAME2", "Datei konnte nicht umbenannt werden!"}};
    for (const auto& [name, message] : cases) {
        Get<QLineEdit>("txtNew")->setText(QString::fromLatin1(name));
        Click("cmdOk");
        EXPECT_EQ(boxes.value(0), message) << name;
        EXPECT_FALSE(f.Changed);
        EXPECT_EQ(f.result(), 0);  // still open
        EXPECT_EQ(Row(), before);
        EXPECT_TRUE(QFile::exists(path));
        boxes.clear();
    }
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).absoluteFilePath(QStringLiteral("../GAME2.ATR"))));

    Get<QLineEdit>("txtNew")->setText(QStringLiteral("GAME"));
    Click("cmdOk");
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Row()[2], "2");
}

TEST_F(FileWindow, MissingFileIsReportedAtRename)
{
    AddFile(QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    QFile::remove(path);
    Get<QLineEdit>("txtNew")->setText(QStringLiteral("NEW"));
    Click("cmdOk");
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Datei nicht gefunden: ") + path});
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(Row()[0], "GAME.ATR");
}

TEST_F(FileWindow, RenameIsUndoneWhenTheRowIsGone)
{
    AddFile(QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete From MainFiles")));
    Get<QLineEdit>("txtNew")->setText(QStringLiteral("NEW"));
    Click("cmdOk");
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_FALSE(f.Changed);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("NEW.ATR"))));
}

TEST_F(FileWindow, MissingRowShowsNoWindow)
{
    f.FileID = 99;
    EXPECT_FALSE(f.Form_Load());
    EXPECT_EQ(f.exec(), QDialog::Rejected);
}

TEST_F(FileWindow, ArchiveMemberKeepsItsName)
{
    AddFile(QStringLiteral("PACK.ZIP"), 1, QStringLiteral("Null,Null,Null,Null,Null,Null,Null"),
            QStringLiteral("sub\\GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    EXPECT_EQ(Get<QLabel>("lblPath")->text(), path + "\\sub\\GAME.ATR");
    EXPECT_TRUE(Get<QLabel>("imgZipped")->isVisibleTo(&f));
    EXPECT_FALSE(Get<QLineEdit>("txtNew")->isEnabled());
    Get<QLineEdit>("txtNew")->setText(QStringLiteral("NEW"));
    Click("cmdOk");
    EXPECT_EQ(Row().mid(0, 2), (QStringList{"GAME.ATR", path}));
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(FileWindow, ViewedFileHasNoEmulatorSettingsAndNoPlacement)
{
    AddFile(QStringLiteral("README.TXT"), 18);
    ASSERT_TRUE(f.Form_Load());
    EXPECT_FALSE(Get<QGroupBox>("fraSettings")->isVisibleTo(&f));
    Click("cmdCancel");
    EXPECT_FALSE(gcolWindows.keyExists("frmFile"));
}

TEST_F(FileWindow, SettingsAreWrittenAndOvertypedOnesBecomeNull)
{
    AddFile(QStringLiteral("GAME.ATR"), 1, QStringLiteral("1,1,2,Null,1,'Memo',Null"));
    ASSERT_TRUE(f.Form_Load());
    auto* model = Get<QComboBox>("cboModel");
    model->setCurrentIndex(model->findData(3));
    Get<QComboBox>("cboVideo")->setEditText(QStringLiteral("SECAM"));
    Get<QLineEdit>("txtMemo")->clear();
    Get<QLineEdit>("txtParam")->setText(QStringLiteral("-basic"));
    Click("cmdOk");
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Row().mid(3), (QStringList{"1", "3", "<Null>", "<Null>", "<Null>", "-basic"}));
}

TEST_F(FileWindow, StartUsesTheWindowSettingsAndCancelWritesNone)
{
    AddFile(QStringLiteral("GAME.ATR"));
    const QStringList before = Row();
    ASSERT_TRUE(f.Form_Load());
    auto* os = Get<QComboBox>("cboOS");
    os->setCurrentIndex(os->findData(2));
    Click("cmdStart");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].id, 7);
    EXPECT_EQ(starts[0].profil, "");
    EXPECT_EQ(starts[0].file.iOS, 2);
    Click("cmdCancel");
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(Row(), before);
}

TEST_F(FileWindow, StartedSettingsAreWrittenEvenWhenSetBack)
{
    AddFile(QStringLiteral("GAME.ATR"));
    ASSERT_TRUE(f.Form_Load());
    auto* os = Get<QComboBox>("cboOS");
    os->setCurrentIndex(os->findData(2));
    Click("cmdStart");
    os->setCurrentIndex(-1);
    os->setEditText(QString());
    Click("cmdOk");
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Row()[5], "<Null>");
}

TEST_F(FileWindow, PickedParameterReplacesTheText)
{
    AddFile(QStringLiteral("GAME.ATR"), 1, QStringLiteral("1,Null,Null,Null,Null,Null,'-old'"));
    ASSERT_TRUE(f.Form_Load());
    QString picked;
    f.PickParameterFn = [&picked](QWidget*) { return picked; };
    Click("cmdParam");
    EXPECT_EQ(Get<QLineEdit>("txtParam")->text(), "-old");
    picked = QStringLiteral("-nobasic");
    Click("cmdParam");
    EXPECT_EQ(Get<QLineEdit>("txtParam")->text(), "-nobasic");
}

} // namespace
} // namespace tv
