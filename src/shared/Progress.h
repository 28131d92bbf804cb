#pragma once
// What every window with a long run shows of it: the progress bar with its
// percentage tip, and the elapsed-time clock beside it.

#include <QString>

namespace ui {
class Label;
class ProgressBar;
class Timer;
} // namespace ui

namespace basGlobal {

// "hh:mm:ss", hours growing past two digits.
QString ElapsedTimeText(qint64 seconds);
// " n % " for a percentage, n the nearest whole number (a half to the even one).
QString ProgressToolTipText(double percent);

// current / total as a percentage (100 for a total below 1), clamped to
// 0..100 with its fraction, on the bar and in its tip.
void UpdateProgressBar(ui::ProgressBar& bar, qint64 current, qint64 total);

// The clock of a run: 00:00:00 at the start, a second more on every tick of
// `timer`, which counts the seconds in its tag.
void StartElapsedClock(ui::Timer& timer, ui::Label& clock);
void TickElapsedClock(ui::Timer& timer, ui::Label& clock);

} // namespace basGlobal
