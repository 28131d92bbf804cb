#pragma once
// The one sort order of the program. Every sorted list (working lists,
// first-level lists, tree children, excluded entries, folder rows) and the
// alignment of the two structures use it, so the two sides always agree.
//
// Per character, "\" sorts lowest, then characters compare by their upper
// case (one UTF-16 unit each, so a string's length never changes). Strings
// that are equal that way are ordered by their exact code units. No locale
// collation: the order is the same on every machine.
//
// Equal strings (identical code units) keep their order of insertion: a new
// item goes after the existing equal ones.

#include <QString>

namespace ui {

// <0, 0 or >0 as a sorts before, equal to, or after b.
int compareSortOrder(const QString& a, const QString& b);

// The case-blind part only: 0 when a and b differ at most in letter case.
int compareSortOrderIgnoringCase(const QString& a, const QString& b);

inline bool sortsBefore(const QString& a, const QString& b) { return compareSortOrder(a, b) < 0; }

} // namespace ui
