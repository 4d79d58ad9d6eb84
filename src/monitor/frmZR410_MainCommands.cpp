// Start-up, shutdown, menu commands and the binding of the poll cycle's indicators.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "common/ProgramFolder.h"
#include "common/ShippedFiles.h"
#include "engine/DeviceSelection.h"
#include "model/TextForms.h"
#include "model/WriteScaling.h"
#include "monitor/MonitoringArea.h"
#include "monitor/TrendChart.h"
#include "monitor/frmZR410_About.h"
#include "monitor/frmZR410_CommTest.h"
#include "monitor/frmZR410_ErrList.h"
#include "monitor/frmZR410_Main.h"
#include "monitor/frmZR410_RunMulti.h"
#include "monitor/frmZR410_SetMqtt.h"
#include "monitor/frmZR410_SetMulti.h"
#include "monitor/frmZR410_SetPort.h"
#include "monitor/frmZR410_Set_DSave.h"
#include "params/frmZR410_PRMT.h"
#include "params/frmZR410_SetDT.h"
#include "protocol/RegisterMap.h"
#include "widgets/GradientLabel.h"
#include "widgets/ShellOpen.h"

namespace zr410 {
namespace {

const QColor kGood(0x00, 0xFF, 0x00);
const QColor kLost(0x80, 0x80, 0x80);

}  // namespace

void frmZR410_Main::Form_Load() {
    saveSettings_ = LoadSaveSettings(SaveSettingsPath());
    ShowSaveSettings();
    LoadDeviceSelection();
    portSettings_ = LoadPortSettings(PortSettingsPath());
    state_.ChecksumLength = portSettings_.ChecksumLength();
    ShowPortSettings();
    SetOnlineControls(false);
    lblMC_No->clear();
    sampler_.Restart();
    tmrDispGraph.start(1000);
    StartMqtt(LoadMqttSettings(MqttSettingsPath()));
}

void frmZR410_Main::Form_Unload() {
    tmrDispGraph.stop();
    if (link_.isOpen() || link_.isReconnecting()) {
        link_.close();
    }
    mqtt_.stop();
}

void frmZR410_Main::StartMqtt(const MqttSettings& settings) {
    QString error;
    if (!mqtt_.start(settings, &error)) {
        StatusBar1[2]->setText(error);
    }
    ShowMqttState();
}

void frmZR410_Main::ShowMqttState() {
    // Shown only where publishing is set up (or failed to start), so a line without a broker
    // keeps its status bar as it always was.
    const bool shown = mqtt_.settings().Enabled;
    lblMqtt->setVisible(shown);
    lblMqtt->setText(mqtt_.connectionText());
    const bool up = mqtt_.connection() == MqttPublisher::Connection::Connected;
    lblMqtt->setStyleSheet(up ? QString() : QStringLiteral("color: #b00000;"));
}

void frmZR410_Main::mSetMqtt_Click() {
    frmZR410_SetMqtt dialog(LoadMqttSettings(MqttSettingsPath()), this);
    if (ExecDialog(dialog) == QDialog::Accepted) {
        StartMqtt(dialog.Settings());
    }
}

void frmZR410_Main::bindLink() {
    mqttLine_.bind(decoders_, link_);
    connect(&mqtt_, &MqttPublisher::connectionChanged, this, &frmZR410_Main::ShowMqttState);
    connect(&link_, &SerialLink::indicator, this, &frmZR410_Main::ShowIndicator);
    connect(&link_, &SerialLink::openChanged, this, [this] { SetPortCaptions(IsPortOpen()); });
    connect(&link_, &SerialLink::portLost, this, [this](const QString& message) {
        StatusBar1[2]->setText(message + QStringLiteral(" 다시 연결을 시도하는 중..."));
        for (int i = 0; i < state_.DeviceCount(); ++i) {
            ShowConnection(i, QStringLiteral("포트 끊김"), kLost);
        }
    });
    connect(&link_, &SerialLink::portReopened, this, [this] {
        StatusBar1[2]->setText(
            QStringLiteral("통신포트가 다시 연결되었습니다. 기기 연결상태를 검사합니다."));
    });
}

void frmZR410_Main::ShowIndicator(const EngineIndicator& indicator) {
    using Kind = EngineIndicator::Kind;
    switch (indicator.kind) {
        case Kind::LinkMark:
            sprdMulti_.SetCell(indicator.deviceIndex + 1, ValueTable::kColLinkState,
                               QString::fromUtf8(LinkMarkText(indicator.mark)),
                               LinkMarkColor(indicator.mark));
            break;
        case Kind::Connection:
            if (indicator.on) {
                ShowConnection(indicator.deviceIndex, QStringLiteral("양호"), kGood);
            } else {
                ShowConnection(indicator.deviceIndex, QStringLiteral("불량"), Qt::black);
            }
            break;
        case Kind::EditDevice:
            lblMC_No->setText(QString::number(indicator.deviceNo));
            break;
        case Kind::ConnectCheck:
            lblConnectChk->setVisible(indicator.on);
            break;
        case Kind::OnlineControls:
            SetOnlineControls(indicator.on);
            break;
        case Kind::SendLamp:
            shpSend->setColor(indicator.on ? Qt::red : Qt::black);
            break;
        case Kind::ReceiveLamp:
            shpRecv->setColor(indicator.on ? kGood : Qt::black);
            break;
        case Kind::RequestRefused:
        case Kind::RequestDropped:
            ReportRequest(indicator);
            break;
        case Kind::RunTableTimeout:
        case Kind::ParameterRefresh:
        case Kind::Trace:
            break;  // shown by the windows that display them, while they are open
    }
}

// A request that never reached the controller. The message panel says so at once; a refused
// value also gets a message box, opened after the poll cycle's step has returned so that
// polling and logging never wait on the operator.
void frmZR410_Main::ReportRequest(const EngineIndicator& indicator) {
    QStringList pairs;
    for (size_t i = 0; i < indicator.registers.size(); ++i) {
        pairs << QStringLiteral("%1 = %2")
                     .arg(indicator.registers[i])
                     .arg(i < indicator.values.size() ? QString::number(indicator.values[i])
                                                      : QStringLiteral("?"));
    }
    const QString what = pairs.join(QStringLiteral(", "));
    if (indicator.kind == EngineIndicator::Kind::RequestDropped) {
        StatusBar1[2]->setText(
            QStringLiteral("통신포트가 끊겨 보내지 못한 요청을 취소했습니다 (%1).").arg(what));
        return;
    }
    const QString text = QStringLiteral(
                             "보낼 수 없는 값이라 쓰지 않았습니다 (%1).\n"
                             "값은 -32768 ~ 65535 범위여야 합니다.")
                             .arg(what);
    StatusBar1[2]->setText(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    QTimer::singleShot(0, this, [this, text] { ShowMessage(text); });
}

void frmZR410_Main::bindMonitor() {
    link_.setDecoders(&decoders_);
    connect(&decoders_, &DeviceDecoders::editDeviceStatusDecoded, this,
            [this](int index) { monitor_->ShowRow(sprdMulti_, index + 1); });
    connect(&decoders_, &DeviceDecoders::editDeviceUnitChanged, monitor_,
            &MonitoringArea::SetUnitText);
    connect(monitor_, &MonitoringArea::commandClicked, this, &frmZR410_Main::QueueCommand);
    connect(monitor_, &MonitoringArea::setValueCommitted, this, &frmZR410_Main::CommitSetValue);
}

void frmZR410_Main::QueueCommand(int index) {
    if (index < 0 || index >= MonitoringArea::kCommandCount) {
        return;
    }
    // The same register and value switch the function on and off; the controller decides.
    state_.QueueWrite({{kCommandRegisters[static_cast<size_t>(index)], kCommandValue}});
}

void frmZR410_Main::CommitSetValue(const QString& enteredText) {
    const std::int64_t raw = ScaleEntryForWrite(kRegSetValue, enteredText, decoders_.DecimalPlaces);
    if (state_.QueueWrite({{kRegSetValue, raw}}) != WriteOutcome::Queued) {
        // Said in the operator's units, and the entry opens again with what was typed, so it
        // can be corrected rather than typed anew.
        const QString range = WritableRangeText(kRegSetValue, decoders_.DecimalPlaces)
                                  .replace(QStringLiteral(" ~ "), QStringLiteral(" … "))
                                  .replace(QLatin1Char('-'), QChar(0x2212));
        ShowMessage(
            QStringLiteral("입력한 SV (%1)는 기기에 보낼 수 있는 범위를 벗어났습니다.\n"
                           "보낼 수 있는 값: %2 %3")
                .arg(enteredText.trimmed(), range,
                     decoders_.TempUnitText.isEmpty() ? TempUnitText(0) : decoders_.TempUnitText));
        monitor_->ReopenSetValueEntry(enteredText);
    }
}

void frmZR410_Main::LoadDeviceSelection() {
    ApplyDeviceSelection(zr410::LoadDeviceSelection(DeviceSelectionPath()));
}

void frmZR410_Main::ApplyDeviceSelection(const std::vector<int>& deviceNumbers) {
    state_.SetDeviceNumbers(deviceNumbers);
    sprdMulti_.resetRows(deviceNumbers);
    sprdStatus->setRowCount(0);
    sprdStatus->setRowCount(static_cast<int>(deviceNumbers.size()));
    for (int i = 0; i < static_cast<int>(deviceNumbers.size()); ++i) {
        auto* number = new QTableWidgetItem(QString::number(deviceNumbers[i]));
        number->setTextAlignment(Qt::AlignCenter);
        sprdStatus->setItem(i, 0, number);
        auto* connection = new QTableWidgetItem;
        connection->setTextAlignment(Qt::AlignCenter);
        sprdStatus->setItem(i, 1, connection);
    }
    linkCells_.assign(deviceNumbers.size(), LinkCell{});
}

void frmZR410_Main::ShowConnection(int deviceIndex, const QString& text, const QColor& background) {
    if (deviceIndex < 0 || deviceIndex >= sprdStatus->rowCount()) {
        return;
    }
    if (linkCells_.size() < static_cast<size_t>(sprdStatus->rowCount())) {
        linkCells_.resize(static_cast<size_t>(sprdStatus->rowCount()));
    }
    linkCells_[static_cast<size_t>(deviceIndex)] = {text, background};
    paintConnection(deviceIndex);
}

void frmZR410_Main::paintConnection(int row) {
    QTableWidgetItem* number = sprdStatus->item(row, 0);
    QTableWidgetItem* item = sprdStatus->item(row, 1);
    if (number == nullptr || item == nullptr || static_cast<size_t>(row) >= linkCells_.size()) {
        return;
    }
    const LinkCell& cell = linkCells_[static_cast<size_t>(row)];
    item->setText(cell.text);
    // Off line the last link states stay readable but greyed, so a green "양호" from before the
    // port was closed cannot pass for a live one.
    const QColor background =
        lineOn_ || !cell.background.isValid() ? cell.background : QColor(0xd8, 0xd8, 0xd8);
    item->setBackground(background.isValid() ? QBrush(background) : QBrush());
    const QColor text = !lineOn_ ? QColor(0x80, 0x80, 0x80)
                        : background.isValid() && background.lightness() < 100 ? QColor(Qt::white)
                                                                               : QColor(Qt::black);
    item->setForeground(text);
    number->setForeground(lineOn_ ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80));
    item->setData(Qt::AccessibleTextRole, lineOn_ || cell.text.isEmpty()
                                              ? cell.text
                                              : cell.text + QStringLiteral(" (통신 닫힘)"));
}

void frmZR410_Main::ShowPortSettings() {
    StatusBar1[0]->setText(portSettings_.PortName);
    StatusBar1[1]->setText(portSettings_.LineText());
    StatusBar1[4]->setText(portSettings_.ProtocolText);
}

void frmZR410_Main::ShowSaveSettings() {
    lblDSave_Enable->setText(saveSettings_.SaveEnabled);
    lblDSave_Intv->setText(QString::number(saveSettings_.SaveInterval));
    lblDSave_Unit->setText(saveSettings_.SaveUnit);
}

void frmZR410_Main::SetOnlineControls(bool online) {
    lineOn_ = online;
    for (int row = 0; row < sprdStatus->rowCount(); ++row) {
        paintConnection(row);
    }
    mSetPort->setEnabled(!online);
    btnMenu[0]->setEnabled(!online);
    btnMenu[2]->setEnabled(!online);
    mOnline->menuAction()->setEnabled(online);
    for (int i = 4; i <= 7; ++i) {
        btnMenu[i]->setEnabled(online);
    }
    picRun->setVisible(online);
    picOffline->setVisible(!online);
}

bool frmZR410_Main::IsPortOpen() const {
    return link_.isOpen() || link_.isReconnecting();
}

void frmZR410_Main::SetPortCaptions(bool open) {
    mSetPortOpen->setText(QString::fromUtf8(open ? kCloseCaption : kOpenCaption));
    btnMenu[1]->setText(open ? QStringLiteral("통신포트 닫기") : QStringLiteral("통신포트 열기"));
}

void frmZR410_Main::mSetPortOpen_Click() {
    if (IsPortOpen()) {
        ClosePort();
    } else {
        OpenPort();
    }
}

void frmZR410_Main::OpenPort() {
    StatusBar1[2]->clear();
    sampler_.Restart();
    const SerialLink::OpenResult result = link_.open(ToLineSettings(portSettings_));
    if (!result.ok()) {
        // Nothing is polling: captions, label and cycle stay closed, and the operator learns
        // why instead of watching a scan that never starts.
        lblConnectChk->hide();
        StatusBar1[2]->setText(result.message);
        ShowMessage(result.message);
    }
}

void frmZR410_Main::ClosePort() {
    link_.close();
    StatusBar1[2]->setText(QStringLiteral("통신포트를 닫았습니다."));
}

bool frmZR410_Main::SelectEditDevice(int row) {
    if (!link_.isOpen()) {
        return false;
    }
    if (row < 1 || row > state_.DeviceCount() || !state_.DeviceConnected[row - 1]) {
        return false;
    }
    state_.EditDeviceIndex = row - 1;
    state_.EditDeviceNo = state_.DeviceNumbers[static_cast<size_t>(row - 1)];
    lblMC_No->setText(QString::number(state_.EditDeviceNo));
    // Its own decimal places and unit from now on, not the previous controller's until its
    // next status reply: a set value entered at once must be scaled for this controller.
    decoders_.AdoptEditDevice(row - 1);
    state_.PendingState = PollState::Status;
    sampler_.Restart();
    chart_->ResetTrendChart();
    return true;
}

void frmZR410_Main::btnMenu_Click(int index) {
    using Handler = void (frmZR410_Main::*)();
    static constexpr std::array<Handler, 11> handlers = {
        &frmZR410_Main::mSetPort_Click,      &frmZR410_Main::mSetPortOpen_Click,
        &frmZR410_Main::mSetMulti_Click,     &frmZR410_Main::mSetSaveData_Click,
        &frmZR410_Main::mOnlineMulti_Click,  &frmZR410_Main::mOnlineParameter_Click,
        &frmZR410_Main::mOnlineSetDT_Click,  &frmZR410_Main::mOnlineError_Click,
        &frmZR410_Main::mHelpAbout_Click,    &frmZR410_Main::mHelpHelp_Click,
        &frmZR410_Main::mHelpGraphView_Click};
    if (index >= 0 && index < static_cast<int>(handlers.size())) {
        (this->*handlers[index])();
    }
}

void frmZR410_Main::mSetPort_Click() {
    frmZR410_SetPort dialog(portSettings_, this);
    if (ExecDialog(dialog) == QDialog::Accepted) {
        portSettings_ = dialog.Settings();
        state_.ChecksumLength = portSettings_.ChecksumLength();
        ShowPortSettings();
    }
}

void frmZR410_Main::mSetMulti_Click() {
    frmZR410_SetMulti dialog(this);
    if (ExecDialog(dialog) != QDialog::Accepted) {
        return;
    }
    ConfirmDeviceSelection(dialog.SelectedDeviceNumbers());
}

void frmZR410_Main::ConfirmDeviceSelection(const std::vector<int>& deviceNumbers) {
    ApplyDeviceSelection(deviceNumbers);
    if (link_.isOpen()) {
        // The old indices mean nothing in the new list: identify the new devices afresh.
        lblMC_No->clear();
        link_.restartScan();
    }
}

void frmZR410_Main::mSetSaveData_Click() {
    frmZR410_Set_DSave dialog(saveSettings_, this);
    if (ExecDialog(dialog) == QDialog::Accepted) {
        saveSettings_ = dialog.Settings();
        ShowSaveSettings();
    }
}

void frmZR410_Main::mSetExit_Click() {
    close();
}

void frmZR410_Main::mOnlineMulti_Click() {
    frmZR410_RunMulti table(*this);
    ExecDialog(table);
}

void frmZR410_Main::mOnlineParameter_Click() {
    // The first reads after the screen opens are the edit device's two parameter blocks.
    state_.QueueRequest(PollState::Reservation);
    frmZR410_PRMT screen(state_, sprdMulti_, decoders_, link_, this);
    ExecDialog(screen);
}

void frmZR410_Main::mOnlineSetDT_Click() {
    frmZR410_SetDT dialog(state_, this);
    ExecDialog(dialog);
}

void frmZR410_Main::mOnlineError_Click() {
    frmZR410_ErrList list(state_, errors_, this);
    ExecDialog(list);
}

void frmZR410_Main::mHelpAbout_Click() {
    frmZR410_About about(this);
    ExecDialog(about);
}

void frmZR410_Main::mHelpHelp_Click() {
    ShellOpen(HelpFile(QStringLiteral("ZR410_V100.html")), ExecutableFolder(), this);
}

void frmZR410_Main::mHelpGraphView_Click() {
    ShellOpen(CompanionProgram(QStringLiteral("ZR410_Graph")), ExecutableFolder(), this);
}

void frmZR410_Main::mHelpCommView_Click() {
    frmZR410_CommTest viewer(state_, link_, this);
    ExecDialog(viewer);
}

}  // namespace zr410
