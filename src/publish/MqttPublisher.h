#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

#include "publish/MqttSettings.h"

namespace zr410 {

// One line's connection to the plant's MQTT broker. All network work happens on a thread of
// its own: connecting (name lookup included), TLS, keep-alive and reconnecting with back-off
// never hold up the poll cycle or the window. A message published while the broker is away is
// dropped, never queued without bound: the state topics are retained and the next reply
// refreshes them. "<line>/online" is "true" while connected and the broker's last will
// turns it "false" when the process dies; a clean stop publishes "false" itself.
class MqttPublisher : public QObject {
    Q_OBJECT

public:
    enum class Connection { Off, Connecting, Connected };
    Q_ENUM(Connection)

    explicit MqttPublisher(QObject* parent = nullptr);
    ~MqttPublisher() override;

    // Starts the network thread for these settings (a running one is stopped first). False,
    // with the reason, when the settings cannot work: a TLS or password file that cannot be
    // read. Disabled settings stop publishing and return true.
    bool start(const MqttSettings& settings, QString* error = nullptr);
    // Says the line is off line, disconnects and ends the thread (within about two seconds
    // even when the broker does not answer).
    void stop();
    bool isRunning() const;

    // Publishes under the line's topic ("<prefix>/<line>/" + subTopic). Never blocks; false
    // when the message was dropped because the broker is not connected.
    bool publish(const QString& subTopic, const QByteArray& payload, bool retain);

    Connection connection() const;
    // The broker state in the operator's words, for the status bar.
    QString connectionText() const;
    const MqttSettings& settings() const { return settings_; }
    qint64 publishedCount() const;
    qint64 droppedCount() const;

signals:
    void connectionChanged(zr410::MqttPublisher::Connection connection, const QString& detail);
    // A message on a subscribed topic (the line's command topics), handed to the Qt thread.
    void messageReceived(const QString& topic, const QByteArray& payload);

private:
    struct Network;
    void report(Connection connection, const QString& detail);

    MqttSettings settings_;
    std::unique_ptr<Network> net_;
    int generation_ = 0;
    Connection connection_ = Connection::Off;
    QString detail_;
};

}  // namespace zr410
