#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <vector>

#include "engine/PollEngine.h"
#include "engine/PortErrors.h"
#include "engine/PortSettings.h"
#include "engine/SharedState.h"

namespace zr410 {

// The serial port and the timers of the poll cycle: drives the PollEngine from QSerialPort's
// receive notification and the one-shot timers, and hands its indicators on as one signal
// that the windows bind to. Everything runs on the user-interface thread, and nothing here
// blocks: the 200 ms gathering of a reply is a single-shot timer, during which the engine
// neither times the reply out nor sends.
class SerialLink : public QObject, private PollEngineHost {
    Q_OBJECT

public:
    static constexpr int kSendIntervalMs = 50;
    static constexpr int kReplyLimitMs = 600;
    static constexpr int kLampMs = 250;
    static constexpr int kGatherMs = 200;
    static constexpr int kReconnectMs = 1000;

    struct OpenResult {
        PortFault fault = PortFault::None;
        QString message;
        bool ok() const { return fault == PortFault::None; }
    };

    explicit SerialLink(SharedState& state, QObject* parent = nullptr);
    ~SerialLink() override;

    // Opens the port and starts the identification scan; refuses an empty device list.
    OpenResult open(const LineSettings& settings);
    // The operator's close: also ends any attempts to reopen a lost port.
    void close();
    bool isOpen() const;
    bool isReconnecting() const { return reconnect_.isActive(); }
    const LineSettings& lineSettings() const { return settings_; }

    PollEngine& engine() { return engine_; }
    void setDecoders(ReplyDecoders* decoders) { engine_.setDecoders(decoders); }
    // A new device selection was confirmed while the port is open.
    void restartScan() { engine_.restartScan(); }

    // The cycle's timers, under the names the rest of the program knows them by.
    QTimer tmrSend;
    QTimer tmrRecvErr;
    QTimer tmrBall_Send;
    QTimer tmrBall_Recv;

signals:
    // Everything the poll cycle shows: link marks, connections, the edit device, lamps,
    // traffic and refused or dropped requests. Windows pick the kinds they display.
    void indicator(const zr410::EngineIndicator& indicator);
    // The port failed while open (adapter unplugged, I/O error); it is closed, and the link
    // tries to reopen it about once a second until it is back or the operator closes it.
    void portLost(const QString& message);
    void portReopened();
    void openChanged(bool open);

private:
    // PollEngineHost
    bool isPortOpen() const override;
    bool transmit(const QByteArray& frame) override;
    void discardInput() override;
    void logBlock(const QByteArray& bytes) override;
    void armSendTimer() override { tmrSend.start(); }
    void stopSendTimer() override { tmrSend.stop(); }
    void armReplyTimer() override { tmrRecvErr.start(); }
    void stopReplyTimer() override { tmrRecvErr.stop(); }
    void startGather() override;
    void indicate(const EngineIndicator& indicator) override;

    void onReadyRead();
    void onGathered();
    void onBytesWritten();
    void onPortError(QSerialPort::SerialPortError error);
    void failPort(PortFault fault);
    bool openPort(QString* detail, PortFault* fault);
    void tryReopen();

    SharedState& state_;
    PollEngine engine_;
    QSerialPort port_;
    LineSettings settings_;
    QTimer gather_;
    QTimer reconnect_;
    bool rtsSupported_ = true;
    bool failing_ = false;
};

}  // namespace zr410
