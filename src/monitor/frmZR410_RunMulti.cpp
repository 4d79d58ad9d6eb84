#include "monitor/frmZR410_RunMulti.h"

#include "ui_frmZR410_RunMulti.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <numeric>

#include "monitor/frmZR410_Main.h"
#include "params/frmZR410_EditVal.h"
#include "protocol/RegisterMap.h"
#include "widgets/CellGrid.h"

namespace zr410 {
namespace {

// Column widths in pixels: device number, link, the five values, SV, the eight buttons, the
// reservation mode and its remaining time or weekday.
constexpr int kRowHeight = 30;
constexpr std::array<int, RunTableModel::kColumnCount> kColumnWidths = {
    64, 68, 68, 68, 68, 68, 58, 64, 60, 60, 60, 60, 78, 60, 60, 72, 80, 130};

}  // namespace

frmZR410_RunMulti::frmZR410_RunMulti(frmZR410_Main& main)
    : QDialog(&main),
      ui(std::make_unique<Ui::frmZR410_RunMulti>()),
      main_(main),
      table_(main.sprdMulti()) {
    ui->setupUi(this);
    CellGrid* grid = ui->sprdMulti;
    grid->useTwoRowHeader()->setGroups(RunTableModel::HeaderGroups());
    grid->setModel(&table_);
    for (int column = 0; column < RunTableModel::kColumnCount; ++column) {
        grid->setColumnWidth(column, kColumnWidths[static_cast<size_t>(column)]);
    }
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    connect(grid, &CellGrid::buttonClicked, this,
            [this](int row, int column) { sprdMulti_ButtonClicked(column, row + 1); });
    connect(grid, &CellGrid::cellClicked, this,
            [this](int row, int column) { sprdMulti_Click(column, row + 1); });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(&main_.Decoders(), &DeviceDecoders::statusDecoded, this,
            [this](int deviceIndex) { UpdateRunMultiRow(deviceIndex + 1); });
    connect(&main_.Link(), &SerialLink::indicator, this, [this](const EngineIndicator& indicator) {
        if (indicator.kind == EngineIndicator::Kind::RunTableTimeout) {
            table_.MarkTimeout(indicator.deviceIndex + 1);
        }
    });
    Form_Load();
    FitToRows();
}

// As wide as the columns and as high as the rows, within the screen; more rows scroll.
void frmZR410_RunMulti::FitToRows() {
    CellGrid* grid = ui->sprdMulti;
    const int frame = 2 * grid->frameWidth();
    const int scrollBar = grid->verticalScrollBar()->sizeHint().width();
    const int columns = std::accumulate(kColumnWidths.begin(), kColumnWidths.end(), 0);
    const int rows = std::max(table_.RowCount(), 3) * kRowHeight;
    grid->setMinimumWidth(columns + frame + scrollBar);
    grid->setMinimumHeight(grid->horizontalHeader()->sizeHint().height() + 3 * kRowHeight + frame);
    int height = grid->horizontalHeader()->sizeHint().height() + rows + frame +
                 grid->horizontalScrollBar()->sizeHint().height() + 60;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        height = std::min(height, screen->availableGeometry().height() * 9 / 10);
    }
    resize(columns + frame + scrollBar + 24, height);
}

frmZR410_RunMulti::~frmZR410_RunMulti() {
    Form_Unload();
}

CellGrid* frmZR410_RunMulti::sprdMulti() const {
    return ui->sprdMulti;
}

void frmZR410_RunMulti::Form_Load() {
    table_.Load();
    main_.State().RunMultiOpen = true;
}

void frmZR410_RunMulti::Form_Unload() {
    main_.State().RunMultiOpen = false;
}

void frmZR410_RunMulti::UpdateRunMultiRow(int row) {
    table_.UpdateRunMultiRow(row);
}

void frmZR410_RunMulti::sprdMulti_ButtonClicked(int column, int row) {
    const int command = RunTableModel::CommandIndex(column);
    if (command < 0 || !table_.isRow(row) || !ActOnRow(row)) {
        return;
    }
    main_.QueueCommand(command);
}

void frmZR410_RunMulti::sprdMulti_Click(int column, int row) {
    if (column != RunTableModel::kColSetValue || !table_.isRow(row) || !ActOnRow(row)) {
        return;
    }
    EditSetValue(row);
}

bool frmZR410_RunMulti::ActOnRow(int row) {
    const SharedState& state = main_.State();
    const int index = row - 1;
    if (state.IsDeviceIndex(index) && state.EditDeviceIndex == index &&
        state.EditDeviceNo == state.DeviceNumbers[static_cast<size_t>(index)]) {
        return true;
    }
    if (main_.SelectEditDevice(row)) {
        return true;
    }
    main_.ShowMessage(QStringLiteral("기기 %1 은(는) 연결되어 있지 않아 명령을 보낼 수 없습니다.")
                          .arg(table_.Text(row, RunTableModel::kColDeviceNo)));
    return false;
}

// The SV of the row's controller, scaled by that controller's decimal places (the edit
// device's, which it has just become).
void frmZR410_RunMulti::EditSetValue(int row) {
    frmZR410_EditVal dialog(main_.State(), kRegSetValue, QStringLiteral("SV"),
                            table_.Text(row, RunTableModel::kColSetValue),
                            main_.Decoders().DecimalPlaces, this);
    main_.ExecDialog(dialog);
}

}  // namespace zr410
