#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

SimProcess::SimProcess(const QStringList& extraArgs, Start start)
    : dir_(QDir::tempPath() + "/zr410-sim-XXXXXX"),
      extraArgs_(extraArgs),
      linkPath_(dir_.filePath("line")),
      controlPath_(dir_.filePath("control")) {
    // The simulator takes the last of repeated options, so a path given here wins.
    for (qsizetype i = 0; i < extraArgs_.size(); ++i) {
        for (auto [option, path] : {std::pair{QStringLiteral("--link"), &linkPath_},
                                    std::pair{QStringLiteral("--control"), &controlPath_}}) {
            if (extraArgs_[i] == option && i + 1 < extraArgs_.size()) {
                *path = extraArgs_[i + 1];
            } else if (extraArgs_[i].startsWith(option + '=')) {
                *path = extraArgs_[i].mid(option.size() + 1);
            }
        }
    }
    // Errors of the simulator show up in the test's output.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes never runs the destructor; the simulator must not outlive it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    if (start == Start::Now) {
        this->start();
    }
}

SimProcess::~SimProcess() {
    stop();
}

QString SimProcess::linkPath() const {
    return linkPath_;
}

QString SimProcess::controlPath() const {
    return controlPath_;
}

bool SimProcess::start(int timeoutMs) {
    if (!dir_.isValid()) {
        error_ = "no temporary folder";
        return false;
    }
    // Quiet keeps test logs to the simulator's errors; a --verbose in extraArgs still wins.
    QStringList args{"--link", dir_.filePath("line"), "--control", dir_.filePath("control"),
                     "--quiet"};
    args += extraArgs_;
    process_.start(QStringLiteral(ZR410_BIN_DIR "/zr410-sim"), args);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ = "zr410-sim did not start: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running) {
            error_ = "zr410-sim did not get ready; output: " + process_.readAll();
            return false;
        }
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    readyLine_ = process_.readLine().trimmed();
    ready_ = readyLine_.startsWith("zr410-sim: serving devices");
    if (!ready_) {
        error_ = "unexpected first line: " + readyLine_;
    }
    return ready_;
}

bool SimProcess::stop(int timeoutMs) {
    if (control_ >= 0) {
        ::close(control_);
        control_ = -1;
    }
    ready_ = false;
    if (process_.state() == QProcess::NotRunning) {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    process_.terminate();
    if (!process_.waitForFinished(timeoutMs)) {
        process_.kill();
        process_.waitForFinished(timeoutMs);
        return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void SimProcess::kill() {
    ready_ = false;
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

bool SimProcess::connectControl(int timeoutMs) {
    if (control_ >= 0) {
        return true;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = controlPath().toLocal8Bit();
    if (static_cast<size_t>(path.size()) >= sizeof addr.sun_path) {
        error_ = "control path too long";
        return false;
    }
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        control_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (control_ >= 0 &&
            ::connect(control_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            return true;
        }
        if (control_ >= 0) {
            ::close(control_);
            control_ = -1;
        }
        if (deadline.hasExpired()) {
            error_ = "cannot connect to the control socket: " + QString(std::strerror(errno));
            return false;
        }
        ::usleep(10'000);
    }
}

bool SimProcess::sendLine(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(control_, bytes.constData() + done,
                                 static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

std::optional<QByteArray> SimProcess::readLine(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const qsizetype eol = received_.indexOf('\n');
        if (eol >= 0) {
            QByteArray line = received_.left(eol);
            received_.remove(0, eol + 1);
            return line;
        }
        pollfd p{control_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
        if (ready <= 0) {
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t n = ::recv(control_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return std::nullopt;
        }
        received_.append(buffer, n);
    }
}

QString SimProcess::command(const QString& line, int timeoutMs) {
    if (!connectControl(timeoutMs) || !sendLine(line)) {
        return {};
    }
    const std::optional<QByteArray> answer = readLine(timeoutMs);
    return answer ? QString::fromUtf8(*answer) : QString();
}

QStringList SimProcess::commandBlock(const QString& line, int timeoutMs) {
    QStringList lines;
    if (!connectControl(timeoutMs) || !sendLine(line)) {
        return lines;
    }
    while (const std::optional<QByteArray> answer = readLine(timeoutMs)) {
        if (*answer == "end") {
            return lines;
        }
        if (lines.isEmpty() && answer->startsWith("error")) {
            return {QString::fromUtf8(*answer)};
        }
        lines.append(QString::fromUtf8(*answer));
    }
    return {};
}

QStringList SimProcess::writes() {
    return commandBlock("writes");
}

bool SimProcess::clearWrites() {
    return command("clear-writes") == "ok";
}

bool SimProcess::setRegister(int device, int reg, int value) {
    return command(QString("set %1 %2 %3").arg(device).arg(reg).arg(value)) == "ok";
}

std::optional<int> SimProcess::getRegister(int device, int reg) {
    bool ok = false;
    const int value = command(QString("get %1 %2").arg(device).arg(reg)).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool SimProcess::setFault(const QString& name, double rate) {
    return command(QString("fault %1 %2").arg(name).arg(rate)) == "ok";
}

bool SimProcess::setRunning(int device, bool on) {
    return command(QString("run %1 %2").arg(device).arg(on ? 1 : 0)) == "ok";
}
