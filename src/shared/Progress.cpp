#include "shared/Progress.h"

#include "ui/Control.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace basGlobal {

QString ElapsedTimeText(qint64 s)
{
    auto two = [](qint64 v) { return QString::number(v).rightJustified(2, u'0'); };
    return two(s / 3600) + QLatin1Char(':') + two((s % 3600) / 60) + QLatin1Char(':') + two(s % 60);
}

QString ProgressToolTipText(double percent)
{
    // nearbyint rounds in the default mode: to nearest, a half to even.
    return QStringLiteral(" ") + QString::number(qint64(std::nearbyint(percent))) + QStringLiteral(" % ");
}

void UpdateProgressBar(ui::ProgressBar& bar, qint64 current, qint64 total)
{
    double percent = total >= 1 ? double(current) / double(total) * 100.0 : 100.0;
    percent = std::clamp(percent, 0.0, 100.0);
    bar.setValue(double(float(percent)));
    // The bars move on every item, often through 0..100 for each small
    // folder pair: the hundred and one tips are built once and shared.
    static const std::array<QString, 101> tips = [] {
        std::array<QString, 101> t;
        for (int k = 0; k <= 100; ++k) t[std::size_t(k)] = ProgressToolTipText(k);
        return t;
    }();
    const QString& tip = tips[std::size_t(std::nearbyint(percent))];
    if (!bar.toolTipText().isSharedWith(tip))
        bar.setToolTipText(tip);
}

void StartElapsedClock(ui::Timer& timer, ui::Label& clock)
{
    timer.setTag(QStringLiteral("0"));
    timer.setInterval(1000);
    timer.setEnabled(true);
    clock.setCaption(ElapsedTimeText(0));
}

void TickElapsedClock(ui::Timer& timer, ui::Label& clock)
{
    const qint64 seconds = timer.tag().toLongLong() + 1;
    timer.setTag(QString::number(seconds));
    clock.setCaption(ElapsedTimeText(seconds));
}

} // namespace basGlobal
