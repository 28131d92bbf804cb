#pragma once
// Text from outside: UTF-8 when the bytes are valid UTF-8, else Windows-1253
// (Greek ANSI), which is what files and pages of the Windows era hold.

#include <QByteArray>
#include <QString>

namespace platform {

bool isValidUtf8(const QByteArray& bytes);
QString decodeWindows1253(const QByteArray& bytes);
QString decodeText(const QByteArray& bytes);

} // namespace platform
