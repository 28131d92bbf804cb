// Both set-up windows on the Qt desktop, in English and in Greek: every
// visible control must lie inside the window and inside its frame. The
// pictures land in the build folder for a look.
#include "compare/compare_fixture.h"
#include "setup/frmFolderIncludeExclude.h"
#include "setup/frmOptions.h"
#include "support/OnScreen.h"
#include "support/TempDrive.h"

#include <QCheckBox>
#include <QRadioButton>

namespace {

void render(ui::Form& form, bool greek, const QString& fileName)
{
    testing_support::TempDrive c;
    for (const char* f : {"Primary/Accounts", "Primary/Data", "Primary/Letters", "Secondary/DATA", "Secondary/Photos"})
        c.folder(QLatin1String(f));
    basGlobal::resetGlobals();
    testing_support::QtDesk desk(greek);
    basGlobal::Globals& g = basGlobal::globals();
    g.LanguageIsGreek = greek;
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.InitialPath = {QStringLiteral("C:\\Primary"), QStringLiteral("C:\\Secondary")};
    g.CurrentPath = g.InitialPath;
    g.NumberOfLevelsLimit = 12;
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeArchiveFiles = g.CommonFilesOnly = g.ShowOptionsBeforeComparison = true;

    form.load();   // its load yields: the timer below must not fire inside it
    QImage shot;
    QTimer::singleShot(0, [&] {
        shot = testing_support::grabForm(desk, form);
        // Inside its frame too, and no caption of a choice cut.
        for (ui::Control* ctl : form.controls()) {
            QWidget* cw = desk.window(form)->widgetFor(ctl);
            if (!cw || !cw->isVisible()) continue;
            EXPECT_TRUE(QRect(QPoint(0, 0), cw->parentWidget()->size()).contains(cw->geometry())) << ctl->name().toStdString();
            const bool choice = qobject_cast<QCheckBox*>(cw) || qobject_cast<QRadioButton*>(cw);
            EXPECT_TRUE(!choice || cw->sizeHint().width() <= cw->width()) << "caption cut: " << ctl->name().toStdString();
        }
        ui::Input::click(*static_cast<ui::CommandButton*>(form.control(QStringLiteral("cmdCancel"))));
    });
    form.show(ui::Modal);
    EXPECT_FALSE(form.isLoaded());
    ASSERT_FALSE(shot.isNull());
    testing_support::saveShot(shot, fileName);
    ui::setDesktop(nullptr);
}

} // namespace

TEST(SetupWindowsOnScreen, BothWindowsInBothLanguages)
{
    setup::frmOptions options;
    setup::frmFolderIncludeExclude inclusion;
    for (ui::Form* form : std::initializer_list<ui::Form*>{&options, &inclusion})
        for (const bool greek : {false, true})
            render(*form, greek, form->name() + (greek ? QStringLiteral("-gr.png") : QStringLiteral("-en.png")));
}
