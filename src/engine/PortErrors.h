#pragma once

#include <QSerialPort>
#include <QString>

namespace zr410 {

// Why a port could not be opened or failed while open, in the operator's words.
enum class PortFault { None, NoSuchPort, InUse, PermissionDenied, Lost, NoDevices, Other };

PortFault ClassifyPortError(QSerialPort::SerialPortError error, const QString& device);
QString DescribePortFault(PortFault fault, const QString& device, const QString& detail = {});

// Tries to open the device and closes it again at once; returns the fault, None when it opened.
PortFault ProbePort(const QString& device, QString* detail = nullptr);

}  // namespace zr410
