#include "monitor/frmZR410_Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "common/BuildInfo.h"
#include "monitor/MonitoringArea.h"
#include "monitor/OfflinePicture.h"
#include "widgets/GradientLabel.h"
#include "widgets/ValueLabelAccessible.h"

namespace zr410 {
namespace {

struct MenuButton {
    const char* caption;
    const char* accessible;
};

// Side buttons in index order; each repeats the menu command of the same index.
constexpr std::array<MenuButton, 11> kMenuButtons = {{
    {"통신포트 설정", "통신포트 설정 버튼"},
    {"통신포트 열기", "통신포트 열기 닫기 버튼"},
    {"멀티 설정", "멀티 설정 버튼"},
    {"데이터저장 설정", "데이터저장 설정 버튼"},
    {"멀티운전", "멀티운전 버튼"},
    {"파라메터 설정", "파라메터 설정 버튼"},
    {"현재일시 설정", "현재일시 설정 버튼"},
    {"에러 메시지", "에러 메시지 버튼"},
    {"대하여", "대하여 버튼"},
    {"도움말", "도움말 버튼"},
    {"그래프 뷰어", "그래프 뷰어 버튼"},
}};

QLabel* valueLabel(const QString& name, const QString& accessible) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(24);
    return label;
}

}  // namespace

frmZR410_Main::frmZR410_Main(QWidget* parent)
    : QMainWindow(parent),
      sprdMulti_(this),
      errors_(this),
      decoders_(state_, sprdMulti_, errors_, this),
      link_(state_, this),
      logger_(state_, sprdMulti_),
      mqtt_(this),
      mqttLine_(state_, sprdMulti_, mqtt_, this) {
    InstallValueLabelAccessibility();
    setObjectName(QStringLiteral("frmZR410_Main"));
    setWindowTitle(QStringLiteral("ZR410 V") + QLatin1String(kVersion));
    setAccessibleName(QStringLiteral("ZR410 주 화면"));
    buildMenus();

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(6, 6, 6, 6);
    columns->setSpacing(8);
    columns->addWidget(buildCommandPanel());
    columns->addWidget(buildCentre(), 1);
    columns->addWidget(buildRightColumn());
    setCentralWidget(central);
    buildStatusBar();
    bindLink();
    bindMonitor();
    bindChart();
    resize(1280, 900);
    Form_Load();
}

frmZR410_Main::~frmZR410_Main() = default;

void frmZR410_Main::buildMenus() {
    auto add = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                      const char* accessible, void (frmZR410_Main::*handler)()) {
        action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(QString::fromUtf8(accessible));
        if (handler != nullptr) {
            connect(action, &QAction::triggered, this, handler);
        }
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    mSet = menuBar()->addMenu(QStringLiteral("설정[&S]"));
    mSet->setObjectName(QStringLiteral("mSet"));
    add(mSet, mSetPort, "mSetPort", "통신포트 설정[&P]", "통신포트 설정",
        &frmZR410_Main::mSetPort_Click);
    add(mSet, mSetPortOpen, "mSetPortOpen", kOpenCaption, "통신포트 열기 닫기",
        &frmZR410_Main::mSetPortOpen_Click);
    mSetPortOpen->setShortcut(QKeySequence(Qt::Key_F5));
    separator(mSet, "mSetLine1");
    add(mSet, mSetMulti, "mSetMulti", "멀티 설정[&M]", "멀티 설정",
        &frmZR410_Main::mSetMulti_Click);
    add(mSet, mSetSaveData, "mSetSaveData", "데이터저장 설정[&D]", "데이터저장 설정",
        &frmZR410_Main::mSetSaveData_Click);
    separator(mSet, "mSetLine2");
    add(mSet, mSetExit, "mSetExit", "프로그램 종료[&X]", "프로그램 종료",
        &frmZR410_Main::mSetExit_Click);
    separator(mSet, "mSetLine3");
    add(mSet, mSetMqtt, "mSetMqtt", "MQTT 설정[&Q]", "MQTT 설정", &frmZR410_Main::mSetMqtt_Click);

    mOnline = menuBar()->addMenu(QStringLiteral("온라인[&O]"));
    mOnline->setObjectName(QStringLiteral("mOnline"));
    add(mOnline, mOnlineMulti, "mOnlineMulti", "멀티운전[&M]", "멀티운전",
        &frmZR410_Main::mOnlineMulti_Click);
    add(mOnline, mOnlineParameter, "mOnlineParameter", "파라메터 설정[&P]", "파라메터 설정",
        &frmZR410_Main::mOnlineParameter_Click);
    add(mOnline, mOnlineSetDT, "mOnlineSetDT", "현재 일시 설정[&D]", "현재 일시 설정",
        &frmZR410_Main::mOnlineSetDT_Click);
    separator(mOnline, "mOnlineLine1");
    add(mOnline, mOnlineError, "mOnlineError", "에러 메시지[&E]", "에러 메시지",
        &frmZR410_Main::mOnlineError_Click);

    mHelp = menuBar()->addMenu(QStringLiteral("도우미[&H]"));
    mHelp->setObjectName(QStringLiteral("mHelp"));
    add(mHelp, mHelpAbout, "mHelpAbout", "대하여[&A]", "대하여", &frmZR410_Main::mHelpAbout_Click);
    separator(mHelp, "mHelpLine1");
    add(mHelp, mHelpHelp, "mHelpHelp", "도움말[&H]", "도움말", &frmZR410_Main::mHelpHelp_Click);
    mHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    separator(mHelp, "mHelpLine2");
    add(mHelp, mHelpGraphView, "mHelpGraphView", "그래프 뷰어[&G]", "그래프 뷰어",
        &frmZR410_Main::mHelpGraphView_Click);
    // Offered at all times: the traffic of the identification scan is what a technician needs
    // to see when a controller is not found.
    add(mHelp, mHelpCommView, "mHelpCommView", "통신데이터 뷰어[C]", "통신데이터 뷰어",
        &frmZR410_Main::mHelpCommView_Click);
}

QWidget* frmZR410_Main::buildCommandPanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("CommandPanel"));
    panel->setAccessibleName(QStringLiteral("명령 단추 모음"));
    panel->setFixedWidth(150);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    const std::array<std::pair<const char*, int>, 3> groups = {
        {{"설정", 0}, {"온라인", 4}, {"도우미", 8}}};
    for (size_t g = 0; g < groups.size(); ++g) {
        auto* header = new GradientLabel(QString::fromUtf8(groups[g].first));
        header->setObjectName(QStringLiteral("lblGroup%1").arg(g));
        header->setAccessibleName(QString::fromUtf8(groups[g].first) + QStringLiteral(" 그룹"));
        header->setColors(QColor(0x00, 0x00, 0x80), QColor(0x60, 0x90, 0xFF));
        header->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
        header->setMinimumHeight(26);
        layout->addSpacing(g == 0 ? 0 : 8);
        layout->addWidget(header);
        const int end = g + 1 < groups.size() ? groups[g + 1].second : 11;
        for (int i = groups[g].second; i < end; ++i) {
            auto* button = new QPushButton(QString::fromUtf8(kMenuButtons[i].caption));
            button->setObjectName(QStringLiteral("btnMenu_%1").arg(i));
            button->setAccessibleName(QString::fromUtf8(kMenuButtons[i].accessible));
            button->setMinimumHeight(32);
            connect(button, &QPushButton::clicked, this, [this, i] { btnMenu_Click(i); });
            btnMenu[i] = button;
            layout->addWidget(button);
        }
    }
    layout->addStretch(1);
    return panel;
}

QWidget* frmZR410_Main::buildCentre() {
    auto* centre = new QWidget;
    centre->setObjectName(QStringLiteral("Centre"));
    auto* grid = new QGridLayout(centre);
    grid->setContentsMargins(0, 0, 0, 0);

    picOffline = new QLabel;
    picOffline->setObjectName(QStringLiteral("picOffline"));
    picOffline->setAccessibleName(QStringLiteral("연결 대기 그림"));
    picOffline->setAlignment(Qt::AlignCenter);
    picOffline->setPixmap(DrawOfflinePicture(QSize(652, 459)));
    picOffline->setMinimumSize(660, 470);
    picOffline->setStyleSheet(QStringLiteral("background: #1c2433;"));

    monitor_ = new MonitoringArea;
    picRun = monitor_;
    picRun->setObjectName(QStringLiteral("picRun"));
    picRun->setAccessibleName(QStringLiteral("모니터링 영역"));

    lblConnectChk = new GradientLabel(QStringLiteral("기기와의 연결상태 검사 중 ..."));
    lblConnectChk->setObjectName(QStringLiteral("lblConnectChk"));
    lblConnectChk->setAccessibleName(QStringLiteral("연결상태 검사 중 표시"));
    lblConnectChk->setColors(QColor(0xFF, 0xFF, 0xC0), QColor(0xFF, 0xC0, 0x40));
    lblConnectChk->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold;"));
    lblConnectChk->setFixedSize(420, 56);

    grid->addWidget(picOffline, 0, 0);
    grid->addWidget(picRun, 0, 0);
    grid->addWidget(lblConnectChk, 0, 0, Qt::AlignCenter);
    lblConnectChk->hide();
    return centre;
}

QWidget* frmZR410_Main::buildRightColumn() {
    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("RightColumn"));
    column->setFixedWidth(220);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* editFrame = new QGroupBox(QStringLiteral("편집 기기번호"));
    editFrame->setObjectName(QStringLiteral("fraEditDevice"));
    editFrame->setAccessibleName(QStringLiteral("편집 기기번호"));
    auto* editLayout = new QVBoxLayout(editFrame);
    lblMC_No = valueLabel(QStringLiteral("lblMC_No"), QStringLiteral("편집 기기번호 값"));
    lblMC_No->setStyleSheet(
        QStringLiteral("background: white; color: #000080; font-size: 18pt; font-weight: bold;"));
    editLayout->addWidget(lblMC_No);

    sprdStatus = new QTableWidget(0, 2);
    sprdStatus->setObjectName(QStringLiteral("sprdStatus"));
    sprdStatus->setAccessibleName(QStringLiteral("기기 목록"));
    sprdStatus->setHorizontalHeaderLabels({QStringLiteral("기기번호"), QStringLiteral("연결상태")});
    sprdStatus->verticalHeader()->hide();
    sprdStatus->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sprdStatus->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sprdStatus->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The edit device shows in lblMC_No; a selection highlight would hide the link colours.
    sprdStatus->setSelectionMode(QAbstractItemView::NoSelection);
    sprdStatus->setTabKeyNavigation(false);  // arrows move in the list, Tab leaves it
    connect(sprdStatus, &QTableWidget::cellClicked, this,
            [this](int row, int) { SelectEditDevice(row + 1); });
    // By keyboard: the arrows move through the list, Enter or Space makes the device the edit
    // device, as a click does.
    connect(sprdStatus, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { SelectEditDevice(index.row() + 1); });
    auto* choose = new QShortcut(QKeySequence(Qt::Key_Space), sprdStatus);
    choose->setContext(Qt::WidgetShortcut);
    connect(choose, &QShortcut::activated, this, [this] {
        if (sprdStatus->currentRow() >= 0) {
            SelectEditDevice(sprdStatus->currentRow() + 1);
        }
    });
    editLayout->addWidget(sprdStatus, 1);
    layout->addWidget(editFrame, 1);

    auto* lamps = new QGroupBox(QStringLiteral("통신"));
    lamps->setObjectName(QStringLiteral("fraLamps"));
    lamps->setAccessibleName(QStringLiteral("통신 표시등"));
    auto* lampLayout = new QHBoxLayout(lamps);
    auto addLamp = [&](Lamp*& lamp, const char* name, const char* caption, const char* label,
                       const char* accessible) {
        auto* text = new QLabel(QString::fromUtf8(caption));
        text->setObjectName(QString::fromLatin1(label));
        lamp = new Lamp;
        lamp->setObjectName(QString::fromLatin1(name));
        lamp->setAccessibleName(QString::fromUtf8(accessible));
        lamp->setFixedSize(20, 20);
        lamp->setColor(Qt::black);
        lampLayout->addWidget(text);
        lampLayout->addWidget(lamp);
        lampLayout->addSpacing(12);
    };
    addLamp(shpSend, "shpSend", "송신", "Label6", "송신 표시등");
    addLamp(shpRecv, "shpRecv", "수신", "Label5", "수신 표시등");
    lampLayout->addStretch(1);
    layout->addWidget(lamps);

    auto* saveFrame = new QGroupBox(QStringLiteral("데이터 저장"));
    saveFrame->setObjectName(QStringLiteral("fraDSave"));
    saveFrame->setAccessibleName(QStringLiteral("데이터 저장"));
    auto* saveLayout = new QGridLayout(saveFrame);
    lblDSave_Enable = valueLabel(QStringLiteral("lblDSave_Enable"), QStringLiteral("저장 여부 값"));
    lblDSave_Intv = valueLabel(QStringLiteral("lblDSave_Intv"), QStringLiteral("저장 주기 값"));
    lblDSave_Unit = valueLabel(QStringLiteral("lblDSave_Unit"), QStringLiteral("저장 주기 단위"));
    saveLayout->addWidget(new QLabel(QStringLiteral("저장 여부")), 0, 0);
    saveLayout->addWidget(lblDSave_Enable, 0, 1, 1, 2);
    saveLayout->addWidget(new QLabel(QStringLiteral("저장 주기")), 1, 0);
    saveLayout->addWidget(lblDSave_Intv, 1, 1);
    saveLayout->addWidget(lblDSave_Unit, 1, 2);
    layout->addWidget(saveFrame);
    return column;
}

void frmZR410_Main::buildStatusBar() {
    const std::array<std::pair<const char*, int>, 5> panels = {{{"통신포트", 110},
                                                                {"통신 설정", 110},
                                                                {"상태 메시지", 0},
                                                                {"현재 시각", 150},
                                                                {"프로토콜", 60}}};
    for (size_t i = 0; i < panels.size(); ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setAccessibleName(QString::fromUtf8(panels[i].first));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (panels[i].second > 0) {
            panel->setMinimumWidth(panels[i].second);
            statusBar()->addWidget(panel);
        } else {
            statusBar()->addWidget(panel, 1);
        }
        StatusBar1[i] = panel;
    }
    lblMqtt = new QLabel;
    lblMqtt->setObjectName(QStringLiteral("lblMqtt"));
    lblMqtt->setAccessibleName(QStringLiteral("MQTT 연결 상태"));
    lblMqtt->setFrameShape(QFrame::Panel);
    lblMqtt->setFrameShadow(QFrame::Sunken);
    lblMqtt->hide();
    statusBar()->addPermanentWidget(lblMqtt);
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, [this] {
        StatusBar1[3]->setText(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    });
    clock_->start();
}

QLabel* frmZR410_Main::ConnectCheckLabel() const {
    return lblConnectChk;
}

QLabel* frmZR410_Main::EditDeviceLabel() const {
    return lblMC_No;
}

void frmZR410_Main::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmZR410_Main::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("알림 메시지"));
    box.exec();
}

int frmZR410_Main::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace zr410
