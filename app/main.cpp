#include "window/frmtarvolk.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvolk"));
    // One style everywhere, so that the frames' title space the window allows for is the one drawn.
    QApplication::setStyle(QStringLiteral("Fusion"));

    frmTarvolk form;
    QApplication::setWindowIcon(form.windowIcon());
    form.show();
    return app.exec();
}
