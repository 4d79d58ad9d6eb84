// ZR410: the monitoring and control program. Besides --help and --version it takes no options:
// everything is set in its windows.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>

#include "common/BuildInfo.h"
#include "common/InfoOptions.h"
#include "monitor/frmZR410_Main.h"

namespace {

const char kUsage[] = R"(Usage: ZR410 [--help | --version]
Monitoring and control of ZR410 mold temperature controllers on one serial line.
Everything else is set in the program's windows.

  -h, --help    print this text and exit
  --version     print the version and exit

Files:
  %1
      Comm.CFG (serial port), CFG/SetMulti.INI (served devices), CFG/SaveData.INI
      (data saving) and RecvData.txt (communication log). A program run from a
      writable folder of its own keeps them there; an installed one keeps them in
      $XDG_DATA_HOME/ZR410 (normally ~/.local/share/ZR410).
  %2
      the help pages (F1).

Opening a serial port needs read and write access to it. On Debian the ports
belong to the group dialout:  sudo usermod -aG dialout USER  and log in again.

See ZR410(1).
)";

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = zr410::AnswerInfoOption(argc, argv, QStringLiteral("ZR410"),
                                                      QString::fromUtf8(kUsage))) {
        return *answered;
    }
    // A file size limit (ulimit -f) must fail one log write, not end the program beside a
    // running machine; the loggers report the failure and write again when they can.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZR410"));
    QApplication::setApplicationVersion(QString::fromLatin1(zr410::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(zr410::kAppId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zr410.png")));
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
