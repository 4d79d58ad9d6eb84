#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

#include "engine/EngineIndicator.h"

namespace zr410 {

struct SharedState;
class DeviceDecoders;
class MqttPublisher;
class SerialLink;
class ValueTable;

// What a command from the plant network came to.
struct NetworkCommandResult {
    bool accepted = false;
    QString command;
    QString reason;  // why it was refused; empty when accepted
};

// Feeds one line's poll cycle to the publisher: the retained state of a controller after each
// good status reply, its link state when it changes, and commands from the plant applied
// through the same write slot as an operator's click. The monitoring window and the headless
// service both use it, so the plant sees the same topics from either.
class LinePublisher : public QObject {
    Q_OBJECT

public:
    LinePublisher(SharedState& state, const ValueTable& table, MqttPublisher& publisher,
                  QObject* parent = nullptr);

    // Listens to the decoders' complete status replies and the link's indicators.
    void bind(DeviceDecoders& decoders, SerialLink& link);

    // One good status reply of the device (index into the device list).
    void publishState(int deviceIndex);
    // One indicator of the poll cycle; link marks and connections are published on change.
    void onIndicator(const EngineIndicator& indicator);
    // A message on "<line>/<device>/cmd": checked against the settings, the allow-lists and
    // the device's connection, applied or refused, logged, and answered on ".../cmd/result".
    NetworkCommandResult onCommand(const QString& topic, const QByteArray& payload);

    // The port was closed: every device's link reads "불량" to the plant until it answers.
    void lineClosed();

    // The wall clock of the time stamps; tests fix it.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    // Where received commands are logged (the journal in the service, stderr otherwise).
    std::function<void(const QString&)> Log;

private:
    QString deviceTopic(int deviceIndex) const;
    void publishLink(int deviceIndex, const QString& text);

    SharedState& state_;
    const ValueTable& table_;
    MqttPublisher& publisher_;
    std::vector<QString> lastLink_;  // per device index: the link text the plant has
};

}  // namespace zr410
