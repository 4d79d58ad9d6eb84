#include "monitor/frmZR410_CommTest.h"

#include "ui_frmZR410_CommTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

#include <set>

#include "common/NumberEntry.h"
#include "engine/SerialLink.h"
#include "engine/SharedState.h"
#include "protocol/FrameCodec.h"
#include "widgets/CellGrid.h"

namespace zr410 {

frmZR410_CommTest::frmZR410_CommTest(SharedState& state, SerialLink& link, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmZR410_CommTest>()), state_(state), link_(link) {
    ui->setupUi(this);
    QTableView* grid = ui->sprdComm;
    grid->setModel(&trace_);
    NameTableCorner(*grid);
    grid->horizontalHeader()->setDefaultSectionSize(38);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setMinimumWidth(
        grid->fontMetrics().horizontalAdvance(QStringLiteral("수신 계속")) + 16);
    grid->setWordWrap(false);

    connect(ui->btnRead, &QPushButton::clicked, this, &frmZR410_CommTest::btnRead_Click);
    connect(ui->txtDReg, &QLineEdit::returnPressed, this, &frmZR410_CommTest::btnRead_Click);
    // toggled, not clicked: an assistive tool's toggle must pause the trace too.
    connect(ui->btnPause, &QPushButton::toggled, this, &frmZR410_CommTest::btnPause_Toggled);
    connect(ui->btnCopy, &QPushButton::clicked, this, [this] { btnCopy_Click(); });
    auto* copy = new QShortcut(QKeySequence::Copy, grid, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, [this] { btnCopy_Click(); });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(&link_, &SerialLink::indicator, this, [this](const EngineIndicator& indicator) {
        if (indicator.kind == EngineIndicator::Kind::Trace) {
            ShowCommTrace(indicator.bytes, indicator.direction);
        }
    });
    Form_Load();
}

frmZR410_CommTest::~frmZR410_CommTest() {
    Form_Unload();
}

QTableView* frmZR410_CommTest::sprdComm() const {
    return ui->sprdComm;
}

QLineEdit* frmZR410_CommTest::txtDReg() const {
    return ui->txtDReg;
}

QPushButton* frmZR410_CommTest::btnRead() const {
    return ui->btnRead;
}

QPushButton* frmZR410_CommTest::btnPause() const {
    return ui->btnPause;
}

void frmZR410_CommTest::Form_Load() {
    state_.CommViewerOpen = true;
    SetLabel(ui->lblReadState, {});
    ShowTraceState();
}

void frmZR410_CommTest::Form_Unload() {
    // Only a viewer that took the cycle over for its reads hands it back; one that only
    // watched must not cut short an identification scan that is under way.
    if (readRequested_) {
        state_.QueueRequest(PollState::Status);
    }
    state_.CommViewerOpen = false;
}

void frmZR410_CommTest::btnRead_Click() {
    const QString typed = ui->txtDReg->text().trimmed();
    const std::int64_t address = RoundHalfEven(ParseLeadingNumber(typed));
    if (address < 0 || address > kMaxRegister) {
        ShowMessage(QStringLiteral("레지스터 번호 %1 은(는) 읽을 수 없습니다.\n"
                                   "0 ~ %2 사이의 번호를 입력하십시오.")
                        .arg(typed)
                        .arg(kMaxRegister));
        return;
    }
    if (state_.EditDeviceNo <= 0 || !state_.IsDeviceIndex(state_.EditDeviceIndex)) {
        ShowMessage(
            QStringLiteral("읽을 기기가 없습니다.\n"
                           "통신포트를 열고 기기가 연결된 뒤에 읽으십시오."));
        return;
    }
    if (link_.engine().State() == PollState::Identify) {
        ShowMessage(
            QStringLiteral("기기와의 연결상태를 검사하는 중입니다.\n"
                           "검사가 끝난 뒤에 읽으십시오."));
        return;
    }
    state_.QueueRequest(PollState::RawRead, {static_cast<int>(address)}, {0});
    readRequested_ = true;
    SetLabel(ui->lblReadState, QStringLiteral("기기 %1 의 레지스터 %2 를 매 주기 읽는 중")
                                   .arg(state_.EditDeviceNo)
                                   .arg(address));
}

void frmZR410_CommTest::ShowCommTrace(const QByteArray& bytes, TraceDirection direction) {
    // The newest row in view; the bottom is found after the pending layout of the new rows,
    // and the operator's horizontal position is kept.
    if (trace_.ShowCommTrace(bytes, direction) > 0) {
        ui->sprdComm->scrollToBottom();
    }
    if (trace_.Paused()) {
        ShowTraceState();
    }
}

void frmZR410_CommTest::btnPause_Toggled(bool paused) {
    trace_.SetPaused(paused);
    if (ui->btnPause->isChecked() != paused) {
        ui->btnPause->setChecked(paused);
    }
    ShowTraceState();
}

void frmZR410_CommTest::ShowTraceState() {
    SetLabel(
        ui->lblTraceState,
        trace_.Paused()
            ? QStringLiteral("일시정지 중: 기록하지 않은 블록 %1개").arg(trace_.SkippedBlocks())
            : QString());
}

QString frmZR410_CommTest::btnCopy_Click() {
    std::set<int> rows;
    if (QItemSelectionModel* selection = ui->sprdComm->selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) {
            rows.insert(index.row());
        }
    }
    if (rows.empty()) {
        for (int row = 0; row < trace_.RowCount(); ++row) {
            rows.insert(row);
        }
    }
    QStringList lines;
    for (int row : rows) {
        lines << trace_.RowText(row);
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(text);
    }
    SetLabel(ui->lblTraceState, QStringLiteral("%1행을 복사했습니다.").arg(lines.size()));
    return text;
}

void frmZR410_CommTest::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("알림 메시지"));
    box.exec();
}

void frmZR410_CommTest::SetLabel(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text);
}

}  // namespace zr410
