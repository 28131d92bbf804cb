#pragma once
// Shortening a path for display, in the manner of the Windows shell's path
// compaction: the start of the path (at least its drive) and its last
// component are kept and "..." takes the place of the middle.
//
// The last component is taken with its leading "\" and, for a folder path
// that ends in "\", with that trailing "\" too: "D:\A\B\" keeps "\B\".
// The cut in the middle is per character, not per folder.

#include <QString>

#include <functional>

namespace platform {

// Measures a text's width in pixels as it will be drawn.
using TextMeasure = std::function<int(const QString&)>;

// The path fitted into `widthPx` pixels. A path that fits comes back
// unchanged. A drive root is never cut: "C:\...\last", never "C...\last".
// When the drive, "..." and the last component do not fit together, the last
// component is cut at its end instead: "C:\...\Long fol...\". When not even
// one character of it fits, that shortest form is returned anyway (wider
// than asked). A path without "\" is cut at its end: "longna...". An empty
// measure function gives "".
QString compactPathToWidth(const QString& path, int widthPx, const TextMeasure& measure);

// The path shortened to at most `maxChars` characters; a compacted result
// has exactly `maxChars` characters. A path that fits is unchanged;
// maxChars < 1 gives "".
QString compactPathToLength(const QString& path, int maxChars);

} // namespace platform
