#include "publish/LinePublisher.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "engine/SerialLink.h"
#include "engine/SharedState.h"
#include "model/Decoders.h"
#include "model/ValueTable.h"
#include "model/WriteScaling.h"
#include "protocol/RegisterMap.h"
#include "publish/MqttPublisher.h"
#include "publish/StatePayload.h"

namespace zr410 {
namespace {

const QString kGivenUp = QStringLiteral("불량");

struct ParsedCommand {
    QString name;   // upper case
    QString value;  // SV only, as sent
};

// "RUN", "SV 85.0", {"command":"RUN"} or {"command":"SV","value":85.0}.
ParsedCommand ParseCommand(const QByteArray& payload) {
    ParsedCommand parsed;
    const QJsonDocument json = QJsonDocument::fromJson(payload);
    if (json.isObject()) {
        const QJsonObject object = json.object();
        parsed.name = object.value(QStringLiteral("command")).toString().trimmed().toUpper();
        const QJsonValue value = object.value(QStringLiteral("value"));
        parsed.value = value.isString()   ? value.toString()
                       : value.isDouble() ? QString::number(value.toDouble(), 'g', 12)
                                          : QString();
        return parsed;
    }
    const QStringList words =
        QString::fromUtf8(payload).simplified().split(u' ', Qt::SkipEmptyParts);
    parsed.name = words.value(0).toUpper();
    parsed.value = words.value(1);
    return parsed;
}

}  // namespace

LinePublisher::LinePublisher(SharedState& state, const ValueTable& table, MqttPublisher& publisher,
                             QObject* parent)
    : QObject(parent), state_(state), table_(table), publisher_(publisher) {
    Log = [](const QString& line) { qInfo("%s", qUtf8Printable(line)); };
}

void LinePublisher::bind(DeviceDecoders& decoders, SerialLink& link) {
    connect(&decoders, &DeviceDecoders::statusComplete, this, &LinePublisher::publishState);
    connect(&link, &SerialLink::indicator, this, &LinePublisher::onIndicator);
    connect(&link, &SerialLink::openChanged, this, [this](bool open) {
        if (!open) {
            lineClosed();
        }
    });
    connect(&publisher_, &MqttPublisher::messageReceived, this,
            [this](const QString& topic, const QByteArray& payload) { onCommand(topic, payload); });
    // A new broker session learns every link state again, not only the next change.
    connect(&publisher_, &MqttPublisher::connectionChanged, this,
            [this](MqttPublisher::Connection connection) {
                if (connection == MqttPublisher::Connection::Connected) {
                    lastLink_.clear();
                }
            });
}

QString LinePublisher::deviceTopic(int deviceIndex) const {
    return QStringLiteral("%1").arg(state_.DeviceNumbers[static_cast<size_t>(deviceIndex)], 2, 10,
                                    QLatin1Char('0'));
}

void LinePublisher::publishLink(int deviceIndex, const QString& text) {
    if (!state_.IsDeviceIndex(deviceIndex)) {
        return;
    }
    if (lastLink_.size() != static_cast<size_t>(state_.DeviceCount())) {
        lastLink_.assign(static_cast<size_t>(state_.DeviceCount()), QString());
    }
    QString& last = lastLink_[static_cast<size_t>(deviceIndex)];
    if (last == text) {
        return;
    }
    if (publisher_.publish(deviceTopic(deviceIndex) + QStringLiteral("/link"), text.toUtf8(),
                           true)) {
        last = text;
    }
}

void LinePublisher::publishState(int deviceIndex) {
    if (!state_.IsDeviceIndex(deviceIndex) || !publisher_.isRunning()) {
        return;
    }
    const QString link = QString::fromUtf8(LinkMarkText(LinkMark::Good));
    publishLink(deviceIndex, link);
    publisher_.publish(
        deviceTopic(deviceIndex) + QStringLiteral("/state"),
        StatePayload(table_, deviceIndex + 1, publisher_.settings().LineName, link, Now()), true);
}

void LinePublisher::onIndicator(const EngineIndicator& indicator) {
    using Kind = EngineIndicator::Kind;
    if (!publisher_.isRunning()) {
        return;
    }
    if (indicator.kind == Kind::LinkMark) {
        publishLink(indicator.deviceIndex, QString::fromUtf8(LinkMarkText(indicator.mark)));
    } else if (indicator.kind == Kind::Connection && !indicator.on) {
        publishLink(indicator.deviceIndex, kGivenUp);
    }
}

void LinePublisher::lineClosed() {
    for (int i = 0; i < state_.DeviceCount(); ++i) {
        publishLink(i, kGivenUp);
    }
}

NetworkCommandResult LinePublisher::onCommand(const QString& topic, const QByteArray& payload) {
    const MqttSettings& settings = publisher_.settings();
    const QString prefix = settings.LineTopic() + u'/';
    NetworkCommandResult result;
    if (!topic.startsWith(prefix) || !topic.endsWith(QStringLiteral("/cmd"))) {
        return result;  // not one of ours; nothing to answer
    }
    const QString deviceLevel = topic.mid(prefix.size()).section(u'/', 0, 0);
    bool numberOk = false;
    const int deviceNo = deviceLevel.toInt(&numberOk);
    const ParsedCommand command = ParseCommand(payload);
    result.command = command.name;

    const auto index = [&]() -> int {
        for (int i = 0; i < state_.DeviceCount(); ++i) {
            if (state_.DeviceNumbers[static_cast<size_t>(i)] == deviceNo) {
                return i;
            }
        }
        return -1;
    }();
    const qsizetype commandIndex = NetworkCommandNames().indexOf(command.name);
    if (const QString refused = settings.CommandsRefusedReason(); !refused.isEmpty()) {
        result.reason = refused;
    } else if (!numberOk || settings.AllowedDevices().count(deviceNo) == 0) {
        result.reason = QStringLiteral("device %1 is not allowed").arg(deviceLevel);
    } else if (commandIndex < 0) {
        result.reason = QStringLiteral("unknown command");
    } else if (settings.AllowedCommands().count(command.name) == 0) {
        result.reason = QStringLiteral("command %1 is not allowed").arg(command.name);
    } else if (index < 0 || !state_.DeviceConnected[static_cast<size_t>(index)]) {
        result.reason = QStringLiteral("device %1 is not connected").arg(deviceLevel);
    } else {
        WritePair pair{kCommandRegisters.at(0), kCommandValue};
        if (command.name == QLatin1String("SV")) {
            const int dp = table_.Text(index + 1, ValueTable::kColDecimalPlaces).toInt();
            bool valueOk = false;
            const double value = command.value.toDouble(&valueOk);
            pair = {kRegSetValue, ScaleForWrite(kRegSetValue, value, dp)};
            if (!valueOk) {
                result.reason = QStringLiteral("SV needs a number");
            }
        } else {
            pair.address = kCommandRegisters[static_cast<size_t>(commandIndex)];
        }
        if (result.reason.isEmpty()) {
            if (state_.QueueWriteTo(index, std::span(&pair, 1)) == WriteOutcome::Queued) {
                result.accepted = true;
            } else {
                const int dp = table_.Text(index + 1, ValueTable::kColDecimalPlaces).toInt();
                result.reason =
                    QStringLiteral("SV outside %1").arg(WritableRangeText(kRegSetValue, dp));
            }
        }
    }
    if (Log) {
        Log(QStringLiteral("MQTT command from %1: %2 -> %3")
                .arg(topic, QString::fromUtf8(payload).left(200),
                     result.accepted ? QStringLiteral("accepted")
                                     : QStringLiteral("refused (%1)").arg(result.reason)));
    }
    QByteArray answer = "{\"command\":" + JsonString(result.command) +
                        ",\"accepted\":" + (result.accepted ? "true" : "false");
    if (!result.accepted) {
        answer += ",\"reason\":" + JsonString(result.reason);
    }
    answer += '}';
    publisher_.publish(deviceLevel + QStringLiteral("/cmd/result"), answer, false);
    return result;
}

}  // namespace zr410
