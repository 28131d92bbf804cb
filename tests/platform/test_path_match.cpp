#include "platform/PathMatch.h"

#include "shared/qstring_print.h"

#include <gtest/gtest.h>

using platform::pathMatchSpec;

TEST(PathMatch, TheShellRulesOfStarQuestionMarkBlanksAndLetters)
{
    const struct {
        const char *name, *mask;
        bool matches;
    } cases[] = {
        {"Notes.txt", "*.TXT", true},      {"Docs\\Notes.txt", "*.txt", true},   // "*" runs over "\"
        {"Docs\\Notes.txt", "N*", false},  {"Numbers\\a.png", "N*", true},       // anchored at the start
        {"a", "a?", false},                {"ab", "a?", true},                   {"abc", "a**c", true},
        {"abcd", "a*c", false},            {"abcbc", "a*bc", true},              {"", "?", false},
        {"", "*", true},
        {"README", "*.*", true},           {"README", " *.*", false},            // "*.*" alone takes names without a dot
        {"a.b", " *.*", true},             {"README", "*.*x", false},
        {"a.txt", "  *.txt", true},        {"a.txt", "*.txt ", false},           // leading blanks skipped, trailing count
        {"[x].txt", "[x]*", true},         {"x.txt", "[x]*", false},             // other characters are literal
        {"Ένα.txt", "ΈΝΑ.*", true},        {"λόγος.doc", "ΛΌΓΟΣ.DOC", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathMatchSpec(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.matches) << c.name << " " << c.mask;
    // Many stars over a long name (its speed: bench/path_match_bench).
    const QString name(20000, u'a');
    EXPECT_FALSE(pathMatchSpec(name, "a*a*a*a*a*b"));
    EXPECT_TRUE(pathMatchSpec(name, "a*a*a*a*a*a"));
}
