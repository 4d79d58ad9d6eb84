#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <mosquitto.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// Debian's mosquitto on a free local port, with a configuration of the test's choosing, and a
// subscriber of our own on libmosquitto. Every wait has a limit, so no test can hang on them.
class Broker {
public:
    static QString program() {
        const QString found =
            QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {"/usr/sbin", "/usr/bin"});
        return found;
    }

    // extraConfig is appended to the listener line (TLS files, password file, ...).
    explicit Broker(const QString& extraConfig = QStringLiteral("allow_anonymous true\n"),
                    const QString& bindAddress = QStringLiteral("127.0.0.1"))
        : extra_(extraConfig), bind_(bindAddress) {
        port_ = freePort();
    }
    ~Broker() { stop(); }

    bool start(int timeoutMs = 5000) {
        QFile conf(dir_.filePath("mosquitto.conf"));
        if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        conf.write(QStringLiteral("listener %1 %2\npersistence false\n%3")
                       .arg(port_)
                       .arg(bind_, extra_)
                       .toUtf8());
        conf.close();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program(), {"-c", conf.fileName()});
        if (!process_.waitForStarted(timeoutMs)) {
            return false;
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (accepts()) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
    int port() const { return port_; }
    QString dir() const { return dir_.path(); }
    QByteArray output() { return process_.readAll(); }

private:
    static int freePort() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
        ::close(s);
        return ntohs(a.sin_port);
    }
    bool accepts() const {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port_));
        const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        return ok;
    }

    QTemporaryDir dir_;
    QString extra_;
    QString bind_;
    int port_ = 0;
    QProcess process_;
};

struct Received {
    QString topic;
    QByteArray payload;
    bool retained = false;
};

class Subscriber {
public:
    struct Login {
        QString caFile;
        QString user;
        QString password;
    };

    Subscriber(int port, const QString& topic, const Login& login = {}) {
        mosquitto_lib_init();
        mosq_ = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(
            mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
                auto* s = static_cast<Subscriber*>(self);
                std::lock_guard lock(s->mutex_);
                s->received_.push_back(
                    {QString::fromUtf8(m->topic),
                     QByteArray(static_cast<const char*>(m->payload), m->payloadlen), m->retain});
            });
        topic_ = topic.toUtf8();
        mosquitto_connect_callback_set(mosq_, [](mosquitto* m, void* self, int rc) {
            auto* s = static_cast<Subscriber*>(self);
            if (rc == 0) {
                mosquitto_subscribe(m, nullptr, s->topic_.constData(), 1);
            }
        });
        if (!login.caFile.isEmpty()) {
            mosquitto_tls_set(mosq_, login.caFile.toUtf8().constData(), nullptr, nullptr, nullptr,
                              nullptr);
        }
        if (!login.user.isEmpty()) {
            mosquitto_username_pw_set(mosq_, login.user.toUtf8().constData(),
                                      login.password.toUtf8().constData());
        }
        mosquitto_connect(mosq_, login.caFile.isEmpty() ? "127.0.0.1" : "localhost", port, 30);
        mosquitto_loop_start(mosq_);
    }
    ~Subscriber() {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, false);
        mosquitto_destroy(mosq_);
    }

    void publish(const QString& topic, const QByteArray& payload) {
        mosquitto_publish(mosq_, nullptr, topic.toUtf8().constData(),
                          static_cast<int>(payload.size()), payload.constData(), 1, false);
    }

    // The first message since `from` that satisfies the predicate, waiting (with the Qt event
    // loop running) up to timeoutMs.
    std::optional<Received> waitFor(const std::function<bool(const Received&)>& match,
                                    int timeoutMs, size_t from = 0) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            {
                std::lock_guard lock(mutex_);
                for (size_t i = from; i < received_.size(); ++i) {
                    if (match(received_[i])) {
                        return received_[i];
                    }
                }
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        return std::nullopt;
    }
    std::optional<Received> waitForTopic(const QString& topic, int timeoutMs, size_t from = 0) {
        return waitFor([&](const Received& r) { return r.topic == topic; }, timeoutMs, from);
    }
    size_t count() {
        std::lock_guard lock(mutex_);
        return received_.size();
    }

private:
    mosquitto* mosq_ = nullptr;
    QByteArray topic_;
    std::mutex mutex_;
    std::vector<Received> received_;
};
