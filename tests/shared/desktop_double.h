#pragma once
// A stand-in desktop for the shared routines' tests: it answers message
// boxes from a queue the test fills, records every box it showed and counts
// the yields. An unexpected message box fails the test.

#include "shared/qstring_print.h"
#include "ui/Desktop.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace testing_support {

struct ShownBox {
    ui::Form* owner = nullptr;
    QString title;
    QString text;
    int style = 0;
};

class DesktopDouble : public ui::Desktop {
public:
    int messageBox(ui::Form* owner, const QString& title, const QString& text, int style) override;
    void doEvents() override;

    std::deque<int> answers;
    std::vector<ShownBox> shown;
    int yields = 0;
    std::function<void()> onYield;
};

} // namespace testing_support
