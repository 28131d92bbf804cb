// The wildcard matcher against masks with many stars over long names, the
// case where a naive backtracking matcher blows up. Prints the time at three
// name lengths and the growth factor per doubling: near 2 when the matcher
// stays linear in the name for a fixed mask, 4 or more when it does not.
// It checks nothing.
//
// Usage: path_match_bench [length]   (default 20000; also half and a quarter)

#include "platform/PathMatch.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int longest = argc > 1 ? std::atoi(argv[1]) : 20000;
    const QString masks[] = {QStringLiteral("a*a*a*a*a*b"), QStringLiteral("*a*a*a*a*a*a*a*a*?b"), QStringLiteral("*a*a*a*a*a*a*a*a*?a")};
    for (const QString& mask : masks) {
        double previous = 0;
        for (int length : {longest / 4, longest / 2, longest}) {
            const QString name(length, u'a');
            QElapsedTimer t;
            t.start();
            int matches = 0;
            for (int run = 0; run < 20; ++run)
                matches += platform::pathMatchSpec(name, mask) ? 1 : 0;
            const double ms = t.nsecsElapsed() / 1e6 / 20;
            std::printf("%-22s %6d chars  %9.3f ms%s", qPrintable(mask), length, ms, matches ? "  (matches)" : "");
            if (previous > 0)
                std::printf("  growth %.1f", ms / previous);
            std::printf("\n");
            previous = ms;
        }
    }
    return 0;
}
