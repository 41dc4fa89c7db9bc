#include "catalogue/tree/ctreelevels.h"
#include "platform/gui/msgbox.h"
#include "treecatalogue.h"
#include "treetest.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

const QString kLevel1 = QStringLiteral("SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,9 AS Icon,'Alle' From Config");
const QString kLevel2 = QStringLiteral("SELECT ID, -1, 22, tCategory FROM Category ORDER BY tCategory");
const QString kLevel3 = QStringLiteral("SELECT ID, Category_ID, iFileType, tFile FROM MainFiles ORDER BY tFile");

QStringList keysOf(const std::shared_ptr<TreeNodes>& nodes)
{
    QStringList keys;
    for (int i = 0; nodes && i < nodes->Count(); ++i) keys << nodes->Value(i, 0).text();
    return keys;
}

} // namespace

class TreeLevels : public TreeCatalogue {
protected:
    std::shared_ptr<CTreeLevels> levels = std::make_shared<CTreeLevels>();
    int changed = 0;
    void SetUp() override
    {
        TreeCatalogue::SetUp();
        levels->Create(db, 0);
        levels->Changed.connect([this] { ++changed; });
    }
};

TEST_F(TreeLevels, SetupReplacesTheLevelsAndTellsOnce)
{
    int a = addCategory(QStringLiteral("A"));
    int b = addCategory(QStringLiteral("B"));
    int f1 = addFile(QStringLiteral("one"), a, 1);
    addFile(QStringLiteral("two"), b, 1);

    levels->Setup(kLevel1, kLevel2, kLevel3);
    EXPECT_EQ(changed, 1);
    ASSERT_EQ(levels->Count(), 3);
    levels->Setup(QStringList{kLevel1, kLevel2, kLevel3});
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(levels->Count(), 3);

    // Levels 1 and 2 are read whole; level 3 by its parent key.
    EXPECT_EQ(keysOf(levels->Getnodes(2, QStringLiteral("ignored"))),
              (QStringList{QString::number(a), QString::number(b)}));
    EXPECT_EQ(keysOf(levels->Getnodes(3, QString::number(a))), QStringList{QString::number(f1)});
    EXPECT_EQ(levels->Getnodes(4, QString()), nullptr);

    // Parent buffers for every level but the last.
    ASSERT_NE(levels->ParentBuffer(1), nullptr);
    EXPECT_TRUE(levels->ParentBuffer(1)->Contains(Variant(int32_t(-1))));
    ASSERT_NE(levels->ParentBuffer(2), nullptr);
    EXPECT_EQ(levels->ParentBuffer(2)->Count(), 2);
    EXPECT_EQ(levels->ParentBuffer(3), nullptr);

    EXPECT_TRUE(levels->id(0).isEmpty());
    EXPECT_TRUE(levels->id(4).isEmpty());
    EXPECT_EQ(levels->id(1), Variant(QString()));
    levels->setId(2, Variant(QStringLiteral("cat")));
    EXPECT_EQ(levels->id(2), Variant(QStringLiteral("cat")));

    levels->ReInit = false;
    levels->Setup(kLevel1);
    EXPECT_EQ(changed, 2);
    levels->AddNew(Variant(), kLevel2);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(levels->Count(), 2);
}

TEST_F(TreeLevels, PlusMinusModeReadsNoParentKeys)
{
    levels->Create(db, 1);
    levels->Setup(kLevel1, kLevel2);
    EXPECT_EQ(levels->ParentBuffer(1), nullptr);
    EXPECT_EQ(levels->PlusMinusMode(), 1);
}

TEST_F(TreeLevels, AFailingLevelEndsTheSetupWithTheTreeBox)
{
    QString title, text;
    SetMsgBoxHook([&](const QString& p, int, const QString& t) { text = p; title = t; return int(vbOK); });
    levels->Setup(kLevel1, QStringLiteral("SELECT ID, -1, 1, tNone FROM NoSuchTable"));
    SetMsgBoxHook(nullptr);
    EXPECT_EQ(title, QStringLiteral("Tree: CTreeLevels_Setup"));
    // The engine's English text follows a sentence in the program's language.
    EXPECT_TRUE(text.startsWith(QStringLiteral("Fehler beim Lesen der Datenbank: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive)) << text.toStdString();
    EXPECT_EQ(changed, 0);
    // The setup is over: a level added now is reported.
    levels->Setup();
    EXPECT_EQ(changed, 1);
    levels->AddNew(Variant(), kLevel1);
    EXPECT_EQ(changed, 2);
}

TEST_F(TreeLevels, FindParentKeyWalksUpByKey)
{
    int games = addCategory(QStringLiteral("Spiele"));
    int f = addFile(QStringLiteral("O'Brien's Quest"), games, 1);
    levels->Setup(kLevel1, kLevel2, kLevel3);
    EXPECT_EQ(levels->FindParentKey(QString::number(f), 3), QString::number(games));
    EXPECT_EQ(levels->FindParentKey(QString::number(games), 2), QStringLiteral("-1"));
    EXPECT_EQ(levels->FindParentKey(QString::number(f), 4), QString());

    // Text keys, apostrophes included; the caller's key stays as it was.
    const QString key = QStringLiteral("O'Brien's Quest");
    levels->Setup(kLevel1, kLevel2, QStringLiteral("SELECT tFile, Category_ID, 1, tFile FROM MainFiles"));
    EXPECT_EQ(levels->FindParentKey(key, 3), QString::number(games));
    EXPECT_EQ(key, QStringLiteral("O'Brien's Quest"));

    // A UNION level: the row is picked by its key among all parts.
    levels->Setup(kLevel1, QStringLiteral("SELECT ID, -1, 22, tCategory FROM Category UNION "
                                          "SELECT ID, -2, 1, tFile FROM MainFiles"));
    EXPECT_EQ(levels->FindParentKey(QString::number(f), 2), QStringLiteral("-2"));
    EXPECT_EQ(levels->FindParentKey(QStringLiteral("4711"), 2), QString());
    levels->Setup(kLevel1, QStringLiteral("SELECT ID, -1, 22, tCategory FROM Category union "
                                          "SELECT ID, -2, 1, tFile FROM MainFiles"));
    EXPECT_EQ(levels->FindParentKey(QString::number(f), 2), QStringLiteral("-2"));
}
