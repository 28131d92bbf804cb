// The please-wait notice.

#include "shared_fixture.h"

#include "shared/frmPleaseWait.h"

#include <QStringList>

using namespace basGlobal;

namespace {

// Records when the notice is shown and repainted, and what it says then.
class PaintingDesktop : public ui::HeadlessDesktop {
public:
    void formShown(ui::Form& f, bool modal) override
    {
        HeadlessDesktop::formShown(f, modal);
        events << QStringLiteral("shown %1 %2").arg(f.name(), modal ? "modal" : "modeless");
    }
    void refresh(ui::Form& f, ui::Control* c) override
    {
        QString texts;
        if (auto* w = dynamic_cast<frmPleaseWait*>(&f))
            texts = w->lblProcessInProgress->caption() + QLatin1Char('|') + w->lblPleaseWait->caption();
        events << QStringLiteral("painted %1 %2").arg(f.name(), c ? c->name() : texts);
    }
    QStringList events;
};

class PleaseWaitTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        painter.install();
        caller.move(1000, 2000, 9000, 7000);
        caller.show();
        painter.events.clear();
    }
    void TearDown() override
    {
        PleaseWait().unload();
        caller.unload();
        EXPECT_TRUE(painter.failures().isEmpty()) << painter.failures().join('\n').toStdString();
        SharedTest::TearDown();
    }
    PaintingDesktop painter;
    ui::Form caller{QStringLiteral("frmCaller")};
};

} // namespace

TEST_F(PleaseWaitTest, ShownCentredAndPaintedFirstInTheCurrentLanguageAndGoneEvenWhenTheLoadFails)
{
    frmPleaseWait& w = ShowPleaseWait(caller, PleaseWaitReason::RetrievingFirstLevelFolders);
    EXPECT_TRUE(w.isShown());
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.left(), 1000 + (9000 - w.width()) / 2);
    EXPECT_EQ(w.top(), 2000 + (7000 - w.height()) / 2);
    EXPECT_EQ(painter.events, (QStringList{"shown frmPleaseWait modeless",
                                           "painted frmPleaseWait Retrieving first level folders|Please wait..."}));
    EXPECT_EQ(PleaseWait().unload(), true);
    EXPECT_FALSE(w.isLoaded());

    // The notice speaks the current language and goes away even when the slow load fails.
    g().LanguageIsGreek = true;
    try {
        PleaseWaitNotice notice(caller, PleaseWaitReason::Interpreting);
        EXPECT_EQ(PleaseWait().lblProcessInProgress->caption(), QStringLiteral("Ερμηνεία"));
        EXPECT_EQ(PleaseWait().lblPleaseWait->caption(), QStringLiteral("Παρακαλώ περιμένετε..."));
        EXPECT_TRUE(PleaseWait().isShown());
        throw std::runtime_error("slow window failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(PleaseWait().isLoaded());
}
