#include "publish/MqttPublisher.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <mosquitto.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace zr410 {
namespace {

constexpr int kLoopTimeoutMs = 250;
constexpr int kFirstBackoffS = 1;
constexpr int kMaxBackoffS = 30;
constexpr auto kStopWait = std::chrono::seconds(2);

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString ReadPassword(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("비밀번호 파일을 읽을 수 없습니다: %1").arg(path);
        return {};
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    return QString::fromUtf8(line);
}

bool Readable(const QString& path) {
    return path.isEmpty() || QFileInfo(path).isReadable();
}

}  // namespace

// Everything the network thread touches. The Qt side only publishes (libmosquitto is thread
// safe once told so) and asks the thread to stop.
struct MqttPublisher::Network {
    MqttPublisher* owner = nullptr;
    int generation = 0;  // which start() this thread belongs to
    mosquitto* mosq = nullptr;
    QByteArray host;
    int port = 1883;
    int keepAlive = 60;
    int qos = 1;
    QByteArray onlineTopic;
    QByteArray commandTopic;  // empty when commands are not subscribed
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::atomic<bool> connected{false};
    std::atomic<qint64> published{0};
    std::atomic<qint64> dropped{0};
    std::mutex mutex;
    std::condition_variable wake;

    ~Network() {
        if (mosq != nullptr) {
            mosquitto_destroy(mosq);
        }
    }

    void post(Connection connection, const QString& detail) {
        QMetaObject::invokeMethod(
            owner,
            [o = owner, g = generation, connection, detail] {
                // A report from a thread that has since been stopped or replaced is stale.
                if (o->net_ && o->net_->generation == g) {
                    o->report(connection, detail);
                }
            },
            Qt::QueuedConnection);
    }

    // Sleeps for the back-off, or less when a stop is asked for.
    void pause(int seconds) {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping.load(); });
    }

    static void OnConnect(mosquitto* m, void* user, int rc) {
        auto* net = static_cast<Network*>(user);
        if (rc != 0) {
            net->post(Connection::Connecting,
                      QStringLiteral("브로커가 연결을 거부했습니다: %1")
                          .arg(QString::fromUtf8(mosquitto_connack_string(rc))));
            return;
        }
        mosquitto_publish(m, nullptr, net->onlineTopic.constData(), 4, "true", net->qos, true);
        if (!net->commandTopic.isEmpty()) {
            mosquitto_subscribe(m, nullptr, net->commandTopic.constData(), net->qos);
        }
        net->connected = true;
        net->post(Connection::Connected, {});
    }

    static void OnDisconnect(mosquitto*, void* user, int rc) {
        auto* net = static_cast<Network*>(user);
        net->connected = false;
        if (!net->stopping) {
            net->post(Connection::Connecting,
                      rc == 0 ? QString() : QStringLiteral("브로커와의 연결이 끊겼습니다."));
        }
    }

    static void OnMessage(mosquitto*, void* user, const mosquitto_message* message) {
        auto* net = static_cast<Network*>(user);
        const QString topic = QString::fromUtf8(message->topic);
        const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
        QMetaObject::invokeMethod(
            net->owner,
            [o = net->owner, g = net->generation, topic, payload] {
                if (o->net_ && o->net_->generation == g) {
                    emit o->messageReceived(topic, payload);
                }
            },
            Qt::QueuedConnection);
    }

    void run() {
        int backoff = kFirstBackoffS;
        bool socketUp = false;
        bool first = true;
        while (!stopping) {
            if (!socketUp) {
                const int rc =
                    first ? mosquitto_connect_async(mosq, host.constData(), port, keepAlive)
                          : mosquitto_reconnect_async(mosq);
                first = false;
                if (rc != MOSQ_ERR_SUCCESS) {
                    post(Connection::Connecting,
                         QStringLiteral("브로커에 연결할 수 없습니다: %1")
                             .arg(QString::fromUtf8(
                                 rc == MOSQ_ERR_ERRNO ? strerror(errno) : mosquitto_strerror(rc))));
                    pause(backoff);
                    backoff = std::min(backoff * 2, kMaxBackoffS);
                    continue;
                }
                socketUp = true;
            }
            const int rc = mosquitto_loop(mosq, kLoopTimeoutMs, 1);
            if (connected) {
                backoff = kFirstBackoffS;
            }
            if (rc != MOSQ_ERR_SUCCESS) {
                socketUp = false;
                connected = false;
                if (!stopping) {
                    post(Connection::Connecting, QStringLiteral("브로커와의 연결이 끊겼습니다."));
                    pause(backoff);
                    backoff = std::min(backoff * 2, kMaxBackoffS);
                }
            }
        }
        if (connected) {
            // Said by ourselves on a clean stop; the last will is only for a process that dies.
            mosquitto_publish(mosq, nullptr, onlineTopic.constData(), 5, "false", qos, true);
            mosquitto_disconnect(mosq);
            const auto until = std::chrono::steady_clock::now() + kStopWait;
            while (std::chrono::steady_clock::now() < until &&
                   mosquitto_loop(mosq, 100, 1) == MOSQ_ERR_SUCCESS) {
            }
        }
        connected = false;
    }
};

MqttPublisher::MqttPublisher(QObject* parent) : QObject(parent) {
    InitLibraryOnce();
}

MqttPublisher::~MqttPublisher() {
    stop();
}

bool MqttPublisher::start(const MqttSettings& settings, QString* error) {
    stop();
    settings_ = settings;
    QString reason;
    if (!settings.Enabled) {
        report(Connection::Off, {});
        return true;
    }
    for (const QString& file : {settings.CaFile, settings.CertFile, settings.KeyFile}) {
        if (!Readable(file)) {
            reason = QStringLiteral("TLS 파일을 읽을 수 없습니다: %1").arg(file);
        }
    }
    QString password;
    if (reason.isEmpty() && settings.UsesLogin() && !settings.PasswordFile.isEmpty()) {
        password = ReadPassword(settings.PasswordFile, &reason);
    }

    auto net = std::make_unique<Network>();
    net->owner = this;
    net->generation = ++generation_;
    net->host = settings.Host.toUtf8();
    net->port = settings.Port;
    net->keepAlive = settings.KeepAliveSeconds;
    net->qos = settings.Qos;
    net->onlineTopic = (settings.LineTopic() + QStringLiteral("/online")).toUtf8();
    // Listened to whenever the plant asked for commands, so that a command sent without the
    // TLS and login it needs is answered with the reason instead of vanishing.
    if (settings.CommandsEnabled) {
        net->commandTopic = (settings.LineTopic() + QStringLiteral("/+/cmd")).toUtf8();
    }
    if (reason.isEmpty()) {
        net->mosq =
            mosquitto_new(settings.EffectiveClientId().toUtf8().constData(), true, net.get());
        if (net->mosq == nullptr) {
            reason = QStringLiteral("MQTT 클라이언트를 만들 수 없습니다.");
        }
    }
    if (reason.isEmpty()) {
        mosquitto_threaded_set(net->mosq, true);
        mosquitto_connect_callback_set(net->mosq, &Network::OnConnect);
        mosquitto_disconnect_callback_set(net->mosq, &Network::OnDisconnect);
        mosquitto_message_callback_set(net->mosq, &Network::OnMessage);
        mosquitto_will_set(net->mosq, net->onlineTopic.constData(), 5, "false", settings.Qos, true);
        if (settings.UsesLogin()) {
            mosquitto_username_pw_set(net->mosq, settings.User.toUtf8().constData(),
                                      password.isEmpty() ? nullptr : password.toUtf8().constData());
        }
        if (settings.UsesTls()) {
            const QByteArray ca = settings.CaFile.toUtf8();
            const QByteArray cert = settings.CertFile.toUtf8();
            const QByteArray key = settings.KeyFile.toUtf8();
            const int rc = mosquitto_tls_set(net->mosq, ca.constData(), nullptr,
                                             cert.isEmpty() ? nullptr : cert.constData(),
                                             key.isEmpty() ? nullptr : key.constData(), nullptr);
            if (rc != MOSQ_ERR_SUCCESS) {
                reason = QStringLiteral("TLS 설정 오류: %1")
                             .arg(QString::fromUtf8(mosquitto_strerror(rc)));
            }
        }
    }
    if (!reason.isEmpty()) {
        if (error != nullptr) {
            *error = reason;
        }
        report(Connection::Off, reason);
        return false;
    }
    net_ = std::move(net);
    report(Connection::Connecting, {});
    Network* n = net_.get();
    net_->thread = std::thread([n] { n->run(); });
    return true;
}

void MqttPublisher::stop() {
    if (!net_) {
        return;
    }
    {
        std::lock_guard lock(net_->mutex);
        net_->stopping = true;
    }
    net_->wake.notify_all();
    if (net_->thread.joinable()) {
        net_->thread.join();
    }
    net_.reset();
    report(Connection::Off, {});
}

bool MqttPublisher::isRunning() const {
    return net_ != nullptr;
}

bool MqttPublisher::publish(const QString& subTopic, const QByteArray& payload, bool retain) {
    if (!net_ || !net_->connected) {
        if (net_) {
            ++net_->dropped;
        }
        return false;
    }
    const QByteArray topic = (settings_.LineTopic() + u'/' + subTopic).toUtf8();
    const int rc =
        mosquitto_publish(net_->mosq, nullptr, topic.constData(), static_cast<int>(payload.size()),
                          payload.constData(), settings_.Qos, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        ++net_->dropped;
        return false;
    }
    ++net_->published;
    return true;
}

MqttPublisher::Connection MqttPublisher::connection() const {
    return connection_;
}

QString MqttPublisher::connectionText() const {
    switch (connection_) {
        case Connection::Connected:
            return QStringLiteral("MQTT 연결됨");
        case Connection::Connecting:
            return detail_.isEmpty() ? QStringLiteral("MQTT 연결 중")
                                     : QStringLiteral("MQTT 연결 중: ") + detail_;
        case Connection::Off:
            break;
    }
    return detail_.isEmpty() ? QStringLiteral("MQTT 꺼짐")
                             : QStringLiteral("MQTT 꺼짐: ") + detail_;
}

qint64 MqttPublisher::publishedCount() const {
    return net_ ? net_->published.load() : 0;
}

qint64 MqttPublisher::droppedCount() const {
    return net_ ? net_->dropped.load() : 0;
}

void MqttPublisher::report(Connection connection, const QString& detail) {
    if (connection == connection_ && detail == detail_) {
        return;
    }
    connection_ = connection;
    detail_ = detail;
    emit connectionChanged(connection, detail);
}

}  // namespace zr410
