#include "params/frmZR410_SetDT.h"

#include "ui_frmZR410_SetDT.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QStyle>

#include "params/ClockEntry.h"
#include "params/EntryMessages.h"

namespace zr410 {
namespace {

constexpr int kDateColumn = 1;
constexpr int kWeekdayColumn = 2;
constexpr int kTimeColumn = 3;
const QColor kFollowColour(0xFF, 0xC0, 0xFF);

}  // namespace

frmZR410_SetDT::frmZR410_SetDT(SharedState& state, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::frmZR410_SetDT>()),
      state_(state),
      pcClock_([] { return QDateTime::currentDateTime(); }) {
    ui->setupUi(this);
    ui->btnSameDT1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    QTableWidget* grid = ui->sprdDT;
    for (int c = 0; c < grid->columnCount(); ++c) {
        auto* item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        grid->setItem(0, c, item);
    }
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setColumnWidth(0, 120);
    grid->setColumnWidth(1, 60);
    grid->setColumnWidth(2, 100);
    grid->verticalHeader()->setDefaultSectionSize(28);
    grid->horizontalHeader()->setFixedHeight(26);
    grid->setFixedSize(120 + 60 + 100 + 2 * grid->frameWidth(), 26 + 28 + 2 * grid->frameWidth());
    grid->setCornerButtonEnabled(false);
    for (QAbstractButton* corner : grid->findChildren<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("표 모서리"));
    }
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);

    tmrDT.setInterval(kTickMs);
    connect(&tmrDT, &QTimer::timeout, this, &frmZR410_SetDT::tmrDT_Timer);
    // Toggled, so that an assistive tool's toggle switches follow mode as a click does.
    connect(ui->btnSameDT1, &QPushButton::toggled, this, [this](bool on) {
        if (on != FollowPcClock_) {
            btnSameDT1_Click();
        }
    });
    connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_) {
            sprdDT_Change(item->column() + 1, item->row() + 1);
        }
    });
    connect(ui->btnSet, &QPushButton::clicked, this, &frmZR410_SetDT::btnSet_Click);
    connect(ui->btnClose, &QPushButton::clicked, this, &frmZR410_SetDT::btnClose_Click);
    Form_Load();
}

frmZR410_SetDT::~frmZR410_SetDT() = default;

void frmZR410_SetDT::Form_Load() {
    const QString now = PcClockText(pcClock_(), QLocale::system());
    ui->lblDT->setText(now);
    ui->lblDT->setAccessibleDescription(now);
    ShowFollowState();
    tmrDT.start();
}

void frmZR410_SetDT::SetPcClock(std::function<QDateTime()> now) {
    pcClock_ = std::move(now);
}

void frmZR410_SetDT::tmrDT_Timer() {
    tmrDT.stop();
    const QDateTime now = pcClock_();
    const QString text = PcClockText(now, QLocale::system());
    ui->lblDT->setText(text);
    ui->lblDT->setAccessibleDescription(text);
    if (FollowPcClock_) {
        FillCell(kDateColumn, DateCellText(now.date()));
        FillCell(kWeekdayColumn, WeekdayNameOf(now.date()));
        FillCell(kTimeColumn, TimeCellText(now.time()));
    }
    tmrDT.start();
}

void frmZR410_SetDT::btnSameDT1_Click() {
    FollowPcClock_ = !FollowPcClock_;
    ShowFollowState();
}

// The button shows the mode: checked and light pink while following, plain otherwise.
void frmZR410_SetDT::ShowFollowState() {
    QPushButton* button = ui->btnSameDT1;
    const QSignalBlocker quiet(button);
    button->setChecked(FollowPcClock_);
    button->setStyleSheet(FollowPcClock_
                              ? QStringLiteral("background-color: %1;").arg(kFollowColour.name())
                              : QString());
    button->setAccessibleDescription(FollowPcClock_ ? QStringLiteral("켜짐")
                                                    : QStringLiteral("꺼짐"));
}

QString frmZR410_SetDT::CellText(int column) const {
    const QTableWidgetItem* item = ui->sprdDT->item(0, column - 1);
    return item != nullptr ? item->text() : QString();
}

void frmZR410_SetDT::SetCellText(int column, const QString& text) {
    if (QTableWidgetItem* item = ui->sprdDT->item(0, column - 1)) {
        item->setText(text);  // reported as the operator's change
    }
}

void frmZR410_SetDT::FillCell(int column, const QString& text) {
    filling_ = true;
    if (QTableWidgetItem* item = ui->sprdDT->item(0, column - 1)) {
        item->setText(text);
    }
    filling_ = false;
}

void frmZR410_SetDT::sprdDT_Change(int column, int row) {
    if (column != kDateColumn || row != 1) {
        return;
    }
    // The weekday follows a typed date; a date that cannot be read leaves no stale weekday.
    const std::optional<QDate> date = ParseDateCell(CellText(kDateColumn));
    FillCell(kWeekdayColumn, date ? WeekdayNameOf(*date) : QString());
}

void frmZR410_SetDT::btnSet_Click() {
    const std::optional<QDate> date = ParseDateCell(CellText(kDateColumn));
    if (!date) {
        ShowMessage(
            QStringLiteral("날짜를 읽을 수 없어 시계를 설정하지 않았습니다.\n"
                           "날짜를 2024-05-17 처럼 입력하시오."));
        return;
    }
    const std::optional<QTime> time = ParseTimeCell(CellText(kTimeColumn));
    if (!time) {
        ShowMessage(
            QStringLiteral("시각을 읽을 수 없어 시계를 설정하지 않았습니다.\n"
                           "시각을 14:03:25 처럼 입력하시오."));
        return;
    }
    // The weekday is the cell's, not one computed from the date.
    state_.QueueWrite(ClockWrite(WeekdayCode(CellText(kWeekdayColumn)), *date, *time));
}

void frmZR410_SetDT::btnClose_Click() {
    tmrDT.stop();
    accept();
}

void frmZR410_SetDT::ShowMessage(const QString& text) {
    ShowEntryMessage(this, text);
}

}  // namespace zr410
