#include "app/tintara.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("tintara"));
    Tintara window;
    window.Form_Load();
    // The program takes the window's icon, so its sizes are decoded once. Given before show(),
    // it would also go to the display a second time, as the program's.
    QApplication::setWindowIcon(window.windowIcon());
    return app.exec();
}
