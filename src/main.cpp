#include "app/tintara.h"
#include "platform/programicon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("tintara"));
    QApplication::setWindowIcon(tintara::programIcon());
    Tintara window;
    window.Form_Load();
    return app.exec();
}
