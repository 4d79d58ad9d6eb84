// The two cursors on the chart and the read-out beside it: each cursor's date, time and six
// values, their differences, and the minimum, maximum and mean of every series over the part
// of the file the chart shows.
#include <qcustomplot.h>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <cmath>

#include "ui_frmZR410_GraphView.h"
#include "viewer/ChartCursors.h"
#include "viewer/ChartReadout.h"
#include "viewer/ChartView.h"
#include "viewer/frmZR410_GraphView.h"

namespace zr410 {
namespace {

enum ReadoutColumn { ColA, ColB, ColDelta, ColMin, ColMax, ColMean, ReadoutColumns };
constexpr int kTimeRow = 0;
// A press and release this close together are a click, not a drag of the chart.
constexpr int kClickSlack = 4;

}  // namespace

void frmZR410_GraphView::setupReadout() {
    cursors_ = new ChartCursors(chart()->plot());
    readoutTimer_ = new QTimer(this);
    readoutTimer_->setSingleShot(true);
    readoutTimer_->setInterval(100);  // one count per pan or zoom gesture, not per step
    connect(readoutTimer_, &QTimer::timeout, this, &frmZR410_GraphView::updateReadout);

    QTableWidget* table = ui_->tblReadout;
    table->setRowCount(1 + kDataSeriesCount);
    table->setColumnCount(ReadoutColumns);
    table->setHorizontalHeaderLabels({QStringLiteral("A"), QStringLiteral("B"),
                                      QStringLiteral("B−A"), QStringLiteral("최소"),
                                      QStringLiteral("최대"), QStringLiteral("평균")});
    QStringList rows{QStringLiteral("일시")};
    for (const QString& name : ChartView::SeriesNames()) {
        rows << name;
    }
    table->setVerticalHeaderLabels(rows);
    // Narrow enough for the set-up panel: the date and time row is shown as text above the
    // table, the table holds the numbers only.
    QFont small = table->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    table->setFont(small);
    table->horizontalHeader()->setFont(small);
    table->verticalHeader()->setFont(small);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // A mean carries more digits than the readings it is made of ("1234.567"): its column
    // takes the width of its text, the others share the rest.
    table->horizontalHeader()->setSectionResizeMode(ColMean, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setMinimumSectionSize(30);
    table->verticalHeader()->setDefaultSectionSize(18);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < ReadoutColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->setRowHidden(kTimeRow, true);
    table->setTabKeyNavigation(false);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          table->verticalHeader()->defaultSectionSize() * kDataSeriesCount + 4);
    ui_->lblCursorA->setBuddy(ui_->spnCursorA);
    ui_->lblCursorB->setBuddy(ui_->spnCursorB);
    ui_->lblCursorA->setAccessibleName(QStringLiteral("커서 A"));
    ui_->lblCursorB->setAccessibleName(QStringLiteral("커서 B"));
    for (QSpinBox* box : {ui_->spnCursorA, ui_->spnCursorB}) {
        box->setRange(1, 1);
        box->setEnabled(false);
    }

    connect(ui_->chbCursor, &QCheckBox::toggled, this, [this](bool on) {
        cursors_->setVisible(on);
        ui_->spnCursorA->setEnabled(on);
        ui_->spnCursorB->setEnabled(on);
        updateReadout();
    });
    connect(ui_->spnCursorA, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int record) { setCursorRecord(0, record - 1); });
    connect(ui_->spnCursorB, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int record) { setCursorRecord(1, record - 1); });
    connect(chart()->plot()->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
            readoutTimer_, qOverload<>(&QTimer::start));
    connect(chart()->plot(), &QCustomPlot::mousePress, this,
            [this](QMouseEvent* event) { pressedAt_ = event->pos(); });
    connect(chart()->plot(), &QCustomPlot::mouseRelease, this, [this](QMouseEvent* event) {
        if (!ui_->chbCursor->isChecked() || event->button() != Qt::LeftButton ||
            (event->pos() - pressedAt_).manhattanLength() > kClickSlack) {
            return;
        }
        const double key = chart()->plot()->xAxis->pixelToCoord(event->pos().x());
        const int cursor = event->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0;
        (cursor == 0 ? ui_->spnCursorA : ui_->spnCursorB)
            ->setValue(static_cast<int>(std::lround(key)) + 1);
    });
}

void frmZR410_GraphView::setCursorRecord(int cursor, qsizetype index) {
    cursorRecord_[cursor] = index;
    cursors_->setPosition(cursor, static_cast<double>(index));
    updateReadout();
}

void frmZR410_GraphView::readoutContentsChanged(bool newFile) {
    const int records =
        shown_
            ? static_cast<int>(std::min<qsizetype>(shown_->size(), std::numeric_limits<int>::max()))
            : 1;
    for (int c = 0; c < 2; ++c) {
        QSpinBox* box = c == 0 ? ui_->spnCursorA : ui_->spnCursorB;
        const QSignalBlocker quiet(box);
        box->setRange(1, std::max(1, records));
        if (newFile) {
            // A new file: A on its first record, B on its last.
            box->setValue(c == 0 ? 1 : records);
        }
        cursorRecord_[c] = box->value() - 1;
        cursors_->setPosition(c, static_cast<double>(cursorRecord_[c]));
    }
    updateReadout();
}

void frmZR410_GraphView::updateReadout() {
    QTableWidget* table = ui_->tblReadout;
    const auto put = [table](int row, int column, const QString& text) {
        table->item(row, column)->setText(text);
    };
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < ReadoutColumns; ++c) {
            put(r, c, QString());
        }
    }
    const auto showTimes = [this, table] {
        const auto cell = [table](int column) { return table->item(kTimeRow, column)->text(); };
        QStringList lines;
        if (!cell(ColA).isEmpty() || !cell(ColB).isEmpty()) {
            lines << QStringLiteral("A  %1").arg(cell(ColA))
                  << QStringLiteral("B  %1").arg(cell(ColB))
                  << QStringLiteral("B−A  %1").arg(cell(ColDelta));
        }
        if (!cell(ColMin).isEmpty()) {
            lines << QStringLiteral("구간  %1 ~ %2").arg(cell(ColMin), cell(ColMax));
        }
        ui_->lblReadoutTime->setText(lines.join(QLatin1Char('\n')));
    };
    if (!shown_ || chart()->showsZeroFrame() || chart()->contents() != shown_) {
        showTimes();
        return;
    }
    const DataFileContents& contents = *shown_;
    if (ui_->chbCursor->isChecked()) {
        const qsizetype a = cursorRecord_[0];
        const qsizetype b = cursorRecord_[1];
        put(kTimeRow, ColA, RecordTimestamp(contents, a));
        put(kTimeRow, ColB, RecordTimestamp(contents, b));
        const auto seconds = SecondsBetween(contents, a, b);
        put(kTimeRow, ColDelta, seconds ? DurationText(*seconds) : QStringLiteral("--"));
        if (a >= 0 && a < contents.size() && b >= 0 && b < contents.size()) {
            for (int s = 0; s < kDataSeriesCount; ++s) {
                const auto& values = contents.series[static_cast<std::size_t>(s)];
                put(1 + s, ColA, ReadoutNumber(values[a]));
                put(1 + s, ColB, ReadoutNumber(values[b]));
                put(1 + s, ColDelta, ReadoutNumber(values[b] - values[a]));
            }
        }
    }
    const auto first = static_cast<qsizetype>(std::ceil(chart()->xMinimum()));
    const auto last = static_cast<qsizetype>(std::floor(chart()->xMaximum()));
    if (const auto stats = StatisticsOver(contents, first, last)) {
        put(kTimeRow, ColMin, RecordTimestamp(contents, std::max<qsizetype>(first, 0)));
        put(kTimeRow, ColMax, RecordTimestamp(contents, std::min(last, contents.size() - 1)));
        for (int s = 0; s < kDataSeriesCount; ++s) {
            const SeriesStatistics& st = (*stats)[static_cast<std::size_t>(s)];
            put(1 + s, ColMin, ReadoutNumber(st.minimum));
            put(1 + s, ColMax, ReadoutNumber(st.maximum));
            put(1 + s, ColMean, ReadoutNumber(std::round(st.mean * 1000) / 1000));
        }
    }
    showTimes();
}

QString frmZR410_GraphView::readoutText(int row, int column) const {
    const QTableWidgetItem* item = ui_->tblReadout->item(row, column);
    return item != nullptr ? item->text() : QString();
}

}  // namespace zr410
