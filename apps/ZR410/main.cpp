#include <QApplication>

#include "monitor/frmZR410_Main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZR410"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    zr410::frmZR410_Main window;
    window.show();
    return app.exec();
}
