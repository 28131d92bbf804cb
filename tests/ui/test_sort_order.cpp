#include "TestSupport.h"
#include "support/TempDrive.h"

#include "ui/ListBox.h"
#include "ui/SortOrder.h"

#include <QRandomGenerator>

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;

namespace {

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

// A sorted list holds the stable sort of what was added: equal items go
// after the existing ones (their item data tells them apart), with no limit
// on the number of items; Find gives the first of equal items, exact case.
TEST_F(ListTest, LargeSortedListMatchesAStableSortAndFindsTheFirstOfEqualItems)
{
    ListBox* l = list(true);
    QRandomGenerator rng(7);
    QList<std::pair<QString, int>> expected;
    for (int i = 0; i < 40000; ++i) {
        QString s = QStringLiteral("Dir%1\\File%2").arg(rng.bounded(300)).arg(rng.bounded(50));
        if (rng.bounded(2)) s = s.toLower();
        expected.append({s, i});
        l->addItem(s);
        l->setItemData(l->newIndex(), i);
    }
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return sortsBefore(a.first, b.first); });
    ASSERT_EQ(l->listCount(), 40000);
    for (int k = 0; k < l->listCount(); ++k) {
        ASSERT_EQ(l->list(k), expected[k].first) << k;
        ASSERT_EQ(l->itemData(k), expected[k].second) << k;
    }
    for (int k = 1; k < l->listCount(); k += 997) {
        const auto first = std::find_if(expected.begin(), expected.end(), [&](const auto& e) { return e.first == expected[k].first; });
        EXPECT_EQ(l->find(expected[k].first), int(first - expected.begin())) << k;
    }
    EXPECT_EQ(l->find(expected[1].first.toUpper()), -1);
}

// Unsorted, Find gives the first of equal items, in exact case, and -1 for
// a text no item has.
TEST_F(ListTest, AnUnsortedListFindsTheFirstOfEqualItemsOrNothing)
{
    ListBox* l = list(false);
    for (const char* s : {"zeta", "Beta", "alpha", "beta", "alpha"}) l->addItem(QString::fromLatin1(s));
    EXPECT_EQ(l->find(QStringLiteral("alpha")), 2);
    EXPECT_EQ(l->find(QStringLiteral("beta")), 3);
    EXPECT_EQ(l->find(QStringLiteral("zeta")), 0);
    EXPECT_EQ(l->find(QStringLiteral("gamma")), -1);
    EXPECT_EQ(l->find(QStringLiteral("ALPHA")), -1);
}

// (An unsorted list appending as the bulk append does: the bulk test.)
TEST_F(ListTest, ManyInsertionsAndRemovalsAcrossBlocksKeepIndexesRightAndAnIndexOutsideFails)
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
    ASSERT_EQ(testing_support::listItems(*l), model);
    for (int i = 0; i < model.size(); i += 97) EXPECT_EQ(l->itemData(i), data[i]);
    while (l->listCount() > 0) l->removeItem(0);
    l->addItem(QStringLiteral("again"));
    EXPECT_EQ(testing_support::listItems(*l), QStringList{"again"});
    EXPECT_EQ(l->list(99), QString());
    EXPECT_THROW(l->itemData(1), UiError);
    EXPECT_THROW(l->addItem(QStringLiteral("q"), 2), UiError);
}
