#pragma once
// Set-up tests run on the comparison fixture (drives C: and D:, a quiet main
// window for the tints, the results window for the comparison that follows)
// with an INI file on C:.
#include "compare/compare_fixture.h"
#include "setup/frmFolderIncludeExclude.h"
#include "setup/frmOptions.h"
#include "support/TempDrive.h"

namespace setup_test {

using ui::Input;

class SetupTest : public compare_test::CompareTest {
protected:
    QString iniText()
    {
        QFile f(nativeOf(c, QStringLiteral("Quillmarsh.ini")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Runs `script` inside the modal window `form`, loaded afresh.
    template <class F>
    void inside(ui::Form& form, F script)
    {
        desk.onModal(form.name(), [script](ui::Form&) { script(); });
        form.show(ui::Modal);
    }
};

} // namespace setup_test
