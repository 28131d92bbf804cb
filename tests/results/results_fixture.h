#pragma once
// The result tools are tested on a real comparison of two temporary trees:
// drive C: holds the Primary Structure, D: the Secondary one, both compared
// from their roots. The tools are installed as the program installs them.

#include "compare/compare_fixture.h"
#include "results/ResultTools.h"
#include "shared/WindowHooks.h"

namespace results_test {

using namespace compare_test;

class ResultsTest : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        results::installResultTools();
        g().CurrentPath = {QStringLiteral("C:"), QStringLiteral("D:")};
        g().DateFormatName = QStringLiteral("short");
        g().TimeFormatName = QStringLiteral("long");
        const int widths[9] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};
        for (int k = 0; k < 9; ++k) g().DefaultGridColumnWidth[std::size_t(k)] = g().GridColumnWidth[std::size_t(k)] = widths[k];
    }
    void TearDown() override
    {
        basGlobal::windowHooks() = basGlobal::WindowHooks();
        CompareTest::TearDown();
    }
    // Opens the results window, runs the comparison and then `script`, and
    // closes the window.
    void withResults(const std::function<void()>& script, bool differ = true)
    {
        if (differ) expectDifferMessage();
        compareAndClose(script);
    }
    // Grid rows: 1 newer.txt (N), 2 only1.txt, 3 only2.txt, 4 same.txt,
    // 5 size.txt (900 against 1,200 bytes), 6 Docs\, 7 a.txt, 8 Empty\.
    void sampleTrees()
    {
        const QDateTime t(QDate(2024, 5, 1), QTime(12, 0, 0));
        for (const char* name : {"same.txt", "Docs/a.txt"}) {
            for (auto* drive : {&c, &d}) {
                file(*drive, QLatin1String(name), "0123456789");
                setLocalMtime(*drive, QLatin1String(name), t);
            }
        }
        file(c, QStringLiteral("size.txt"), QByteArray(900, 'x'));
        file(d, QStringLiteral("size.txt"), QByteArray(1200, 'x'));
        file(c, QStringLiteral("newer.txt"), "abcde");
        file(d, QStringLiteral("newer.txt"), "abcde");
        for (const char* name : {"size.txt", "newer.txt"}) {
            setLocalMtime(c, QLatin1String(name), t.addSecs(name[0] == 'n' ? 3600 : 0));
            setLocalMtime(d, QLatin1String(name), t);
        }
        file(c, QStringLiteral("only1.txt"));
        file(d, QStringLiteral("only2.txt"));
        folder(c, QStringLiteral("Empty"));
        folder(d, QStringLiteral("Empty"));
    }
    static std::vector<ui::Color> colours(const ui::FlexGrid& g)
    {
        std::vector<ui::Color> out;
        for (int r = 0; r < g.rows(); ++r)
            for (int k = 0; k < g.cols(); ++k) out.push_back(g.cellBackColorAt(r, k));
        return out;
    }
    // The grid row whose Primary or Secondary name is `name`.
    int rowOf(const QString& name) const
    {
        for (int r = 1; r < win.grdResults->rows(); ++r)
            if (win.grdResults->textMatrix(r, 1) == name || win.grdResults->textMatrix(r, 2) == name) return r;
        return -1;
    }
};

} // namespace results_test
