#include "shared/Texts.h"

#include "shared/basGlobal.h"

namespace basGlobal {

QString Txt(QStringView english, QStringView greek)
{
    return (globals().LanguageIsGreek ? greek : english).toString();
}

QString Txt(bool greek, QStringView english, QStringView greekText)
{
    return (greek ? greekText : english).toString();
}

} // namespace basGlobal
