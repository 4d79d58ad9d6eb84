#include "monitor/MonitoringArea.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "model/TextForms.h"
#include "model/TrendSampler.h"
#include "model/ValueTable.h"
#include "monitor/CommandCaptions.h"
#include "protocol/RegisterMap.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/GradientLabel.h"
#include "widgets/ValueLabelAccessible.h"

namespace zr410 {
namespace {

const QColor kTitleGreen(0x00, 0xFF, 0x00);
const QColor kTitleYellow(0xFF, 0xFF, 0xC0);
const QColor kTitleOrange(0xFF, 0x80, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);

constexpr std::array<const char*, 5> kValueTitles = {"금형온도", "매체온도", "회수온도", "급수온도",
                                                     "압력"};

QGroupBox* frame(const QString& title, const QString& accessible) {
    auto* box = new QGroupBox(title);
    box->setAccessibleName(accessible);
    box->setStyleSheet(
        QStringLiteral("QGroupBox { color: white; border: 1px solid #6070c0; margin-top: 10px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"
                       "QLabel { color: white; }"));
    return box;
}

QLabel* readout(const QString& name, const QString& accessible) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumSize(72, 24);
    label->setStyleSheet(QStringLiteral(
        "background: black; color: #80ff80; border: 1px solid #5060a0; font-weight: bold;"));
    return label;
}

}  // namespace

const QColor MonitoringArea::kOn(0xFF, 0x00, 0x00);
const QColor MonitoringArea::kOff(0xE0, 0xE0, 0xE0);

MonitoringArea::MonitoringArea(QWidget* parent) : QWidget(parent) {
    InstallValueLabelAccessibility();
    setObjectName(QStringLiteral("MonitoringArea"));
    setAccessibleName(QStringLiteral("편집 기기 모니터링"));
    setAutoFillBackground(true);
    QPalette navy = palette();
    navy.setColor(QPalette::Window, kNavy);
    navy.setColor(QPalette::WindowText, Qt::white);
    setPalette(navy);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* top = new QHBoxLayout;
    top->addWidget(buildCommands());
    top->addWidget(buildValues(), 1);
    top->addWidget(buildFrames());
    layout->addLayout(top);
    layout->addWidget(buildClockRow());
    chartSlot_ = new QVBoxLayout;
    chartSlot_->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(chartSlot_, 1);
}

QWidget* MonitoringArea::buildCommands() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (int i = 0; i < kCommandCount; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kCommandCaptions[i]));
        button->setObjectName(QStringLiteral("btnCMD_%1").arg(i));
        button->setAccessibleName(QString::fromLatin1(kCommandCaptions[i]) +
                                  QStringLiteral(" 명령 버튼"));
        button->setFixedSize(96, 30);
        // Checked while the controller reports the function on, so assistive tools can tell
        // the state without the colour. Only the controller's reply changes it: a click sends
        // the command and the box springs back until the reply says otherwise.
        button->setCheckable(true);
        connect(button, &QPushButton::toggled, this, [this, i](bool checked) {
            if (checked != (commandColors_[i] == kOn)) {
                const QSignalBlocker quiet(btnCMD_[i]);
                btnCMD_[i]->setChecked(!checked);
            }
        });
        btnCMD_[i] = button;
        SetCommandColor(i, kOff);
        connect(button, &QPushButton::clicked, this, [this, i] { emit commandClicked(i); });
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return column;
}

QWidget* MonitoringArea::buildValues() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setVerticalSpacing(6);
    for (int i = 0; i < 5; ++i) {
        const QString title = QString::fromUtf8(kValueTitles[i]);
        picGcolor_[i] = new ColorSwatch(TrendSampler::DefaultColor(i));
        picGcolor_[i]->setObjectName(QStringLiteral("picGcolor_%1").arg(i));
        picGcolor_[i]->setAccessibleName(title + QStringLiteral(" 그래프 색"));
        connect(picGcolor_[i], &ColorSwatch::clicked, this,
                [this, i] { emit colorSwatchClicked(i); });

        lblTT_[i] = new GradientLabel(title);
        lblTT_[i]->setObjectName(QStringLiteral("lblTT_%1").arg(i));
        lblTT_[i]->setAccessibleName(title + QStringLiteral(" 제목"));
        lblTT_[i]->setColors(kTitleGreen, kTitleYellow);
        lblTT_[i]->setMinimumSize(110, 40);
        lblTT_[i]->setStyleSheet(
            QStringLiteral("color: black; font-weight: bold; font-size: 12pt;"));

        lblPV_[i] = new GradientLabel(QStringLiteral("0"));
        lblPV_[i]->setObjectName(QStringLiteral("lblPV_%1").arg(i));
        lblPV_[i]->setAccessibleName(title + QStringLiteral(" 값"));
        lblPV_[i]->setColors(Qt::black, QColor(0x20, 0x20, 0x30));
        lblPV_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblPV_[i]->setMinimumSize(150, 40);
        lblPV_[i]->setStyleSheet(QStringLiteral(
            "color: #ffff60; font-size: 20pt; font-weight: bold; padding-right: 8px;"));

        grid->addWidget(picGcolor_[i], i, 0);
        grid->addWidget(lblTT_[i], i, 1);
        grid->addWidget(lblPV_[i], i, 2);
        if (i < 4) {
            lblUnit_[i] = new QLabel(QStringLiteral("℃"));
            lblUnit_[i]->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
            lblUnit_[i]->setAccessibleName(title + QStringLiteral(" 단위"));
            lblUnit_[i]->setStyleSheet(
                QStringLiteral("color: red; font-size: 14pt; font-weight: bold;"));
            lblUnit_[i]->setMinimumWidth(28);
            grid->addWidget(lblUnit_[i], i, 3);
        }
    }
    grid->setColumnStretch(2, 1);
    return panel;
}

QWidget* MonitoringArea::buildFrames() {
    auto* column = new QWidget;
    column->setFixedWidth(280);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    // "&&" is the caption escape of a single ampersand.
    auto* sv = frame(QStringLiteral("SV && 출력값"), QStringLiteral("SV 및 출력값"));
    auto* svGrid = new QGridLayout(sv);
    lblSV_Title_ = new QLabel(QStringLiteral("SV"));
    lblSV_Title_->setObjectName(QStringLiteral("lblSV_Title"));
    lblSV_Title_->setAccessibleName(QStringLiteral("SV 제목"));
    lblSV_ = new GradientLabel;
    lblSV_->setObjectName(QStringLiteral("lblSV"));
    lblSV_->setAccessibleName(QStringLiteral("SV 값"));
    lblSV_->setToolTip(QStringLiteral("클릭하면 SV를 입력할 수 있습니다. Enter: 적용, Esc: 취소"));
    lblSV_->setColors(Qt::black, QColor(0x20, 0x20, 0x30));
    lblSV_->setStyleSheet(QStringLiteral("color: #ff8080; font-size: 14pt; font-weight: bold;"));
    lblSV_->setCursor(Qt::PointingHandCursor);
    lblSV_->setFocusPolicy(Qt::StrongFocus);  // Tab reaches it, Enter opens the entry
    txtSV_ = new CommitLineEdit;
    txtSV_->setObjectName(QStringLiteral("txtSV"));
    txtSV_->setAccessibleName(QStringLiteral("SV 입력"));
    txtSV_->setAlignment(Qt::AlignCenter);
    txtSV_->setStyleSheet(QStringLiteral("font-size: 14pt;"));
    auto* svStack = new QWidget;
    auto* stack = new QStackedLayout(svStack);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(txtSV_);
    stack->addWidget(lblSV_);
    svStack->setMinimumHeight(32);
    lblSV_->raise();
    connect(lblSV_, &GradientLabel::clicked, this, &MonitoringArea::OpenSetValueEntry);
    connect(txtSV_, &CommitLineEdit::committed, this, [this](const QString& text) {
        CloseSetValueEntry();
        emit setValueCommitted(text);
    });
    connect(txtSV_, &CommitLineEdit::cancelled, this, &MonitoringArea::CloseSetValueEntry);
    svGrid->addWidget(lblSV_Title_, 0, 0);
    svGrid->addWidget(svStack, 0, 1);
    for (int i = 0; i < 2; ++i) {
        const QString caption =
            i == 0 ? QStringLiteral("가열 출력값") : QStringLiteral("냉각 출력값");
        lblOutput_[i] = readout(QStringLiteral("lblOutput_%1").arg(i), caption);
        svGrid->addWidget(new QLabel(caption), i + 1, 0);
        svGrid->addWidget(lblOutput_[i], i + 1, 1);
    }
    layout->addWidget(sv);

    auto* current = frame(QStringLiteral("전류값"), QStringLiteral("전류값"));
    auto* currentGrid = new QGridLayout(current);
    const std::array<const char*, 3> phases = {"R상", "S상", "T상"};
    for (int i = 0; i < 3; ++i) {
        const QString phase = QString::fromUtf8(phases[i]);
        lblAmpare_[i] =
            readout(QStringLiteral("lblAmpare_%1").arg(i), phase + QStringLiteral(" 전류값"));
        lblAmpare_[i]->setMinimumWidth(56);
        auto* caption = new QLabel(phase);
        caption->setAlignment(Qt::AlignCenter);
        currentGrid->addWidget(caption, 0, i);
        currentGrid->addWidget(lblAmpare_[i], 1, i);
    }
    layout->addWidget(current);

    auto* reservation = frame(QStringLiteral("예약"), QStringLiteral("예약"));
    auto* resGrid = new QGridLayout(reservation);
    const std::array<const char*, 2> lampCaptions = {"시간예약", "주간예약"};
    for (int i = 0; i < 2; ++i) {
        shpReseved_[i] = new Lamp(nullptr, Lamp::Shape::Square);
        shpReseved_[i]->setObjectName(QStringLiteral("shpReseved_%1").arg(i));
        shpReseved_[i]->setAccessibleName(QString::fromUtf8(lampCaptions[i]) +
                                          QStringLiteral(" 표시등"));
        shpReseved_[i]->setOutline(QColor(0xE0, 0xE0, 0xFF));
        shpReseved_[i]->setLit(false, kOn);
        resGrid->addWidget(shpReseved_[i], 0, i * 2);
        resGrid->addWidget(new QLabel(QString::fromUtf8(lampCaptions[i])), 0, i * 2 + 1);
    }
    lblReserve_RestTime_ =
        readout(QStringLiteral("lblReserve_RestTime"), QStringLiteral("남은 예약 시간 값"));
    lblWK_Name_ = readout(QStringLiteral("lblWK_Name"), QStringLiteral("예약 요일 값"));
    resGrid->addWidget(new QLabel(QStringLiteral("남은 예약 시간")), 1, 0, 1, 2);
    resGrid->addWidget(lblReserve_RestTime_, 1, 2, 1, 2);
    resGrid->addWidget(new QLabel(QStringLiteral("예약 요일")), 2, 0, 1, 2);
    resGrid->addWidget(lblWK_Name_, 2, 2, 1, 2);
    layout->addWidget(reservation);
    return column;
}

QWidget* MonitoringArea::buildClockRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    const std::array<const char*, 3> names = {"기기 날짜", "기기 요일", "기기 시각"};
    for (int i = 0; i < 3; ++i) {
        lblCurr_DT_[i] =
            readout(QStringLiteral("lblCurr_DT_%1").arg(i), QString::fromUtf8(names[i]));
        lblCurr_DT_[i]->setMinimumWidth(i == 1 ? 60 : 130);
        layout->addWidget(lblCurr_DT_[i]);
    }
    layout->addStretch(1);
    auto* caption = new QLabel(QStringLiteral("표시주기(초)"));
    caption->setStyleSheet(QStringLiteral("color: white;"));
    layout->addWidget(caption);
    txtDispTime_ = new CommitLineEdit;
    txtDispTime_->setObjectName(QStringLiteral("txtDispTime"));
    txtDispTime_->setAccessibleName(QStringLiteral("표시주기 입력"));
    txtDispTime_->setText(QStringLiteral("5"));
    txtDispTime_->setFixedWidth(48);
    txtDispTime_->setAlignment(Qt::AlignCenter);
    layout->addWidget(txtDispTime_);
    chbScroll_ = new QCheckBox(QStringLiteral("Scroll Bar"));
    chbScroll_->setObjectName(QStringLiteral("chbScroll"));
    chbScroll_->setAccessibleName(QStringLiteral("스크롤 막대 사용"));
    chb3D_ = new QCheckBox(QStringLiteral("3D"));
    chb3D_->setObjectName(QStringLiteral("chb3D"));
    chb3D_->setAccessibleName(QStringLiteral("3D 보기"));
    chb3D_->setChecked(true);
    for (QCheckBox* box : {chbScroll_, chb3D_}) {
        // White text through the palette: a style sheet would hand the box to the style-sheet
        // style, whose indicator on this dark band looked pale, as if the box were disabled.
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        box->setPalette(palette);
        layout->addWidget(box);
    }
    return row;
}

void MonitoringArea::SetCommandColor(int index, const QColor& color) {
    commandColors_[index] = color;
    {
        const QSignalBlocker quiet(btnCMD_[index]);
        btnCMD_[index]->setChecked(color == kOn);
    }
    btnCMD_[index]->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; font-weight: bold; "
                       "border: 1px solid #404040; border-radius: 3px; }")
            .arg(color.name(), color == kOn ? QStringLiteral("white") : QStringLiteral("black")));
}

void MonitoringArea::SetUnitText(const QString& unit) {
    for (QLabel* label : lblUnit_) {
        label->setText(unit);
    }
}

void MonitoringArea::OpenSetValueEntry() {
    txtSV_->setText(lblSV_->text());
    lblSV_->hide();
    txtSV_->selectAll();
    txtSV_->setFocus();
}

void MonitoringArea::ReopenSetValueEntry(const QString& typed) {
    OpenSetValueEntry();
    txtSV_->setText(typed);
    txtSV_->selectAll();
}

void MonitoringArea::CloseSetValueEntry() {
    lblSV_->show();
    lblSV_->raise();
}

void MonitoringArea::ShowStatusWord(int word) {
    auto bit = [word](int b) { return StatusBitSet(word, b); };
    // Button index for each status bit that has one.
    constexpr std::array<std::pair<int, int>, 8> buttons = {{{kBitRun, 1},
                                                             {kBitAutoTune, 2},
                                                             {kBitPreheat, 3},
                                                             {kBitMold, 6},
                                                             {kBitCool, 5},
                                                             {kBitSuction, 4},
                                                             {kBitBuzzer, 7},
                                                             {kBitPower, 0}}};
    for (auto [b, index] : buttons) {
        SetCommandColor(index, bit(b) ? kOn : kOff);
    }
    const bool mold = bit(kBitMold);
    lblSV_Title_->setText(mold ? QStringLiteral("금형온도 SV") : QStringLiteral("매체온도 SV"));
    lblTT_[0]->setLeftColor(mold ? kTitleOrange : kTitleGreen);
    lblTT_[1]->setLeftColor(mold ? kTitleGreen : kTitleOrange);
    shpReseved_[0]->setLit(bit(kBitTimeReservation), kOn);
    shpReseved_[1]->setLit(bit(kBitWeeklyReservation), kOn);
}

void MonitoringArea::ShowRow(const ValueTable& table, int row) {
    // Cells are found by the register they hold, as the value table files them.
    auto text = [&](int address) { return table.Text(row, ValueTable::StatusColumn(address)); };
    for (int i = 0; i < 5; ++i) {
        lblPV_[i]->setText(text(kRegMoldTemp + i));
    }
    ShowStatusWord(text(kRegStatusWord).toInt());
    const int clock = kRegClockWeekday;  // weekday, year, month, day, hour, minute, second
    lblCurr_DT_[1]->setText(WeekdayName(text(clock).toInt()) + QStringLiteral("요일"));
    lblCurr_DT_[0]->setText(QStringLiteral("%1년%2월%3일")
                                .arg(text(clock + 1).toInt() + 2000, 4, 10, QLatin1Char('0'))
                                .arg(text(clock + 2), text(clock + 3)));
    lblCurr_DT_[2]->setText(
        QStringLiteral("%1시%2분%3초").arg(text(clock + 4), text(clock + 5), text(clock + 6)));
    lblReserve_RestTime_->setText(shpReseved_[0]->isLit()
                                      ? text(kRegRemainingHours) + QStringLiteral("시간 ") +
                                            text(kRegRemainingMinutes) + QStringLiteral("분")
                                      : QStringLiteral("--시간 --분"));
    lblWK_Name_->setText(shpReseved_[1]->isLit()
                             ? WeekdayName(text(kRegReservationWeekday).toInt()) +
                                   QStringLiteral("요일")
                             : QStringLiteral("-요일"));
    lblSV_->setText(text(kRegSetValue));
    lblOutput_[0]->setText(text(kRegHeatOutput));
    lblOutput_[1]->setText(text(kRegCoolOutput));
    for (int i = 0; i < 3; ++i) {
        lblAmpare_[i]->setText(text(kRegFirstPhaseCurrent + i));
    }
}

}  // namespace zr410
