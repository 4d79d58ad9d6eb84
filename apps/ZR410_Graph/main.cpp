// ZR410_Graph: the data-file viewer. Besides --help and --version it takes the data file to
// open; everything else is in its window.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "common/BuildInfo.h"
#include "common/InfoOptions.h"
#include "viewer/frmZR410_GraphView.h"

namespace {

const char kUsage[] = R"(Usage: ZR410_Graph [--help | --version] [FILE]
Viewer of the data files (*.DAT) that ZR410 logs: chart, print, spreadsheet and
CSV export and screen capture. Everything else is set in its window.

  FILE          a data file to open at start (its folder is listed for this run);
                a file can also be dropped on the window
  -h, --help    print this text and exit
  --version     print the version and exit

Files:
  %1
      Folder.CFG (data folder), ChartColor.CFG, UseItem.CFG and PrintMargin.CFG
      (chart options). A program run from a writable folder of its own keeps them
      there; an installed one keeps them in $XDG_DATA_HOME/ZR410 (normally
      ~/.local/share/ZR410), beside the monitoring program's settings.
  ~/ZR410_DATA
      the data folder until another one is chosen.
  %2
      the help pages (F1, "?").

See ZR410_Graph(1).
)";

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = zr410::AnswerInfoOption(argc, argv, QStringLiteral("ZR410_Graph"),
                                                      QString::fromUtf8(kUsage))) {
        return *answered;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZR410_Graph"));
    QApplication::setOrganizationName(QStringLiteral("ZR410"));
    QApplication::setApplicationVersion(QString::fromLatin1(zr410::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(zr410::kViewerAppId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zr410-graph.png")));
    // The window speaks Korean; so should the system dialogs it opens (file, colour, print,
    // message boxes). Without the translation files they stay in English.
    QTranslator qtKorean;
    if (qtKorean.load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtKorean);
    }
    zr410::frmZR410_GraphView window;
    window.show();
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            window.OpenDataFile(argument);
            break;
        }
    }
    return QApplication::exec();
}
