#pragma once
// The interface speaks English or Greek: every window picks its texts here,
// from the language of the moment (LanguageIsGreek) or a language it was
// given.
#include <QString>
#include <QStringView>

namespace basGlobal {

QString Txt(QStringView english, QStringView greek);
QString Txt(bool greek, QStringView english, QStringView greekText);

} // namespace basGlobal
