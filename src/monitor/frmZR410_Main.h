#pragma once

#include <QColor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <vector>

#include "engine/PortSettings.h"
#include "engine/SerialLink.h"
#include "engine/SharedState.h"
#include "logging/DataLogger.h"
#include "logging/SaveSettings.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/TrendSampler.h"
#include "model/ValueTable.h"
#include "publish/LinePublisher.h"
#include "publish/MqttPublisher.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QTimer;

namespace zr410 {

class GradientLabel;
class Lamp;
class MonitoringArea;
class TrendChart;

// The monitoring program's main window: menus and side buttons, the device list with its
// connection states, the communication lamps, the data-save summary and the monitoring area
// of the edit device. It binds widgets to the poll cycle and the value table; it holds no
// protocol logic of its own.
class frmZR410_Main : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kOpenCaption = "통신포트 열기[&O]";
    static constexpr const char* kCloseCaption = "통신포트 닫기[&C]";

    explicit frmZR410_Main(QWidget* parent = nullptr);
    ~frmZR410_Main() override;

    SharedState& State() { return state_; }
    ValueTable& sprdMulti() { return sprdMulti_; }
    SerialLink& Link() { return link_; }
    const PortSettings& Ports() const { return portSettings_; }
    // The operator has the line open: the port is open, or a lost port is being reopened.
    bool IsPortOpen() const;

    // Menu and side-button commands.
    void mSetPort_Click();
    void mSetPortOpen_Click();
    void mSetMulti_Click();
    void mSetSaveData_Click();
    void mSetExit_Click();
    void mSetMqtt_Click();
    void mOnlineMulti_Click();
    void mOnlineParameter_Click();
    void mOnlineSetDT_Click();
    void mOnlineError_Click();
    void mHelpAbout_Click();
    void mHelpHelp_Click();
    void mHelpGraphView_Click();
    void mHelpCommView_Click();
    void btnMenu_Click(int index);

    // Operator commands of the monitoring area: switch a function of the edit device, or
    // write its set value (the entry read by the number entry rule, scaled by its decimals).
    void QueueCommand(int index);
    void CommitSetValue(const QString& enteredText);

    void SetOnlineControls(bool online);
    void paintConnection(int row);
    // Makes the device of a row (device index + 1) the edit device; false when it cannot be
    // (port closed, no such row, or a controller the scan did not find).
    bool SelectEditDevice(int row);

    // The one-second (then sampling-period) tick: trend chart sample, then the logging step.
    void tmrDispGraph_Timer();
    TrendSampler& Sampler() { return sampler_; }
    QTimer& DisplayTimer() { return tmrDispGraph; }
    TrendChart* Chart() const { return chart_; }
    DataLogger& Logger() { return logger_; }
    const SaveSettings& Saving() const { return saveSettings_; }
    // Rebuilds the device list and both device grids from a confirmed selection.
    void ApplyDeviceSelection(const std::vector<int>& deviceNumbers);
    // A selection confirmed in the dialog: applied, and while the port is open the
    // identification scan starts again on the new list.
    void ConfirmDeviceSelection(const std::vector<int>& deviceNumbers);

    // Parts of the window that tests and the accessibility bus look at.
    QAction* mSetPortAction() const { return mSetPort; }
    QAction* mSetPortOpenAction() const { return mSetPortOpen; }
    QAction* mSetMultiAction() const { return mSetMulti; }
    QAction* mSetMqttAction() const { return mSetMqtt; }
    MqttPublisher& Mqtt() { return mqtt_; }
    LinePublisher& MqttLine() { return mqttLine_; }
    QLabel* MqttStatusLabel() const { return lblMqtt; }
    QMenu* mOnlineMenu() const { return mOnline; }
    QPushButton* btnMenuButton(int index) const { return btnMenu.at(index); }
    QWidget* picRunArea() const { return picRun; }
    MonitoringArea* Monitor() const { return monitor_; }
    DeviceDecoders& Decoders() { return decoders_; }
    ErrorHistory& Errors() { return errors_; }
    QLabel* ConnectCheckLabel() const;
    QLabel* EditDeviceLabel() const;
    QTableWidget* sprdStatusGrid() const { return sprdStatus; }
    QLabel* StatusPanel(int number) const { return StatusBar1.at(number - 1); }

    // A message box with only an OK button; tests replace it.
    virtual void ShowMessage(const QString& text);
    // Modal windows, the main window's and those the secondary windows open, are opened
    // through this, so tests can answer them.
    virtual int ExecDialog(QDialog& dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    // The colour picker; an invalid colour means the operator cancelled.
    virtual QColor PickColor(const QColor& initial);

private:
    void Form_Load();
    void Form_Unload();
    void buildMenus();
    QWidget* buildCommandPanel();
    QWidget* buildCentre();
    QWidget* buildRightColumn();
    void buildStatusBar();
    void bindLink();
    void ShowIndicator(const EngineIndicator& indicator);
    void ReportRequest(const EngineIndicator& indicator);
    void bindMonitor();
    void bindChart();
    void picGcolor_Click(int index);
    void txtDispTime_Change(const QString& text);
    void txtDispTime_Commit(const QString& text);

    void LoadDeviceSelection();
    void ShowPortSettings();
    void ShowSaveSettings();
    void StartMqtt(const MqttSettings& settings);
    void ShowMqttState();
    void SetPortCaptions(bool open);
    void OpenPort();
    void ClosePort();
    void ShowConnection(int deviceIndex, const QString& text, const QColor& background);

    SharedState state_;
    ValueTable sprdMulti_;
    ErrorHistory errors_;
    DeviceDecoders decoders_;
    SerialLink link_;
    PortSettings portSettings_;
    SaveSettings saveSettings_;
    DataLogger logger_;
    TrendSampler sampler_;
    MqttPublisher mqtt_;
    LinePublisher mqttLine_;

    QMenu* mSet = nullptr;
    QAction* mSetPort = nullptr;
    QAction* mSetPortOpen = nullptr;
    QAction* mSetMulti = nullptr;
    QAction* mSetSaveData = nullptr;
    QAction* mSetExit = nullptr;
    QAction* mSetMqtt = nullptr;
    QMenu* mOnline = nullptr;
    QAction* mOnlineMulti = nullptr;
    QAction* mOnlineParameter = nullptr;
    QAction* mOnlineSetDT = nullptr;
    QAction* mOnlineError = nullptr;
    QMenu* mHelp = nullptr;
    QAction* mHelpAbout = nullptr;
    QAction* mHelpHelp = nullptr;
    QAction* mHelpGraphView = nullptr;
    QAction* mHelpCommView = nullptr;

    std::array<QPushButton*, 11> btnMenu{};
    QWidget* picRun = nullptr;
    MonitoringArea* monitor_ = nullptr;
    TrendChart* chart_ = nullptr;
    QTimer tmrDispGraph;
    QLabel* picOffline = nullptr;
    GradientLabel* lblConnectChk = nullptr;
    QLabel* lblMC_No = nullptr;
    QTableWidget* sprdStatus = nullptr;
    Lamp* shpSend = nullptr;
    Lamp* shpRecv = nullptr;
    QLabel* lblDSave_Enable = nullptr;
    QLabel* lblDSave_Intv = nullptr;
    QLabel* lblDSave_Unit = nullptr;
    std::array<QLabel*, 5> StatusBar1{};
    QLabel* lblMqtt = nullptr;  // broker connection; shown while publishing is on
    QTimer* clock_ = nullptr;
    // What each device's link cell says, painted live on line and greyed off line.
    struct LinkCell {
        QString text;
        QColor background;
    };
    std::vector<LinkCell> linkCells_;
    bool lineOn_ = false;
};

}  // namespace zr410
