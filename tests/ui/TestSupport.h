#pragma once
// A form built by a lambda, and a fixture with a headless desktop installed.

#include "ui/Form.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"

#include <gtest/gtest.h>

#include <functional>

namespace uitest {

class TestForm : public ui::Form {
public:
    explicit TestForm(const QString& name, std::function<void(TestForm&)> builder = {})
        : Form(name), builder_(std::move(builder)) {}
    void setBuilder(std::function<void(TestForm&)> b) { builder_ = std::move(b); }

protected:
    void build() override
    {
        if (builder_) builder_(*this);
    }

private:
    std::function<void(TestForm&)> builder_;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { desk.install(); }
    void TearDown() override
    {
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << "expected message boxes never came";
        EXPECT_EQ(desk.pendingModalScripts(), 0) << "modal scripts never ran";
    }
    ui::HeadlessDesktop desk;
};

// Expects `stmt` to raise run-time error `number` (with `description` when given).
template <typename F>
void expectUiError(F&& stmt, int number, const QString& description = {})
{
    try {
        stmt();
        ADD_FAILURE() << "no error " << number;
    } catch (const ui::UiError& e) {
        EXPECT_EQ(e.number, number);
        if (!description.isEmpty()) {
            EXPECT_EQ(e.description, description);
        }
    }
}

} // namespace uitest

// Expects `stmt` to fail the headless run with a message containing `part`.
#define EXPECT_HEADLESS_FAILURE(stmt, part)                                                  \
    do {                                                                                     \
        bool thrown_ = false;                                                                \
        try {                                                                                \
            stmt;                                                                            \
        } catch (const ui::HeadlessFailure& f_) {                                            \
            thrown_ = true;                                                                  \
            EXPECT_TRUE(f_.message.contains(part)) << f_.message.toStdString();              \
        }                                                                                    \
        EXPECT_TRUE(thrown_) << "no headless failure";                                       \
    } while (false)
