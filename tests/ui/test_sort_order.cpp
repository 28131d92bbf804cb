#include "TestSupport.h"

#include "ui/ListBox.h"
#include "ui/SortOrder.h"

#include <QRandomGenerator>

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;

namespace {

QStringList itemsOf(const ListBox& l)
{
    QStringList out;
    for (int i = 0; i < l.listCount(); ++i) out << l.list(i);
    return out;
}

} // namespace

TEST(SortOrder, BackslashSortsBeforeEveryOtherCharacter)
{
    EXPECT_LT(compareSortOrder(QStringLiteral("A\\B"), QStringLiteral("A B")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("Dir\\z.txt"), QStringLiteral("Dir!\\a.txt")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("\\"), QStringLiteral("\t")), 0);
}

TEST(SortOrder, LettersCompareByTheirUpperCaseThenByExactCode)
{
    EXPECT_LT(compareSortOrder(QStringLiteral("apple"), QStringLiteral("Banana")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("Zeta"), QStringLiteral("zf")), 0);
    // Case-equal strings: exact code order decides, upper case first.
    EXPECT_LT(compareSortOrder(QStringLiteral("DATA"), QStringLiteral("Data")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("Data"), QStringLiteral("data")), 0);
    EXPECT_EQ(compareSortOrderIgnoringCase(QStringLiteral("DATA"), QStringLiteral("data")), 0);
    EXPECT_EQ(compareSortOrder(QStringLiteral("same"), QStringLiteral("same")), 0);
    // Upper-casing decides against characters between the cases: "_" follows "Z".
    EXPECT_LT(compareSortOrder(QStringLiteral("a"), QStringLiteral("_")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("ab"), QStringLiteral("abc")), 0);
}

TEST(SortOrder, GreekLettersFoldTheirCaseToo)
{
    EXPECT_EQ(compareSortOrderIgnoringCase(QStringLiteral("αρχείο"), QStringLiteral("ΑΡΧΕΊΟ")), 0);
    EXPECT_LT(compareSortOrder(QStringLiteral("αλφα"), QStringLiteral("Βήτα")), 0);
}

TEST_F(UiTest, SortedListInsertsMixedCaseInTheOneOrder)
{
    TestForm f(QStringLiteral("frmHidden"));
    f.load();
    auto* l = f.add<ListBox>(QStringLiteral("lstSorted"));
    l->setSorted(true);
    for (const char* s : {"b.txt", "A\\x", "a b", "B.TXT", "a", "A"}) l->addItem(QString::fromUtf8(s));
    EXPECT_EQ(itemsOf(*l), (QStringList{"A", "a", "A\\x", "a b", "B.TXT", "b.txt"}));
}

TEST_F(UiTest, SortedListPutsEqualItemsAfterTheExistingOnes)
{
    TestForm f(QStringLiteral("frmHidden"));
    f.load();
    auto* l = f.add<ListBox>(QStringLiteral("lstSorted"));
    l->setSorted(true);
    l->addItem(QStringLiteral("x"));
    l->setItemData(l->newIndex(), 1);
    l->addItem(QStringLiteral("m"));
    l->setItemData(l->newIndex(), 2);
    l->addItem(QStringLiteral("m"));
    EXPECT_EQ(l->newIndex(), 1);
    l->setItemData(l->newIndex(), 3);
    l->addItem(QStringLiteral("m"));
    l->setItemData(l->newIndex(), 4);
    ASSERT_EQ(l->listCount(), 4);
    EXPECT_EQ(l->itemData(0), 2);
    EXPECT_EQ(l->itemData(1), 3);
    EXPECT_EQ(l->itemData(2), 4);
    EXPECT_EQ(l->itemData(3), 1);
    EXPECT_EQ(l->find(QStringLiteral("m")), 0);
    EXPECT_EQ(l->find(QStringLiteral("M")), -1);
}

TEST_F(UiTest, LargeSortedListMatchesAStableSortAndHasNoItemLimit)
{
    TestForm f(QStringLiteral("frmHidden"));
    f.load();
    auto* l = f.add<ListBox>(QStringLiteral("lstSorted"));
    l->setSorted(true);
    QRandomGenerator rng(7);
    QStringList added;
    for (int i = 0; i < 40000; ++i) {
        QString s = QStringLiteral("Dir%1\\File%2").arg(rng.bounded(300)).arg(rng.bounded(50));
        if (rng.bounded(2)) s = s.toLower();
        added << s;
        l->addItem(s);
    }
    QStringList expected = added;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) { return sortsBefore(a, b); });
    EXPECT_EQ(l->listCount(), 40000);
    EXPECT_EQ(itemsOf(*l), expected);
}

TEST_F(UiTest, UnsortedListKeepsOrderAndInsertsAtAnIndex)
{
    TestForm f(QStringLiteral("frmHidden"));
    f.load();
    auto* l = f.add<ListBox>(QStringLiteral("lst"));
    l->addItem(QStringLiteral("c"));
    l->addItem(QStringLiteral("a"));
    l->addItem(QStringLiteral("b"));
    l->removeItem(1);
    l->addItem(QStringLiteral("z"), 1);
    EXPECT_EQ(itemsOf(*l), (QStringList{"c", "z", "b"}));
    EXPECT_EQ(l->list(99), QString());
    EXPECT_THROW(l->itemData(3), UiError);
    EXPECT_THROW(l->addItem(QStringLiteral("q"), 5), UiError);
}
