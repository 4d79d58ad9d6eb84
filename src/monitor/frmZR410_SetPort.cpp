#include "monitor/frmZR410_SetPort.h"

#include "ui_frmZR410_SetPort.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <QSet>

#include "engine/PortErrors.h"

namespace zr410 {
namespace {

constexpr int kComPorts = 16;

// "COM16 (/dev/ttyS15)" tells the operator which device a COM name stands for here.
QString portDisplayName(const QString& portText, const QString& device) {
    if (portText == device) {
        return device;
    }
    return QStringLiteral("%1 (%2)").arg(portText, device);
}

void fill(QComboBox* box, const QStringList& items, const QString& text) {
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(box->findText(text));
    box->setEditText(text);
    if (box->lineEdit() != nullptr) {
        box->lineEdit()->setAccessibleName(box->accessibleName());
    }
}

}  // namespace

frmZR410_SetPort::frmZR410_SetPort(const PortSettings& current, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmZR410_SetPort>()), settings_(current) {
    ui->setupUi(this);
    ui->lblMsg->setStyleSheet(QStringLiteral("color: #b00000;"));

    connect(ui->cmbPort, &QComboBox::activated, this, &frmZR410_SetPort::cmbPort_Click);
    connect(ui->btnOK, &QPushButton::clicked, this, &frmZR410_SetPort::btnOK_Click);
    connect(ui->btnCancel, &QPushButton::clicked, this, &frmZR410_SetPort::btnCancel_Click);

    Form_Load();

    // A typed device path is tested as soon as the operator leaves the box or presses Enter,
    // just as a chosen entry is.
    connect(ui->cmbPort->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { TestPort(ui->cmbPort->currentText()); });
}

frmZR410_SetPort::~frmZR410_SetPort() = default;

void frmZR410_SetPort::Form_Load() {
    QStringList ports;
    QSet<QString> listed;
    for (int n = 1; n <= kComPorts; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        ports.append(name);
        listed.insert(ResolvePortDevice(name));
    }
    // USB adapters and other ports the system knows, by device path; the serial ports behind
    // COM1..COM16 are not listed twice.
    QStringList descriptions;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        if (listed.contains(device)) {
            continue;
        }
        listed.insert(device);
        ports.append(device);
        QStringList about{info.description(), info.manufacturer()};
        about.removeAll(QString());
        descriptions.append(about.join(QStringLiteral(", ")));
    }

    fill(ui->cmbPort, ports, settings_.PortName);
    for (int i = 0; i < descriptions.size(); ++i) {
        ui->cmbPort->setItemData(kComPorts + i, descriptions.at(i), Qt::ToolTipRole);
    }
    fill(ui->cmbBaud, {"9600", "4800", "2400", "1200"}, settings_.BaudText);
    fill(ui->cmbParity, {"N", "E", "O"}, settings_.ParityText);
    fill(ui->cmbData, {"7", "8"}, settings_.DataBitsText);
    fill(ui->cmbStop, {"1", "2"}, settings_.StopBitsText);
    fill(ui->cmbProtocol, {"STD", "SUM"}, settings_.ProtocolText);

    if (!ui->cmbPort->currentText().isEmpty()) {
        TestPort(ui->cmbPort->currentText());
    }
}

void frmZR410_SetPort::cmbPort_Click(int index) {
    TestPort(ui->cmbPort->itemText(index));
}

void frmZR410_SetPort::TestPort(const QString& portText) {
    const QString device = ResolvePortDevice(portText);
    const PortFault fault = ProbePort(device);
    switch (fault) {
        case PortFault::None:
            ui->lblMsg->clear();
            break;
        case PortFault::NoSuchPort:
        case PortFault::InUse:
        case PortFault::PermissionDenied:
            ui->lblMsg->setText(DescribePortFault(fault, portDisplayName(portText, device)));
            break;
        default:
            // Anything else says nothing reliable about the port; the last word stays.
            break;
    }
}

PortSettings frmZR410_SetPort::DialogSettings() const {
    PortSettings s;
    s.PortName = ui->cmbPort->currentText();
    s.BaudText = ui->cmbBaud->currentText();
    s.ParityText = ui->cmbParity->currentText();
    s.DataBitsText = ui->cmbData->currentText();
    s.StopBitsText = ui->cmbStop->currentText();
    s.ProtocolText = ui->cmbProtocol->currentText();
    return s;
}

bool frmZR410_SetPort::WriteDialogSettings() {
    return SavePortSettings(PortSettingsPath(), DialogSettings());
}

void frmZR410_SetPort::btnOK_Click() {
    if (!WriteDialogSettings()) {
        ShowMessage(QStringLiteral("통신포트 설정을 %1 에 저장하지 못했습니다.\n"
                                   "새 설정은 프로그램을 끝낼 때까지만 적용됩니다.")
                        .arg(PortSettingsPath()));
    }
    settings_ = DialogSettings();
    accept();
}

void frmZR410_SetPort::btnCancel_Click() {
    reject();
}

void frmZR410_SetPort::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("통신포트 설정 메시지"));
    box.exec();
}

}  // namespace zr410
