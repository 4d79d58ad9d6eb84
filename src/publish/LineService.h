#pragma once

#include <QObject>
#include <QTimer>

#include "engine/PortSettings.h"
#include "engine/SerialLink.h"
#include "engine/SharedState.h"
#include "logging/DataLogger.h"
#include "logging/SaveSettings.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "publish/LinePublisher.h"
#include "publish/MqttPublisher.h"
#include "publish/MqttSettings.h"

namespace zr410 {

// One line without a window: the poll cycle, the data logger and the publisher, set up from
// the same Comm.CFG, SetMulti.INI, SaveData.INI and MQTT.INI the monitoring program keeps in
// its program folder. The port is opened at start and opened again after a failure, so a
// service started before its adapter is plugged in begins polling when it appears.
class LineService : public QObject {
    Q_OBJECT

public:
    static constexpr int kLogTickMs = 1000;
    static constexpr int kRetryOpenMs = 5000;

    explicit LineService(QObject* parent = nullptr);
    ~LineService() override;

    // Reads the settings and starts publishing, logging and polling. False when nothing can
    // run (no device selected); a port that cannot be opened yet is retried.
    bool start();
    // Closes the line and says the line is off line to the broker. Every record of a logging
    // pass is written when its pass runs, so nothing is left to flush.
    void stop();

    SharedState& State() { return state_; }
    const ValueTable& Values() const { return sprdMulti_; }
    DeviceDecoders& Decoders() { return decoders_; }
    SerialLink& Link() { return link_; }
    DataLogger& Logger() { return logger_; }
    MqttPublisher& Publisher() { return publisher_; }
    LinePublisher& Publishing() { return publishing_; }

signals:
    // One line for the journal.
    void message(const QString& text);

private:
    void tryOpen();
    void logTick();

    SharedState state_;
    ValueTable sprdMulti_;
    ErrorHistory errors_;
    DeviceDecoders decoders_;
    SerialLink link_;
    PortSettings portSettings_;
    SaveSettings saveSettings_;
    DataLogger logger_;
    MqttPublisher publisher_;
    LinePublisher publishing_;
    QTimer logTimer_;
    QTimer retryOpen_;
    qint64 failedRecordsReported_ = 0;
};

}  // namespace zr410
