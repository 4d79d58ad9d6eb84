// The parameter screen's widgets: three columns of headed groups above a bottom row.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/TextForms.h"
#include "params/OptionButtons.h"
#include "params/ParameterGrid.h"
#include "params/frmZR410_PRMT.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/GradientLabel.h"

namespace zr410 {
namespace {

QLabel* caption(const QString& text, const QString& name, const QString& spoken = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setAccessibleName(spoken.isEmpty() ? text : spoken);
    return label;
}

GradientLabel* heading(const QString& text, const QString& name) {
    auto* label = new GradientLabel(text);
    label->setObjectName(name);
    label->setAccessibleName(text + QStringLiteral(" 그룹"));
    label->setColors(QColor(0x00, 0x00, 0x80), QColor(0x60, 0x90, 0xFF));
    label->setStyleSheet(QStringLiteral("color: white; font-weight: bold; padding-left: 6px;"));
    label->setMinimumHeight(24);
    return label;
}

QGroupBox* frame(const QString& title, const QString& name) {
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    box->setAccessibleName(title);
    return box;
}

// A frame caption in its own colour (the reservation frames), leaving the frame's contents in
// the ordinary colours.
void colourTitle(QGroupBox* box, const char* colour) {
    box->setStyleSheet(QStringLiteral("QGroupBox#%1::title { color: %2; }")
                           .arg(box->objectName(), QString::fromLatin1(colour)));
}

QVBoxLayout* column(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}

}  // namespace

void frmZR410_PRMT::buildLayout() {
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(10, 10, 10, 10);
    main->setSpacing(10);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(14);
    columns->addWidget(buildLeftColumn(), 0, Qt::AlignTop);
    columns->addWidget(buildMiddleColumn(), 0, Qt::AlignTop);
    columns->addWidget(buildRightColumn(), 0, Qt::AlignTop);
    main->addLayout(columns);
    main->addWidget(buildBottomRow());
}

QGroupBox* frmZR410_PRMT::optionFrame(OptionGroupId group) {
    const OptionGroupInfo& info = OptionGroup(group);
    QGroupBox* box = frame(QString::fromUtf8(info.label),
                           QStringLiteral("fra_") + QString::fromLatin1(info.name));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 6);
    auto* options = new OptionButtons(info);
    opt_[static_cast<size_t>(group)] = options;
    layout->addWidget(options);
    return box;
}

QWidget* frmZR410_PRMT::optionRow(OptionGroupId group) {
    auto* options = new OptionButtons(OptionGroup(group));
    opt_[static_cast<size_t>(group)] = options;
    return options;
}

CommitLineEdit* frmZR410_PRMT::textField(TextFieldId field) {
    const TextFieldInfo& info = TextField(field);
    auto* edit = new CommitLineEdit;
    edit->setObjectName(QString::fromLatin1(info.name));
    edit->setAccessibleName(QString::fromUtf8(info.label));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFixedWidth(90);
    txt_[static_cast<size_t>(field)] = edit;
    return edit;
}

ParameterGrid* frmZR410_PRMT::grid(ParamGridId id, const QStringList& columns,
                                   const QStringList& rows) {
    auto* g = new ParameterGrid(columns, rows, rows.isEmpty() ? 1 : static_cast<int>(rows.size()));
    sprd_[static_cast<size_t>(id)] = g;
    for (const GridCellInfo& cell : GridCells()) {
        if (cell.grid == id) {
            g->SetCellDescription(cell.column, cell.row == 0 ? 1 : cell.row,
                                  QString::fromUtf8(cell.caption));
        }
    }
    return g;
}

QWidget* frmZR410_PRMT::buildLeftColumn() {
    auto* owner = new QWidget;
    QVBoxLayout* layout = column(owner);

    layout->addWidget(heading(QStringLiteral("운전제어"), QStringLiteral("lblTitle_Control")));
    layout->addWidget(optionFrame(OptionGroupId::CtrlMode));
    ParameterGrid* ctrl =
        grid(ParamGridId::CTRL,
             {QStringLiteral("가열측"), QStringLiteral("냉각측"), QStringLiteral("단위")},
             {QStringLiteral("P"), QStringLiteral("I"), QStringLiteral("D"),
              QStringLiteral("제어주기")});
    ctrl->setObjectName(QStringLiteral("sprdCTRL"));
    ctrl->setAccessibleName(QStringLiteral("운전제어 PID 표"));
    for (auto [c, w] : {std::pair{0, 80}, {1, 90}, {2, 90}, {3, 56}}) {
        ctrl->SetColumnWidth(c, w);
    }
    ctrl->SetCellText(3, 1, QStringLiteral("℃"));
    for (int row = 2; row <= 4; ++row) {
        ctrl->SetCellText(3, row, QStringLiteral("초"));
    }
    ctrl->FitToContents();
    layout->addWidget(ctrl);

    layout->addSpacing(4);
    layout->addWidget(heading(QStringLiteral("출력동작"), QStringLiteral("lblTitle_Output")));
    auto* outputs = new QHBoxLayout;
    outputs->addWidget(optionFrame(OptionGroupId::OutC));
    outputs->addWidget(optionFrame(OptionGroupId::OutH));
    layout->addLayout(outputs);
    ParameterGrid* limits =
        grid(ParamGridId::LimitVal,
             {QStringLiteral("온도(℃)"), QStringLiteral("압력"), QStringLiteral("전류(A)")},
             {QStringLiteral("상한경보값"), QStringLiteral("하한경보값")});
    limits->setObjectName(QStringLiteral("sprdLimitVal"));
    limits->setAccessibleName(QStringLiteral("출력동작 경보값 표"));
    for (auto [c, w] : {std::pair{0, 92}, {1, 76}, {2, 76}, {3, 76}}) {
        limits->SetColumnWidth(c, w);
    }
    limits->FitToContents();
    layout->addWidget(limits);

    layout->addSpacing(4);
    layout->addWidget(heading(QStringLiteral("센서설정"), QStringLiteral("lblTitle_Sensor")));
    auto* sensors = new QGridLayout;
    sensors->setContentsMargins(6, 2, 6, 2);
    sensors->setHorizontalSpacing(12);
    const OptionGroupId sensorGroups[] = {OptionGroupId::Sens1, OptionGroupId::Sens2,
                                          OptionGroupId::Sens3, OptionGroupId::Sens4};
    for (int i = 0; i < 4; ++i) {
        const OptionGroupInfo& info = OptionGroup(sensorGroups[i]);
        sensors->addWidget(
            caption(QString::fromUtf8(info.label), QStringLiteral("lblSens_%1").arg(i)), i, 0);
        sensors->addWidget(optionRow(sensorGroups[i]), i, 1);
    }
    layout->addLayout(sensors);
    return owner;
}

QWidget* frmZR410_PRMT::buildMiddleColumn() {
    auto* owner = new QWidget;
    QVBoxLayout* layout = column(owner);
    layout->addWidget(heading(QStringLiteral("운전화면"), QStringLiteral("lblTitle_Screen")));

    // A frame of caption / field rows.
    auto fieldFrame = [this](const QString& title, const QString& name,
                             std::initializer_list<std::pair<const char*, TextFieldId>> rows) {
        QGroupBox* box = frame(title, name);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(10, 4, 10, 6);
        grid->setHorizontalSpacing(12);
        int r = 0;
        for (const auto& [text, field] : rows) {
            grid->addWidget(
                caption(QString::fromUtf8(text),
                        QStringLiteral("lbl_") + QString::fromLatin1(TextField(field).name)),
                r, 0);
            grid->addWidget(textField(field), r, 1, Qt::AlignRight);
            ++r;
        }
        return box;
    };
    layout->addWidget(
        fieldFrame(QStringLiteral("사용압력"), QStringLiteral("fraPressure"),
                   {{"20㎃의 압력", TextFieldId::PRS0}, {"4㎃의 압력", TextFieldId::PRS1}}));
    layout->addWidget(
        fieldFrame(QStringLiteral("사용온도"), QStringLiteral("fraUsableTemp"),
                   {{"상한온도", TextFieldId::TempH}, {"하한온도", TextFieldId::TempL}}));
    auto* display = new QHBoxLayout;
    display->addWidget(optionFrame(OptionGroupId::DP));
    display->addWidget(optionFrame(OptionGroupId::TUnit));
    layout->addLayout(display);
    layout->addWidget(fieldFrame(QStringLiteral("온도보정"), QStringLiteral("fraRevTemp"),
                                 {{"금형온도", TextFieldId::RevTemp0},
                                  {"매체온도", TextFieldId::RevTemp1},
                                  {"회수온도", TextFieldId::RevTemp2},
                                  {"급수온도", TextFieldId::RevTemp3}}));
    QGroupBox* preheat = frame(QStringLiteral("예열SV"), QStringLiteral("fraPreSV"));
    auto* preheatLayout = new QHBoxLayout(preheat);
    preheatLayout->setContentsMargins(10, 4, 10, 6);
    preheatLayout->addStretch(1);
    preheatLayout->addWidget(textField(TextFieldId::PreSV));
    layout->addWidget(preheat);
    return owner;
}

QWidget* frmZR410_PRMT::buildWeeklyFrame() {
    QGroupBox* weekly = frame(QStringLiteral("주간예약 설정"), QStringLiteral("fraWeekly"));
    colourTitle(weekly, "#FF0000");
    auto* layout = new QVBoxLayout(weekly);
    layout->setContentsMargins(8, 4, 8, 6);

    QGroupBox* days = frame(QStringLiteral("주간운전"), QStringLiteral("fraWeekDays"));
    auto* dayGrid = new QGridLayout(days);
    dayGrid->setContentsMargins(8, 4, 8, 6);
    for (int i = 0; i < kWeekdayCount; ++i) {
        const QString name = WeekdayName(i);
        QLabel* label = caption(name, QStringLiteral("lblWName_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        dayGrid->addWidget(label, 0, i, Qt::AlignHCenter);
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("chbWName_%1").arg(i));
        box->setAccessibleName(QStringLiteral("주간운전 ") + name);
        chbWName[static_cast<size_t>(i)] = box;
        dayGrid->addWidget(box, 1, i, Qt::AlignHCenter);
    }
    layout->addWidget(days);

    QGroupBox* times = frame(QStringLiteral("시작/종료 시간"), QStringLiteral("fraTimeSE"));
    auto* timesLayout = new QHBoxLayout(times);
    timesLayout->setContentsMargins(8, 4, 8, 6);
    ParameterGrid* se =
        grid(ParamGridId::Time_SE,
             {QStringLiteral("시작시간"), QString(), QStringLiteral("종료시간")}, {});
    se->setObjectName(QStringLiteral("sprdTime_SE"));
    se->setAccessibleName(QStringLiteral("주간예약 시작 종료 시간 표"));
    for (auto [c, w] : {std::pair{1, 96}, {2, 30}, {3, 96}}) {
        se->SetColumnWidth(c, w);
    }
    se->SetCellText(2, 1, QStringLiteral("∼"));
    se->FitToContents();
    timesLayout->addWidget(se, 0, Qt::AlignHCenter);
    layout->addWidget(times);
    return weekly;
}

QWidget* frmZR410_PRMT::buildRightColumn() {
    auto* owner = new QWidget;
    QVBoxLayout* layout = column(owner);
    layout->addWidget(heading(QStringLiteral("예약"), QStringLiteral("lblTitle_Reserve")));

    layout->addWidget(optionFrame(OptionGroupId::RMode));
    const char* modeColours[] = {"#008000", "#0000FF", "#FF0000"};
    for (int i = 0; i < 3; ++i) {
        Options(OptionGroupId::RMode)
            ->Option(i)
            ->setStyleSheet(QStringLiteral("color: %1;").arg(QString::fromLatin1(modeColours[i])));
    }

    QGroupBox* timer = frame(QStringLiteral("시간예약 설정"), QStringLiteral("fraResevedT"));
    colourTitle(timer, "#0000FF");
    auto* timerLayout = new QHBoxLayout(timer);
    timerLayout->setContentsMargins(8, 4, 8, 6);
    ParameterGrid* reserved =
        grid(ParamGridId::ResevedT, {QStringLiteral("시간"), QStringLiteral("분")}, {});
    reserved->setObjectName(QStringLiteral("sprdResevedT"));
    reserved->setAccessibleName(QStringLiteral("시간예약 표"));
    reserved->SetColumnWidth(1, 110);
    reserved->SetColumnWidth(2, 110);
    reserved->FitToContents();
    timerLayout->addWidget(reserved, 0, Qt::AlignHCenter);
    layout->addWidget(timer);

    layout->addWidget(buildWeeklyFrame());

    QGroupBox* refill = frame(QStringLiteral("매체보충시간"), QStringLiteral("fraFill_TM"));
    auto* refillLayout = new QHBoxLayout(refill);
    refillLayout->setContentsMargins(10, 4, 10, 6);
    refillLayout->addStretch(1);
    refillLayout->addWidget(textField(TextFieldId::FillTM));
    refillLayout->addWidget(caption(QStringLiteral("초"), QStringLiteral("lblFill_Unit")));
    layout->addWidget(refill);

    layout->addSpacing(4);
    layout->addWidget(heading(QStringLiteral("OPTION"), QStringLiteral("lblTitle_Option")));
    auto* options = new QGridLayout;
    options->setContentsMargins(6, 2, 6, 2);
    options->setHorizontalSpacing(16);
    options->addWidget(caption(QStringLiteral("SUCTION"), QStringLiteral("lblOption_0"),
                               QStringLiteral("SUCTION 옵션 제목")),
                       0, 0);
    options->addWidget(optionRow(OptionGroupId::Option1), 0, 1);
    options->addWidget(caption(QStringLiteral("COOLING"), QStringLiteral("lblOption_1"),
                               QStringLiteral("COOLING 옵션 제목")),
                       1, 0);
    options->addWidget(optionRow(OptionGroupId::Option2), 1, 1);
    layout->addLayout(options);
    return owner;
}

QWidget* frmZR410_PRMT::buildBottomRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption(QStringLiteral("CONTROL ID"), QStringLiteral("lblControlId"),
                              QStringLiteral("편집 기기번호 CONTROL ID")));
    lblEdit_ID = new QLabel;
    lblEdit_ID->setObjectName(QStringLiteral("lblEdit_ID"));
    lblEdit_ID->setAccessibleName(QStringLiteral("편집 기기번호 값"));
    lblEdit_ID->setFrameShape(QFrame::Panel);
    lblEdit_ID->setFrameShadow(QFrame::Sunken);
    lblEdit_ID->setAlignment(Qt::AlignCenter);
    lblEdit_ID->setFixedSize(60, 26);
    lblEdit_ID->setStyleSheet(
        QStringLiteral("background: white; color: #000080; font-weight: bold;"));
    layout->addWidget(lblEdit_ID);
    layout->addStretch(1);
    btnClose = new QPushButton(QStringLiteral("닫기[&C]"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAccessibleName(QStringLiteral("닫기"));
    btnClose->setAutoDefault(false);
    btnClose->setMinimumSize(110, 32);
    layout->addWidget(btnClose);
    return row;
}

}  // namespace zr410
