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

// A list on a loaded form, sorted or not.
class ListTest : public UiTest {
protected:
    ListBox* list(bool sorted)
    {
        form.load();
        auto* l = form.add<ListBox>(QStringLiteral("lst"));
        l->setSorted(sorted);
        return l;
    }
    TestForm form{QStringLiteral("frmHidden")};
};

} // namespace

TEST(SortOrder, BackslashFirstThenLettersByUpperCaseThenByExactCode)
{
    const struct {
        const char *a, *b;
        int sign;   // of compareSortOrder(a, b)
    } cases[] = {
        {"A\\B", "A B", -1}, {"Dir\\z.txt", "Dir!\\a.txt", -1}, {"\\", "\t", -1},   // "\\" before everything
        {"apple", "Banana", -1}, {"Zeta", "zf", -1}, {"same", "same", 0}, {"ab", "abc", -1},
        {"DATA", "Data", -1}, {"Data", "data", -1},   // equal but for case: upper case first
        {"a", "_", -1},                             // upper-casing decides: "_" follows "Z"
        {"αλφα", "Βήτα", -1},
    };
    for (const auto& c : cases) {
        const int r = compareSortOrder(QString::fromUtf8(c.a), QString::fromUtf8(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " " << c.b;
        EXPECT_EQ(-compareSortOrder(QString::fromUtf8(c.b), QString::fromUtf8(c.a)) < 0, c.sign < 0) << c.a;
    }
    EXPECT_EQ(compareSortOrderIgnoringCase(QStringLiteral("DATA"), QStringLiteral("data")), 0);
    EXPECT_EQ(compareSortOrderIgnoringCase(QStringLiteral("αρχείο"), QStringLiteral("ΑΡΧΕΊΟ")), 0);
}

TEST_F(ListTest, SortedListInsertsMixedCaseInTheOneOrder)
{
    ListBox* l = list(true);
    for (const char* s : {"b.txt", "A\\x", "a b", "B.TXT", "a", "A"}) l->addItem(QString::fromUtf8(s));
    EXPECT_EQ(itemsOf(*l), (QStringList{"A", "a", "A\\x", "a b", "B.TXT", "b.txt"}));
}

TEST_F(ListTest, SortedListPutsEqualItemsAfterTheExistingOnes)
{
    ListBox* l = list(true);
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

TEST_F(ListTest, LargeSortedListMatchesAStableSortAndHasNoItemLimit)
{
    ListBox* l = list(true);
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

TEST_F(ListTest, UnsortedListKeepsOrderAndInsertsAtAnIndex)
{
    ListBox* l = list(false);
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

TEST_F(ListTest, ManyInsertionsAndRemovalsAcrossBlocksKeepIndexesRight)
{
    ListBox* l = list(false);
    QStringList model;
    QList<int> data;
    QRandomGenerator rng(11);
    for (int i = 0; i < 12000; ++i) {
        const int at = int(rng.bounded(model.size() + 1));
        l->addItem(QString::number(i), at);
        l->setItemData(at, i);
        model.insert(at, QString::number(i));
        data.insert(at, i);
        if (i % 3 == 0) {
            const int gone = int(rng.bounded(model.size()));
            l->removeItem(gone);
            model.removeAt(gone);
            data.removeAt(gone);
        }
    }
    ASSERT_EQ(itemsOf(*l), model);
    for (int i = 0; i < model.size(); i += 97) EXPECT_EQ(l->itemData(i), data[i]);
    while (l->listCount() > 0) l->removeItem(0);
    l->addItem(QStringLiteral("again"));
    EXPECT_EQ(itemsOf(*l), QStringList{"again"});
}
