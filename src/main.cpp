#include "app/commandline.h"
#include "app/tintara.h"

#include <QApplication>
#include <QFile>

using namespace tintara;

int main(int argc, char* argv[])
{
    // Read before QApplication, which needs a display: --help and --version do not.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (const std::optional<int> status = answerWithoutWindow(line))
        return *status;

    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("tintara"));
    Tintara window;
    window.Form_Load();
    window.openPicture(line.picture);
    return app.exec();
}
