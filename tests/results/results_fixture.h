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
    // The grid row whose Primary or Secondary name is `name`.
    int rowOf(const QString& name) const
    {
        for (int r = 1; r < win.grdResults->rows(); ++r)
            if (win.grdResults->textMatrix(r, 1) == name || win.grdResults->textMatrix(r, 2) == name) return r;
        return -1;
    }
};

} // namespace results_test
