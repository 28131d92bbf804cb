#pragma once
// The string helpers the program's text arithmetic is written in: positions
// count from 1, "not found" is 0, and the trimming helpers drop spaces only
// (tabs stay). A bad position or length raises error 5, as the routines the
// program was written against did.

#include <QString>

namespace vb {

qsizetype Len(const QString& s);

// `length` < 0 means "to the end".
QString Mid(const QString& s, qsizetype start, qsizetype length = -1);
QString Left(const QString& s, qsizetype length);
QString Right(const QString& s, qsizetype length);

// Position of `find` in `s` from `start` on (1-based), 0 when absent.
// An empty `find` gives `start` (when start <= Len(s) + 1).
qsizetype InStr(qsizetype start, const QString& s, const QString& find);
qsizetype InStr(const QString& s, const QString& find);
// Searching backwards from `start` (-1: from the end).
qsizetype InStrRev(const QString& s, const QString& find, qsizetype start = -1);

QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// Upper/lower case one character for one character, so lengths and
// positions never change ("ß" stays, final sigma becomes "Σ").
QString UCase(const QString& s);
QString LCase(const QString& s);

QString Replace(const QString& s, const QString& find, const QString& with);
QString Space(qsizetype n);
QString String(qsizetype n, QChar c);

// First character of a one-character parameter, or `fallback` when empty.
QChar FirstCharOr(const QString& s, QChar fallback);

} // namespace vb
