// zr410-lined: one serial line without a window. Polls the controllers, logs their values and
// publishes them to the plant's MQTT broker, with the settings files of the monitoring program.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "common/BuildInfo.h"
#include "common/InfoOptions.h"
#include "common/ProgramFolder.h"
#include "publish/LineService.h"

namespace {

const char kUsage[] = R"(Usage: zr410-lined [FOLDER] | --help | --version
Polls the ZR410 controllers of one serial line, logs their values and publishes
them to an MQTT broker, without a window.

  FOLDER        the folder holding Comm.CFG and CFG/ (SetMulti.INI, SaveData.INI,
                MQTT.INI) and receiving RecvData.txt; default: %1
  -h, --help    print this text and exit
  --version     print the version and exit

Set the files up with the monitoring program ZR410 (its folder is the same
one) or by hand; CFG/MQTT.INI is described in zr410-lined(8).
Stops cleanly on SIGTERM or SIGINT: the line is closed and the broker told.
)";

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = zr410::AnswerInfoOption(argc, argv, QStringLiteral("zr410-lined"),
                                                      QString::fromUtf8(kUsage))) {
        return *answered;
    }
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zr410-lined"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(zr410::kVersion));

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(u'-'))) {
        std::fprintf(stderr, "zr410-lined: unexpected argument; see zr410-lined --help\n");
        return 2;
    }
    if (!args.isEmpty()) {
        const QFileInfo folder(args.first());
        if (!folder.isDir()) {
            std::fprintf(stderr, "zr410-lined: %s is not a folder\n", qUtf8Printable(args.first()));
            return 2;
        }
        zr410::SetProgramFolderOverride(folder.absoluteFilePath());
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        std::perror("zr410-lined: socketpair");
        return 1;
    }
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    zr410::LineService service;
    QObject::connect(&service, &zr410::LineService::message, [](const QString& text) {
        // The journal stamps each line; under a terminal it reads as a plain log.
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
        std::fflush(stderr);
    });
    std::fprintf(stderr, "zr410-lined %s, folder %s\n", zr410::kVersion,
                 qUtf8Printable(QDir::toNativeSeparators(zr410::ProgramFolder())));
    if (!service.start()) {
        return 1;
    }
    const int rc = QCoreApplication::exec();
    service.stop();
    std::fprintf(stderr, "stopped: %lld record(s) written\n",
                 static_cast<long long>(service.Logger().RecordsWritten()));
    return rc;
}
