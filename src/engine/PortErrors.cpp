#include "engine/PortErrors.h"

#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace zr410 {
namespace {

// The login name to put into the command the operator hands to the administrator.
QString loginName() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QStringLiteral("사용자이름");
}

}  // namespace

PortFault ClassifyPortError(QSerialPort::SerialPortError error, const QString& device) {
    switch (error) {
        case QSerialPort::NoError:
            return PortFault::None;
        case QSerialPort::DeviceNotFoundError:
            return PortFault::NoSuchPort;
        case QSerialPort::OpenError:
            return PortFault::InUse;
        case QSerialPort::PermissionError: {
            // Qt reports both a lock held by another program and missing rights this way;
            // the operator needs to know which, because the cures differ.
            const QByteArray path = QFileInfo(device).absoluteFilePath().toLocal8Bit();
            if (!QFileInfo::exists(device)) {
                return PortFault::NoSuchPort;
            }
            return ::access(path.constData(), R_OK | W_OK) == 0 ? PortFault::InUse
                                                                : PortFault::PermissionDenied;
        }
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            return PortFault::Lost;
        default:
            return PortFault::Other;
    }
}

QString DescribePortFault(PortFault fault, const QString& device, const QString& detail) {
    switch (fault) {
        case PortFault::None:
            return {};
        case PortFault::NoSuchPort:
            return QStringLiteral("통신포트 %1 이(가) 없습니다.").arg(device);
        case PortFault::InUse:
            return QStringLiteral("통신포트 %1 은(는) 이미 다른 프로그램이 사용 중입니다.")
                .arg(device);
        case PortFault::PermissionDenied:
            // Debian gives the serial ports to the group dialout; a new group membership only
            // counts from the next login.
            return QStringLiteral(
                       "통신포트 %1 을(를) 열 권한이 없습니다. 직렬 포트는 dialout 그룹의 "
                       "사용자만 열 수 있습니다. 관리자가 'sudo usermod -aG dialout %2' 명령으로 "
                       "사용자를 추가한 뒤, 로그아웃했다가 다시 로그인하십시오.")
                .arg(device, loginName());
        case PortFault::Lost:
            return QStringLiteral("통신포트 %1 과(와)의 연결이 끊어졌습니다.").arg(device);
        case PortFault::NoDevices:
            return QStringLiteral(
                "사용할 기기가 선택되어 있지 않습니다. 멀티 설정에서 사용할 기기를 O 로 "
                "선택하십시오.");
        case PortFault::Other:
            break;
    }
    if (detail.isEmpty()) {
        return QStringLiteral("통신포트 %1 을(를) 열 수 없습니다.").arg(device);
    }
    return QStringLiteral("통신포트 %1 을(를) 열 수 없습니다: %2").arg(device, detail);
}

PortFault ProbePort(const QString& device, QString* detail) {
    QSerialPort port;
    port.setPortName(device);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return PortFault::None;
    }
    if (detail != nullptr) {
        *detail = port.errorString();
    }
    return ClassifyPortError(port.error(), device);
}

}  // namespace zr410
