// The yardstick of the start-up benchmark: a bare Qt Widgets window of the
// main window's size and kind (borderless), stamped the same way.
#include "StartupStamp.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(598, 422);
    window.show();
    StampStartup(&window, window.windowHandle());
    return QApplication::exec();
}
