#pragma once
// Wildcard matching of a file name (or a relative path) against one mask,
// with the rules of the Windows shell's matcher that the program's stored
// pattern lists were written for:
//  - "*" matches any run of characters, "\" and "." included; "?" exactly one;
//  - letters match regardless of case (simple per-character upper-casing);
//  - leading blanks of the mask are skipped, trailing blanks count;
//  - the whole mask "*.*" matches every name, names without a dot included;
//  - no other character is special ("[", "]" and "\" match themselves).
// Runs in linear time for practical masks (one backtrack point per "*").

#include <QString>

namespace platform {

bool pathMatchSpec(const QString& name, const QString& mask);

} // namespace platform
