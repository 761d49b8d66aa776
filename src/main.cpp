#include "app/tintara.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Tintara window;
    window.Form_Load();
    return app.exec();
}
