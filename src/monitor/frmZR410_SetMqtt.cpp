#include "monitor/frmZR410_SetMqtt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zr410 {
namespace {

QLineEdit* TextField(const QString& name, const QString& accessible, const QString& text) {
    auto* field = new QLineEdit(text);
    field->setObjectName(name);
    field->setAccessibleName(accessible);
    return field;
}

// A caption without its access-key mark, as a screen reader should say it.
QString Spoken(QString caption) {
    return caption.remove(QRegularExpression(QStringLiteral("\\[&.\\]"))).remove(u'&');
}

QLabel* Caption(const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setAccessibleName(Spoken(caption) + QStringLiteral(" 이름표"));
    label->setBuddy(field);
    return label;
}

void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* field) {
    auto* label = Caption(caption, field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, 2);
}

}  // namespace

frmZR410_SetMqtt::frmZR410_SetMqtt(const MqttSettings& current, QWidget* parent)
    : QDialog(parent), settings_(current) {
    setObjectName(QStringLiteral("frmZR410_SetMqtt"));
    setWindowTitle(QStringLiteral("MQTT 설정"));
    setAccessibleName(QStringLiteral("MQTT 설정"));
    auto* layout = new QVBoxLayout(this);

    chbEnabled_ = new QCheckBox(QStringLiteral("MQTT 브로커로 값 보내기[&E]"));
    chbEnabled_->setObjectName(QStringLiteral("chbEnabled"));
    chbEnabled_->setAccessibleName(QStringLiteral("MQTT 사용"));
    chbEnabled_->setChecked(current.Enabled);
    layout->addWidget(chbEnabled_);

    auto* box = new QGroupBox(QStringLiteral("브로커"));
    box->setObjectName(QStringLiteral("fraBroker"));
    box->setAccessibleName(QStringLiteral("브로커"));
    connectionBox_ = box;
    auto* grid = new QGridLayout(box);
    int row = 0;
    txtHost_ = TextField(QStringLiteral("txtHost"), QStringLiteral("브로커 주소"), current.Host);
    AddRow(grid, row++, QStringLiteral("주소[&H]"), txtHost_);
    spnPort_ = new QSpinBox;
    spnPort_->setObjectName(QStringLiteral("spnPort"));
    spnPort_->setAccessibleName(QStringLiteral("브로커 포트"));
    spnPort_->setRange(1, 65535);
    spnPort_->setValue(current.Port);
    AddRow(grid, row++, QStringLiteral("포트[&P]"), spnPort_);
    txtClientId_ =
        TextField(QStringLiteral("txtClientId"), QStringLiteral("클라이언트 ID"), current.ClientId);
    txtClientId_->setPlaceholderText(current.EffectiveClientId());
    AddRow(grid, row++, QStringLiteral("클라이언트 ID"), txtClientId_);
    txtPrefix_ = TextField(QStringLiteral("txtTopicPrefix"), QStringLiteral("토픽 접두어"),
                           current.TopicPrefix);
    AddRow(grid, row++, QStringLiteral("토픽 접두어[&T]"), txtPrefix_);
    txtLine_ =
        TextField(QStringLiteral("txtLineName"), QStringLiteral("라인 이름"), current.LineName);
    AddRow(grid, row++, QStringLiteral("라인 이름[&L]"), txtLine_);
    cboQos_ = new QComboBox;
    cboQos_->setObjectName(QStringLiteral("cboQos"));
    cboQos_->setAccessibleName(QStringLiteral("QoS"));
    cboQos_->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
    cboQos_->setCurrentIndex(current.Qos);
    AddRow(grid, row++, QStringLiteral("QoS"), cboQos_);
    spnKeepAlive_ = new QSpinBox;
    spnKeepAlive_->setObjectName(QStringLiteral("spnKeepAlive"));
    spnKeepAlive_->setAccessibleName(QStringLiteral("연결 유지 간격"));
    spnKeepAlive_->setRange(MqttSettings::kMinKeepAlive, MqttSettings::kMaxKeepAlive);
    spnKeepAlive_->setSuffix(QStringLiteral(" 초"));
    spnKeepAlive_->setValue(current.KeepAliveSeconds);
    AddRow(grid, row++, QStringLiteral("연결 유지[&K]"), spnKeepAlive_);
    layout->addWidget(box);

    auto* login = new QGroupBox(QStringLiteral("로그인과 TLS"));
    login->setObjectName(QStringLiteral("fraLogin"));
    login->setAccessibleName(QStringLiteral("로그인과 TLS"));
    auto* loginGrid = new QGridLayout(login);
    row = 0;
    txtUser_ = TextField(QStringLiteral("txtUser"), QStringLiteral("사용자"), current.User);
    AddRow(loginGrid, row++, QStringLiteral("사용자[&U]"), txtUser_);
    txtPasswordFile_ = fileField(current.PasswordFile, QStringLiteral("비밀번호 파일"),
                                 QStringLiteral("비밀번호 파일"), loginGrid, row++);
    txtCaFile_ = fileField(current.CaFile, QStringLiteral("CA 인증서 파일"),
                           QStringLiteral("CA 인증서"), loginGrid, row++);
    txtCertFile_ = fileField(current.CertFile, QStringLiteral("클라이언트 인증서 파일"),
                             QStringLiteral("클라이언트 인증서"), loginGrid, row++);
    txtKeyFile_ = fileField(current.KeyFile, QStringLiteral("클라이언트 키 파일"),
                            QStringLiteral("클라이언트 키"), loginGrid, row++);
    layout->addWidget(login);

    auto* commands = new QGroupBox(QStringLiteral("원격 명령"));
    commands->setObjectName(QStringLiteral("fraCommands"));
    commands->setAccessibleName(QStringLiteral("원격 명령"));
    auto* commandGrid = new QGridLayout(commands);
    chbCommands_ = new QCheckBox(QStringLiteral("공장 네트워크의 명령 받기 (TLS와 로그인 필요)"));
    chbCommands_->setObjectName(QStringLiteral("chbCommands"));
    chbCommands_->setAccessibleName(QStringLiteral("원격 명령 받기"));
    chbCommands_->setChecked(current.CommandsEnabled);
    commandGrid->addWidget(chbCommands_, 0, 0, 1, 3);
    txtAllowDevices_ = TextField(QStringLiteral("txtAllowDevices"), QStringLiteral("허용 기기"),
                                 current.AllowDevices);
    txtAllowDevices_->setPlaceholderText(QStringLiteral("예: 1,2,5-7"));
    AddRow(commandGrid, 1, QStringLiteral("허용 기기"), txtAllowDevices_);
    txtAllowCommands_ = TextField(QStringLiteral("txtAllowCommands"), QStringLiteral("허용 명령"),
                                  current.AllowCommands);
    txtAllowCommands_->setPlaceholderText(NetworkCommandNames().join(u','));
    AddRow(commandGrid, 2, QStringLiteral("허용 명령"), txtAllowCommands_);
    layout->addWidget(commands);

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(QStringLiteral("확인[&O]"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setAccessibleName(QStringLiteral("확인"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("취소[&C]"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAccessibleName(QStringLiteral("취소"));
    connect(ok, &QPushButton::clicked, this, &frmZR410_SetMqtt::btnOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(chbEnabled_, &QCheckBox::toggled, this, &frmZR410_SetMqtt::showEnabledState);
    showEnabledState();
}

QLineEdit* frmZR410_SetMqtt::fileField(const QString& text, const QString& accessible,
                                       const QString& title, QGridLayout* grid, int row) {
    auto* field = TextField(QStringLiteral("txt") + QString(title).remove(u' '), accessible, text);
    auto* label = Caption(title, field);
    auto* browse = new QPushButton(QStringLiteral("찾기..."));
    browse->setAccessibleName(accessible + QStringLiteral(" 찾기"));
    connect(browse, &QPushButton::clicked, this, [this, field, title] {
        const QString chosen = ChooseFile(title, field->text());
        if (!chosen.isEmpty()) {
            field->setText(chosen);
        }
    });
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(browse, row, 2);
    return field;
}

void frmZR410_SetMqtt::showEnabledState() {
    // Everything stays editable, so settings can be prepared before publishing is switched on;
    // only the look says they are not in use.
    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        box->setTitle(box->title().remove(QStringLiteral(" (사용 안 함)")) +
                      (chbEnabled_->isChecked() ? QString() : QStringLiteral(" (사용 안 함)")));
    }
}

MqttSettings frmZR410_SetMqtt::DialogSettings() const {
    MqttSettings s;
    s.Enabled = chbEnabled_->isChecked();
    s.Host = txtHost_->text().trimmed();
    s.Port = spnPort_->value();
    s.ClientId = txtClientId_->text().trimmed();
    s.TopicPrefix = txtPrefix_->text().trimmed();
    s.LineName = txtLine_->text().trimmed();
    s.User = txtUser_->text().trimmed();
    s.PasswordFile = txtPasswordFile_->text().trimmed();
    s.CaFile = txtCaFile_->text().trimmed();
    s.CertFile = txtCertFile_->text().trimmed();
    s.KeyFile = txtKeyFile_->text().trimmed();
    s.Qos = cboQos_->currentIndex();
    s.KeepAliveSeconds = spnKeepAlive_->value();
    s.CommandsEnabled = chbCommands_->isChecked();
    s.AllowDevices = txtAllowDevices_->text().trimmed();
    s.AllowCommands = txtAllowCommands_->text().trimmed();
    return s;
}

void frmZR410_SetMqtt::btnOK_Click() {
    const MqttSettings s = DialogSettings();
    if (s.Enabled && s.Host.isEmpty()) {
        ShowMessage(QStringLiteral("브로커 주소를 입력하시오."));
        txtHost_->setFocus();
        return;
    }
    if (s.TopicPrefix.isEmpty() || s.LineName.isEmpty()) {
        ShowMessage(QStringLiteral("토픽 접두어와 라인 이름을 입력하시오."));
        (s.TopicPrefix.isEmpty() ? txtPrefix_ : txtLine_)->setFocus();
        return;
    }
    if (s.CommandsEnabled && !s.CommandsRefusedReason().isEmpty()) {
        ShowMessage(QStringLiteral(
            "원격 명령은 TLS(CA 인증서)와 브로커 로그인(사용자, 비밀번호 파일)이 있어야 받을 수 "
            "있습니다."));
        chbCommands_->setFocus();
        return;
    }
    if (!SaveMqttSettings(MqttSettingsPath(), s)) {
        ShowMessage(QStringLiteral("MQTT 설정을 저장하지 못했습니다: %1").arg(MqttSettingsPath()));
        return;
    }
    settings_ = s;
    accept();
}

void frmZR410_SetMqtt::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("알림 메시지"));
    box.exec();
}

QString frmZR410_SetMqtt::ChooseFile(const QString& title, const QString& start) {
    return QFileDialog::getOpenFileName(this, title, start);
}

}  // namespace zr410
