#include "engine/SerialLink.h"

#include <algorithm>

#include "protocol/CommLog.h"

namespace zr410 {

SerialLink::SerialLink(SharedState& state, QObject* parent)
    : QObject(parent), state_(state), engine_(state, *this) {
    qRegisterMetaType<zr410::EngineIndicator>();
    for (auto [timer, ms] :
         {std::pair{&tmrSend, kSendIntervalMs}, std::pair{&tmrRecvErr, kReplyLimitMs},
          std::pair{&tmrBall_Send, kLampMs}, std::pair{&tmrBall_Recv, kLampMs},
          std::pair{&gather_, kGatherMs}}) {
        timer->setSingleShot(true);
        timer->setInterval(ms);
        timer->setTimerType(Qt::PreciseTimer);
    }
    tmrSend.setObjectName(QStringLiteral("tmrSend"));
    tmrRecvErr.setObjectName(QStringLiteral("tmrRecvErr"));
    tmrBall_Send.setObjectName(QStringLiteral("tmrBall_Send"));
    tmrBall_Recv.setObjectName(QStringLiteral("tmrBall_Recv"));
    reconnect_.setInterval(kReconnectMs);

    connect(&tmrSend, &QTimer::timeout, this, [this] { engine_.sendTick(); });
    connect(&tmrRecvErr, &QTimer::timeout, this, [this] { engine_.replyTimeout(); });
    connect(&tmrBall_Send, &QTimer::timeout, this, [this] {
        emit indicator(EngineIndicator::Flag(EngineIndicator::Kind::SendLamp, false));
    });
    connect(&tmrBall_Recv, &QTimer::timeout, this, [this] {
        emit indicator(EngineIndicator::Flag(EngineIndicator::Kind::ReceiveLamp, false));
    });
    connect(&gather_, &QTimer::timeout, this, &SerialLink::onGathered);
    connect(&reconnect_, &QTimer::timeout, this, &SerialLink::tryReopen);
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&port_, &QSerialPort::bytesWritten, this, &SerialLink::onBytesWritten);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onPortError);
}

SerialLink::~SerialLink() {
    reconnect_.stop();
    if (port_.isOpen()) {
        tmrSend.stop();
        port_.close();
    }
}

bool SerialLink::openPort(QString* detail, PortFault* fault) {
    port_.setPortName(settings_.device);
    port_.setBaudRate(settings_.baud);
    port_.setParity(settings_.parity);
    port_.setDataBits(settings_.dataBits);
    port_.setStopBits(settings_.stopBits);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        *detail = port_.errorString();
        *fault = ClassifyPortError(port_.error(), settings_.device);
        port_.clearError();
        return false;
    }
    rtsSupported_ = true;
    failing_ = false;
    port_.setReadBufferSize(0);
    port_.clear(QSerialPort::Input);
    return true;
}

SerialLink::OpenResult SerialLink::open(const LineSettings& settings) {
    reconnect_.stop();
    if (port_.isOpen()) {
        close();
    }
    settings_ = settings;
    if (state_.DeviceCount() == 0) {
        return {PortFault::NoDevices, DescribePortFault(PortFault::NoDevices, settings.device)};
    }
    QString detail;
    PortFault fault = PortFault::None;
    if (!openPort(&detail, &fault)) {
        return {fault, DescribePortFault(fault, settings.device, detail)};
    }
    engine_.portOpened();
    emit openChanged(true);
    return {};
}

void SerialLink::close() {
    reconnect_.stop();
    gather_.stop();
    engine_.portClosed();
    if (port_.isOpen()) {
        port_.close();
    }
    emit openChanged(false);
}

bool SerialLink::isOpen() const {
    return port_.isOpen();
}

bool SerialLink::isPortOpen() const {
    return port_.isOpen();
}

bool SerialLink::transmit(const QByteArray& frame) {
    if (rtsSupported_ && !port_.setRequestToSend(true)) {
        // Pseudo-terminals and many USB adapters have no RTS line; that is no fault.
        rtsSupported_ = false;
        port_.clearError();
    }
    QByteArray bytes = frame;
    bytes.append('\0');  // the controllers expect one trailing NUL after every request
    if (port_.write(bytes) != bytes.size()) {
        failPort(PortFault::Lost);
        return false;
    }
    return true;
}

void SerialLink::onBytesWritten() {
    // Lower RTS once the frame has been handed to the driver; waiting for the line itself
    // would block the user-interface thread.
    if (rtsSupported_ && port_.bytesToWrite() == 0) {
        port_.setRequestToSend(false);
    }
}

void SerialLink::discardInput() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Input);
        port_.setReadBufferSize(0);
    }
}

void SerialLink::logBlock(const QByteArray& bytes) {
    AppendCommLog(bytes);
}

void SerialLink::indicate(const EngineIndicator& indicator) {
    if (indicator.on && indicator.kind == EngineIndicator::Kind::SendLamp) {
        tmrBall_Send.start();
    } else if (indicator.on && indicator.kind == EngineIndicator::Kind::ReceiveLamp) {
        tmrBall_Recv.start();
    }
    emit this->indicator(indicator);
}

void SerialLink::onReadyRead() {
    if (gather_.isActive()) {
        return;
    }
    engine_.bytesArrived(static_cast<int>(std::min<qint64>(port_.bytesAvailable(), 1 << 20)));
}

void SerialLink::startGather() {
    // Give the rest of the reply time to arrive, without holding up the window. Meanwhile the
    // driver keeps the bytes: a full read buffer stops Qt's read notifications, which would
    // otherwise wake this thread for every byte of a slow line.
    port_.setReadBufferSize(std::max<qint64>(port_.bytesAvailable(), 1));
    gather_.start();
}

void SerialLink::onGathered() {
    if (!port_.isOpen()) {
        return;
    }
    port_.setReadBufferSize(0);
    port_.waitForReadyRead(0);  // takes in what the driver holds now; never waits
    const QByteArray block = port_.readAll();
    engine_.blockReceived(block);
}

void SerialLink::onPortError(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            // Qt keeps reporting a vanished device at full speed; close at the first report.
            if (port_.isOpen() && !failing_) {
                failing_ = true;
                QTimer::singleShot(0, this, [this] { failPort(PortFault::Lost); });
            }
            break;
        default:
            break;
    }
}

void SerialLink::failPort(PortFault fault) {
    if (!port_.isOpen()) {
        return;
    }
    gather_.stop();
    engine_.portLost();
    port_.close();
    port_.clearError();
    // Reopening is under way before anyone hears of the loss: the line stays the operator's
    // open line until the operator closes it.
    reconnect_.start();
    emit portLost(DescribePortFault(fault, settings_.device));
    emit openChanged(false);
}

void SerialLink::tryReopen() {
    QString detail;
    PortFault fault = PortFault::None;
    if (state_.DeviceCount() == 0 || !openPort(&detail, &fault)) {
        return;
    }
    reconnect_.stop();
    engine_.portOpened();
    emit openChanged(true);
    emit portReopened();
}

}  // namespace zr410
