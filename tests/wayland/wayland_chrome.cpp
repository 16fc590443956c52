// The main window on the platform the environment picks (Wayland under the
// test's compositor). Once the window is up, Minimise is clicked; the program
// then runs on until it is ended, so the compositor's log can be read.

#include "GuiServices.h"
#include "MouseEffectImage.h"
#include "TMainForm.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    int result = 1;
    {
        TMainForm form;
        InstallGuiServices(&form);
        form.show();
        if (QTest::qWaitForWindowExposed(&form, 60000)) {
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.btnMinimize->geometry().center());
            result = QApplication::exec();
        } else {
            std::fprintf(stderr, "wayland_chrome: the window was never shown\n");
        }
    }
    RemoveGuiServices();
    return result;
}
