#pragma once
// What a comparison run shows, and the one place it shows it: the results
// window implements this interface, and the stages talk to nothing else of
// it. A test can give the run any view (the engine needs no loaded window).

#include <QString>

namespace ui {
class FlexGrid;
}

namespace compare {

class RunView {
public:
    virtual ~RunView() = default;

    // The run begins: the commands that would start another are disabled,
    // the stage label and the bar show, the clock starts when asked for.
    virtual void runBegins() = 0;
    // A finished run: the grid shows, the result commands are enabled and
    // "differ" is told when the structures differ.
    virtual void runEnds(bool structuresDiffer) = 0;
    // A cancelled run, or one that cannot go on: the window closes.
    virtual void runCancelled() = 0;

    // The stage label.
    virtual void setStageText(const QString& text) = 0;
    virtual QString stageText() const = 0;

    // The main bar: a value in percent, or current over total.
    virtual double progressValue() const = 0;
    virtual void setProgressValue(double percent) = 0;
    virtual void showProgress(qint64 current, qint64 total) = 0;

    // The second bar and the six step indicators of the file stage:
    // showSteps puts them up white (or takes them down), markSteps gives
    // the first `count` the window's own colour.
    virtual void showSubProgressBar(bool visible) = 0;
    virtual void setSubProgressValue(double percent) = 0;
    virtual void showSubProgress(qint64 current, qint64 total) = 0;
    virtual void showSteps(bool visible) = 0;
    virtual void markSteps(int count) = 0;

    // Hands over to the user for a moment; the answer may be a cancel.
    virtual void yieldToUser() = 0;
    virtual bool cancelRequested() const = 0;

    // A message box over the window; its caption, which messages that name
    // no title of their own carry.
    virtual int showMessage(const QString& title, const QString& text, int style) = 0;
    virtual QString title() const = 0;
    // A run-time error: true when the user chose to end the program.
    virtual bool reportError(int number, const QString& description, const QString& location) = 0;

    // The results.
    virtual ui::FlexGrid& grid() = 0;
    virtual void showTotals(int structure, const QString& folders, const QString& files) = 0;
};

} // namespace compare
