// The chart set-up panel: axis limits, title, thickness, view switches, border, and the three
// grids whose contents are remembered in the settings files.
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

#include "common/NumberEntry.h"
#include "ui_frmZR410_GraphView.h"
#include "viewer/ChartView.h"
#include "viewer/frmZR410_GraphView.h"

namespace zr410 {
namespace {

const QString kMarginNames[kMarginCount] = {QStringLiteral("Top"), QStringLiteral("Bottom"),
                                            QStringLiteral("Left"), QStringLiteral("Right")};
const QString kMarginKorean[kMarginCount] = {QStringLiteral("위쪽"), QStringLiteral("아래쪽"),
                                             QStringLiteral("왼쪽"), QStringLiteral("오른쪽")};

// Lines wider than this only hide the curves; a typed 500 would also stall every redraw.
constexpr int kMaxLineWidth = 10;

// Grids show every row and column without scroll bars.
void fitTable(QTableWidget* table) {
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(24);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth() +
                       24 * table->rowCount();
    table->setFixedHeight(height);
}

QColor textOn(const QColor& background) {
    return background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace

void frmZR410_GraphView::setupOptionControls() {
    // Tab leaves the small grids instead of walking round their cells for ever; the arrow keys
    // move inside them.
    for (QTableWidget* grid : {ui_->sprdUseItem, ui_->sprdColor_Graph, ui_->sprdMargin}) {
        grid->setTabKeyNavigation(false);
    }
    fillingGrids_ = true;
    const auto& names = ChartView::SeriesNames();

    QTableWidget* use = ui_->sprdUseItem;
    use->setRowCount(kSeriesCount);
    use->setColumnCount(1);
    use->setHorizontalHeaderLabels({QStringLiteral("표시")});
    use->setVerticalHeaderLabels(QStringList(names.begin(), names.end()));
    QTableWidget* colours = ui_->sprdColor_Graph;
    colours->setRowCount(kSeriesCount);
    colours->setColumnCount(1);
    colours->setHorizontalHeaderLabels({QStringLiteral("색상")});
    colours->verticalHeader()->hide();
    for (int s = 0; s < kSeriesCount; ++s) {
        auto* on = new QTableWidgetItem();
        on->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        use->setItem(s, 0, on);
        auto* swatch = new QTableWidgetItem(QString::number(s + 1));
        swatch->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        swatch->setTextAlignment(Qt::AlignCenter);
        swatch->setToolTip(QStringLiteral("누르면 %1 색을 고릅니다").arg(names[s]));
        colours->setItem(s, 0, swatch);
    }
    fitTable(use);
    fitTable(colours);

    QTableWidget* margin = ui_->sprdMargin;
    margin->setRowCount(1);
    margin->setColumnCount(kMarginCount);
    margin->setHorizontalHeaderLabels(
        QStringList(std::begin(kMarginNames), std::end(kMarginNames)));
    margin->verticalHeader()->hide();
    for (int c = 0; c < kMarginCount; ++c) {
        auto* cell = new QTableWidgetItem();
        cell->setTextAlignment(Qt::AlignCenter);
        margin->setItem(0, c, cell);
    }
    fitTable(margin);
    fillingGrids_ = false;

    ui_->lblColor_Border->setFocusPolicy(Qt::StrongFocus);
    ui_->lblColor_Border->installEventFilter(this);
    chbYaxis_Click();
    chbBorder_Click();
}

void frmZR410_GraphView::connectOptionControls() {
    connect(ui_->sprdUseItem, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!fillingGrids_) {
            sprdUseItem_Click(item->row());
        }
    });
    connect(ui_->sprdColor_Graph, &QTableWidget::cellClicked, this,
            [this](int row, int) { sprdColor_Graph_Click(row); });
    connect(ui_->sprdColor_Graph, &QTableWidget::cellActivated, this,
            [this](int row, int) { sprdColor_Graph_Click(row); });
    // Saved on every change rather than when the grid loses the focus: closing the window
    // straight after typing a margin must not lose it.
    connect(ui_->sprdMargin, &QTableWidget::itemChanged, this, [this] {
        if (!fillingGrids_) {
            sprdMargin_Change();
        }
    });
    connect(ui_->chbYaxis, &QCheckBox::clicked, this, &frmZR410_GraphView::chbYaxis_Click);
    connect(ui_->txtYMin, &QLineEdit::textEdited, this, [this] { limitBoxEdited(0); });
    connect(ui_->txtYMax, &QLineEdit::textEdited, this, [this] { limitBoxEdited(0); });
    connect(ui_->txtY2Min, &QLineEdit::textEdited, this, [this] { limitBoxEdited(1); });
    connect(ui_->txtY2Max, &QLineEdit::textEdited, this, [this] { limitBoxEdited(1); });
    connect(ui_->txtG_Title, &QLineEdit::textChanged, this,
            [this](const QString& text) { chart()->setTitleText(ChartView::ChartTitle, text); });
    connect(ui_->cmbThick, &QComboBox::currentTextChanged, this,
            &frmZR410_GraphView::cmbThick_Click);
    connect(ui_->chb3D, &QCheckBox::toggled, this, [this](bool on) { chart()->set3D(on); });
    connect(ui_->chbZoom, &QCheckBox::toggled, this,
            [this](bool on) { chart()->setZoomEnabled(on); });
    connect(ui_->chbScroll, &QCheckBox::clicked, this, &frmZR410_GraphView::chbScroll_Click);
    connect(ui_->chbBorder, &QCheckBox::clicked, this, &frmZR410_GraphView::chbBorder_Click);
}

bool frmZR410_GraphView::LoadChartColours() {
    SeriesColours start;
    for (int s = 0; s < kSeriesCount; ++s) {
        start[s] = chart()->seriesColour(s);
    }
    const auto colours = zr410::LoadChartColours(start);
    if (!colours) {
        return false;
    }
    for (int s = 0; s < kSeriesCount; ++s) {
        showSeriesColour(s, (*colours)[s]);
        chart()->setSeriesColour(s, (*colours)[s]);
    }
    return true;
}

void frmZR410_GraphView::SaveChartColours() {
    SeriesColours colours;
    for (int s = 0; s < kSeriesCount; ++s) {
        colours[s] = ui_->sprdColor_Graph->item(s, 0)->background().color();
    }
    zr410::SaveChartColours(colours);
}

void frmZR410_GraphView::ShowDefaultChartColours() {
    for (int s = 0; s < kSeriesCount; ++s) {
        showSeriesColour(s, chart()->seriesColour(s));
    }
}

void frmZR410_GraphView::showSeriesColour(int series, const QColor& colour) {
    QTableWidgetItem* cell = ui_->sprdColor_Graph->item(series, 0);
    cell->setBackground(colour);
    cell->setForeground(textOn(colour));
    cell->setData(Qt::AccessibleTextRole, QStringLiteral("%1 색상 %2")
                                              .arg(ChartView::SeriesNames()[series],
                                                   colour.name(QColor::HexRgb).toUpper()));
    // A selected cell is painted in the selection colour, which would hide the new colour
    // just chosen; the current cell stays for the keyboard.
    ui_->sprdColor_Graph->selectionModel()->clearSelection();
}

void frmZR410_GraphView::sprdColor_Graph_Click(int series) {
    if (series < 0 || series >= kSeriesCount) {
        return;
    }
    const QColor start = ui_->sprdColor_Graph->item(series, 0)->background().color();
    const QColor chosen = dialogs_.chooseColour(
        this, start, QStringLiteral("%1 색상").arg(ChartView::SeriesNames()[series]));
    if (!chosen.isValid()) {
        return;
    }
    const RgbParts rgb = SplitColour(ColourValue(chosen));
    const QColor colour(rgb.red, rgb.green, rgb.blue);
    showSeriesColour(series, colour);
    chart()->setSeriesColour(series, colour);
    SaveChartColours();
}

void frmZR410_GraphView::loadUseItems() {
    const auto cells = LoadUseItems();
    const SeriesSelection selection = cells.value_or(DefaultSeriesSelection());
    fillingGrids_ = true;
    for (int s = 0; s < kSeriesCount; ++s) {
        // Without the file every series shows, whatever the cells would say.
        const bool shown = !cells || IsSeriesShown(selection[s]);
        QTableWidgetItem* cell = ui_->sprdUseItem->item(s, 0);
        cell->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        cell->setText(shown ? QStringLiteral("표시") : QStringLiteral("숨김"));
        cell->setData(Qt::AccessibleTextRole,
                      ChartView::SeriesNames()[s] +
                          (shown ? QStringLiteral(" 표시") : QStringLiteral(" 숨김")));
        chart()->setSeriesVisible(s, shown);
    }
    fillingGrids_ = false;
}

void frmZR410_GraphView::sprdUseItem_Click(int series) {
    if (series < 0 || series >= kSeriesCount) {
        return;
    }
    SeriesSelection cells;
    for (int s = 0; s < kSeriesCount; ++s) {
        cells[s] = ui_->sprdUseItem->item(s, 0)->checkState() == Qt::Checked ? QStringLiteral("1")
                                                                             : QStringLiteral("0");
    }
    SaveUseItems(cells);
    const bool shown = IsSeriesShown(cells[series]);
    fillingGrids_ = true;
    QTableWidgetItem* cell = ui_->sprdUseItem->item(series, 0);
    cell->setText(shown ? QStringLiteral("표시") : QStringLiteral("숨김"));
    cell->setData(Qt::AccessibleTextRole,
                  ChartView::SeriesNames()[series] +
                      (shown ? QStringLiteral(" 표시") : QStringLiteral(" 숨김")));
    fillingGrids_ = false;
    chart()->setSeriesVisible(series, shown);
}

void frmZR410_GraphView::loadPrintMargins() {
    const PrintMarginCells cells = LoadPrintMargins().value_or(DefaultPrintMargins());
    fillingGrids_ = true;
    for (int c = 0; c < kMarginCount; ++c) {
        QTableWidgetItem* cell = ui_->sprdMargin->item(0, c);
        cell->setText(cells[c]);
        cell->setData(Qt::AccessibleDescriptionRole,
                      QStringLiteral("%1 여백 (mm)").arg(kMarginKorean[c]));
    }
    fillingGrids_ = false;
}

PrintMarginCells frmZR410_GraphView::marginCells() const {
    PrintMarginCells cells;
    for (int c = 0; c < kMarginCount; ++c) {
        cells[c] = ui_->sprdMargin->item(0, c)->text();
    }
    return cells;
}

void frmZR410_GraphView::sprdMargin_Change() {
    SavePrintMargins(marginCells());
}

void frmZR410_GraphView::chbYaxis_Click() {
    const bool shown = ui_->chbYaxis->isChecked();
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->txtYMin), static_cast<QWidget*>(ui_->txtYMax),
          static_cast<QWidget*>(ui_->txtY2Min), static_cast<QWidget*>(ui_->txtY2Max),
          static_cast<QWidget*>(ui_->lblYMin), static_cast<QWidget*>(ui_->lblYMax),
          static_cast<QWidget*>(ui_->lblY2Min), static_cast<QWidget*>(ui_->lblY2Max)}) {
        w->setVisible(shown);
    }
}

void frmZR410_GraphView::limitBoxEdited(int axis) {
    // Both ends come from what the boxes hold now, so the axis does not depend on the order in
    // which they were typed.
    QLineEdit* minBox = axis == 0 ? ui_->txtYMin : ui_->txtY2Min;
    QLineEdit* maxBox = axis == 0 ? ui_->txtYMax : ui_->txtY2Max;
    const bool applied = chart()->setAxisLimits(axis, ParseLeadingNumber(minBox->text()),
                                                ParseLeadingNumber(maxBox->text()));
    // Equal ends leave no axis to draw: mark both boxes and keep the axis as it was; the typed
    // text stays for correction.
    for (QLineEdit* box : {minBox, maxBox}) {
        box->setStyleSheet(applied ? QString() : QStringLiteral("color: #b00000;"));
        box->setToolTip(applied ? QString()
                                : QStringLiteral("최소값과 최대값이 같습니다. 축은 그대로입니다."));
    }
}

void frmZR410_GraphView::showAxisLimits() {
    const auto show = [](QLineEdit* box, double value) {
        box->setText(QString::number(value, 'g', 6));
        box->setStyleSheet(QString());
        box->setToolTip(QString());
    };
    show(ui_->txtYMin, chart()->axisMinimum(0));
    show(ui_->txtYMax, chart()->axisMaximum(0));
    show(ui_->txtY2Min, chart()->axisMinimum(1));
    show(ui_->txtY2Max, chart()->axisMaximum(1));
}

void frmZR410_GraphView::cmbThick_Click(const QString& text) {
    const auto width = RoundHalfEven(ParseLeadingNumber(text));
    chart()->setLineWidth(static_cast<int>(std::clamp<std::int64_t>(width, 0, kMaxLineWidth)));
}

void frmZR410_GraphView::chbScroll_Click() {
    // The box follows the chart's scroll bar, not the other way round.
    chart()->setScrollBarVisible(!chart()->scrollBarVisible());
    ui_->chbScroll->setChecked(chart()->scrollBarVisible());
}

void frmZR410_GraphView::chbBorder_Click() {
    const bool on = ui_->chbBorder->isChecked();
    chart()->setBorderEnabled(on);
    ui_->lblColor_Border->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
    ui_->lblColor_Border->setEnabled(on);
}

void frmZR410_GraphView::ShowBorderColour() {
    QPalette palette = ui_->lblColor_Border->palette();
    palette.setColor(QPalette::Window, chart()->borderColour());
    ui_->lblColor_Border->setPalette(palette);
    ui_->lblColor_Border->setAccessibleDescription(
        chart()->borderColour().name(QColor::HexRgb).toUpper());
}

void frmZR410_GraphView::lblColor_Border_Click() {
    if (!ui_->chbBorder->isChecked()) {
        return;
    }
    const QColor chosen = dialogs_.chooseColour(
        this, ui_->lblColor_Border->palette().window().color(), QStringLiteral("테두리 색상"));
    if (!chosen.isValid()) {
        return;
    }
    const RgbParts rgb = SplitColour(ColourValue(chosen));
    chart()->setBorderColour(QColor(rgb.red, rgb.green, rgb.blue));
    ShowBorderColour();
}

}  // namespace zr410
