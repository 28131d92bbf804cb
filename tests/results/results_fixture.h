#pragma once
// The result tools, installed as the program does, on a real comparison of
// drive C: (the Primary Structure) with D: (the Secondary one).

#include "compare/compare_fixture.h"
#include "results/ResultTools.h"
#include "shared/WindowHooks.h"

#include <tuple>

namespace results_test {

using namespace compare_test;

class ResultsTest : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        g().CurrentPath = {QStringLiteral("C:"), QStringLiteral("D:")};
        const int widths[9] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
        for (int k = 0; k < 9; ++k) g().DefaultGridColumnWidth[std::size_t(k)] = g().GridColumnWidth[std::size_t(k)] = widths[k];
        sampleTrees();
    }
    void TearDown() override
    {
        basGlobal::windowHooks() = basGlobal::WindowHooks();
        CompareTest::TearDown();
    }
    // Runs the comparison, then `script`, in the results window.
    void withResults(const std::function<void()>& script)
    {
        expectDifferMessage();
        compareAndClose(script);
    }
    // Grid rows: 1 newer.txt (N), 2 only1.txt, 3 only2.txt, 4 same.txt,
    // 5 size.txt (900 against 1,200 bytes), 6 Docs\, 7 a.txt, 8 Empty\.
    void sampleTrees()
    {
        const QDateTime t(QDate(2024, 5, 1), QTime(12, 0, 0));
        const std::tuple<const char*, QByteArray, QByteArray, int> files[] = {
            {"same.txt", "0123456789", "0123456789", 0}, {"Docs/a.txt", "0123456789", "0123456789", 0},
            {"size.txt", QByteArray(900, 'x'), QByteArray(1200, 'x'), 0}, {"newer.txt", "abcde", "abcde", 3600}};
        for (const auto& [name, primary, secondary, later] : files) {
            file(c, QLatin1String(name), primary, t.addSecs(later));
            file(d, QLatin1String(name), secondary, t);
        }
        file(c, QStringLiteral("only1.txt"));
        file(d, QStringLiteral("only2.txt"));
        folder(c, QStringLiteral("Empty"));
        folder(d, QStringLiteral("Empty"));
    }
    static std::vector<ui::Color> colours(const ui::FlexGrid& g)
    {
        std::vector<ui::Color> out;
        for (int k = 0; k < g.rows() * g.cols(); ++k) out.push_back(g.cellBackColorAt(k / g.cols(), k % g.cols()));
        return out;
    }
    int rowOf(const QString& primaryName) const
    {
        for (int r = 1; r < win.grdResults->rows(); ++r)
            if (win.grdResults->textMatrix(r, 1) == primaryName) return r;
        return -1;
    }
};

} // namespace results_test
