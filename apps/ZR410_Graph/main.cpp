// ZR410_Graph: the data-file viewer. No command-line options; everything is in its window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "viewer/frmZR410_GraphView.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZR410_Graph"));
    QApplication::setOrganizationName(QStringLiteral("ZR410"));
    // The window speaks Korean; so should the system dialogs it opens (file, colour, print,
    // message boxes). Without the translation files they stay in English.
    QTranslator qtKorean;
    if (qtKorean.load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtKorean);
    }
    zr410::frmZR410_GraphView window;
    window.show();
    return QApplication::exec();
}
