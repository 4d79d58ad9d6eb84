#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>

#include "monitor/frmZR410_Main.h"

int main(int argc, char** argv) {
    // A file size limit (ulimit -f) must fail one log write, not end the program beside a
    // running machine; the loggers report the failure and write again when they can.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZR410"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    // The system dialogs (folder, colour, message boxes) speak Korean like the windows.
    QTranslator qtKorean;
    if (qtKorean.load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtKorean);
    }
    zr410::frmZR410_Main window;
    window.show();
    return app.exec();
}
