#include "publish/LineService.h"

#include "engine/DeviceSelection.h"

namespace zr410 {

LineService::LineService(QObject* parent)
    : QObject(parent),
      sprdMulti_(this),
      errors_(this),
      decoders_(state_, sprdMulti_, errors_, this),
      link_(state_, this),
      logger_(state_, sprdMulti_),
      publisher_(this),
      publishing_(state_, sprdMulti_, publisher_, this) {
    link_.setDecoders(&decoders_);
    publishing_.bind(decoders_, link_);
    publishing_.Log = [this](const QString& line) { emit message(line); };
    // The link marks go into the value table as the window would show them; the run table
    // and the publisher read them there.
    connect(&link_, &SerialLink::indicator, this, [this](const EngineIndicator& indicator) {
        if (indicator.kind == EngineIndicator::Kind::LinkMark) {
            sprdMulti_.SetCell(indicator.deviceIndex + 1, ValueTable::kColLinkState,
                               QString::fromUtf8(LinkMarkText(indicator.mark)),
                               LinkMarkColor(indicator.mark));
        } else if (indicator.kind == EngineIndicator::Kind::Connection) {
            const int no = state_.IsDeviceIndex(indicator.deviceIndex)
                               ? state_.DeviceNumbers[static_cast<size_t>(indicator.deviceIndex)]
                               : 0;
            emit message(indicator.on ? QStringLiteral("device %1 answered").arg(no)
                                      : QStringLiteral("device %1 does not answer").arg(no));
        } else if (indicator.kind == EngineIndicator::Kind::RequestRefused ||
                   indicator.kind == EngineIndicator::Kind::RequestDropped) {
            emit message(QStringLiteral("a queued write was %1")
                             .arg(indicator.kind == EngineIndicator::Kind::RequestRefused
                                      ? QStringLiteral("refused")
                                      : QStringLiteral("dropped with the port")));
        }
    });
    connect(&link_, &SerialLink::portLost, this, [this](const QString& text) {
        emit message(QStringLiteral("port lost: %1; reopening").arg(text));
    });
    connect(&link_, &SerialLink::portReopened, this,
            [this] { emit message(QStringLiteral("port reopened")); });
    connect(&publisher_, &MqttPublisher::connectionChanged, this,
            [this](MqttPublisher::Connection, const QString&) {
                emit message(publisher_.connectionText());
            });
    logTimer_.setInterval(kLogTickMs);
    connect(&logTimer_, &QTimer::timeout, this, &LineService::logTick);
    retryOpen_.setInterval(kRetryOpenMs);
    retryOpen_.setSingleShot(true);
    connect(&retryOpen_, &QTimer::timeout, this, &LineService::tryOpen);
}

LineService::~LineService() {
    stop();
}

bool LineService::start() {
    saveSettings_ = LoadSaveSettings(SaveSettingsPath());
    const std::vector<int> devices = LoadDeviceSelection(DeviceSelectionPath());
    state_.SetDeviceNumbers(devices);
    sprdMulti_.resetRows(devices);
    portSettings_ = LoadPortSettings(PortSettingsPath());
    state_.ChecksumLength = portSettings_.ChecksumLength();
    if (devices.empty()) {
        emit message(QStringLiteral("no device is selected in %1").arg(DeviceSelectionPath()));
        return false;
    }
    const MqttSettings mqtt = LoadMqttSettings(MqttSettingsPath());
    QString error;
    if (!publisher_.start(mqtt, &error)) {
        emit message(QStringLiteral("MQTT not started: %1").arg(error));
    } else if (!mqtt.Enabled) {
        emit message(QStringLiteral("MQTT publishing is off (%1)").arg(MqttSettingsPath()));
    } else if (const QString refused = mqtt.CommandsRefusedReason(); !refused.isEmpty()) {
        emit message(QStringLiteral("MQTT commands refused: %1").arg(refused));
    }
    emit message(QStringLiteral("logging %1, every %2 s, to %3")
                     .arg(saveSettings_.Enabled() ? QStringLiteral("on") : QStringLiteral("off"))
                     .arg(saveSettings_.IntervalSeconds())
                     .arg(saveSettings_.SaveFolder));
    logTimer_.start();
    tryOpen();
    return true;
}

void LineService::tryOpen() {
    const SerialLink::OpenResult result = link_.open(ToLineSettings(portSettings_));
    if (result.ok()) {
        emit message(QStringLiteral("polling %1 device(s) on %2")
                         .arg(state_.DeviceCount())
                         .arg(portSettings_.PortName));
        return;
    }
    emit message(
        QStringLiteral("%1; trying again in %2 s").arg(result.message).arg(kRetryOpenMs / 1000));
    retryOpen_.start();
}

void LineService::logTick() {
    logger_.LogDueRecords(saveSettings_, link_.isOpen());
    if (logger_.RecordsFailed() != failedRecordsReported_) {
        emit message(QStringLiteral("%1 record(s) could not be written to %2")
                         .arg(logger_.RecordsFailed() - failedRecordsReported_)
                         .arg(saveSettings_.SaveFolder));
        failedRecordsReported_ = logger_.RecordsFailed();
    }
}

void LineService::stop() {
    logTimer_.stop();
    retryOpen_.stop();
    if (link_.isOpen() || link_.isReconnecting()) {
        link_.close();
    }
    publisher_.stop();
}

}  // namespace zr410
