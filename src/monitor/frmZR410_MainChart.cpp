// The trend chart of the main window and its display tick.
#include <QCheckBox>
#include <QColorDialog>
#include <QDateTime>
#include <QVBoxLayout>

#include "common/NumberEntry.h"
#include "monitor/MonitoringArea.h"
#include "monitor/TrendChart.h"
#include "monitor/frmZR410_Main.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/GradientLabel.h"

namespace zr410 {

void frmZR410_Main::bindChart() {
    chart_ = new TrendChart;
    monitor_->ChartSlot()->addWidget(chart_);
    chart_->set3D(monitor_->chb3D()->isChecked());
    chart_->setScrollBarVisible(monitor_->chbScroll()->isChecked());

    tmrDispGraph.setObjectName(QStringLiteral("tmrDispGraph"));
    tmrDispGraph.setInterval(1000);
    connect(&tmrDispGraph, &QTimer::timeout, this, &frmZR410_Main::tmrDispGraph_Timer);
    connect(&decoders_, &DeviceDecoders::editDeviceUnitChanged, chart_,
            &TrendChart::setTemperatureUnit);
    connect(monitor_, &MonitoringArea::colorSwatchClicked, this, &frmZR410_Main::picGcolor_Click);
    connect(monitor_->chb3D(), &QCheckBox::toggled, chart_, &TrendChart::set3D);
    connect(monitor_->chbScroll(), &QCheckBox::toggled, chart_, &TrendChart::setScrollBarVisible);
    connect(monitor_->txtDispTime(), &QLineEdit::textChanged, this,
            &frmZR410_Main::txtDispTime_Change);
    connect(monitor_->txtDispTime(), &CommitLineEdit::committed, this,
            &frmZR410_Main::txtDispTime_Commit);
}

void frmZR410_Main::tmrDispGraph_Timer() {
    // A slow redraw delays the next sample rather than piling ticks up.
    tmrDispGraph.stop();
    for (int s = 0; s < TrendChart::kSeriesCount; ++s) {
        chart_->setSeriesColour(s, sampler_.SeriesColor(s));
    }
    if (const auto sample = sampler_.Tick(state_, sprdMulti_)) {
        if (sample->startsNewChart) {
            chart_->ResetTrendChart();
        }
        chart_->AppendTrendPoint(sample->point, sample->values, QDateTime::currentDateTime());
    }
    chart_->replotSoon();
    const LogPassResult pass = logger_.LogDueRecords(saveSettings_, link_.isOpen());
    if (pass.recordsFailed > 0) {
        // Records are dropped, not retried; the operator should know that data is missing.
        StatusBar1[2]->setText(
            QStringLiteral("데이터 저장 실패: %1개 기록을 저장하지 못했습니다 (저장 폴더: %2).")
                .arg(pass.recordsFailed)
                .arg(saveSettings_.SaveFolder));
    }
    tmrDispGraph.start();
}

void frmZR410_Main::picGcolor_Click(int index) {
    ColorSwatch* swatch = monitor_->picGcolor(index);
    const QColor chosen = PickColor(sampler_.SeriesColor(index));
    if (chosen.isValid()) {
        // The series takes it at the next tick.
        sampler_.SetSeriesColor(index, chosen);
        swatch->setColor(chosen);
    }
}

QColor frmZR410_Main::PickColor(const QColor& initial) {
    return QColorDialog::getColor(initial, this, QStringLiteral("그래프 색 선택"));
}

void frmZR410_Main::txtDispTime_Change(const QString& text) {
    const double value = ParseLeadingNumber(QStringView(text));
    if (value < 1) {
        monitor_->txtDispTime()->setText(QStringLiteral("1"));
    } else if (value > 60) {
        monitor_->txtDispTime()->setText(QStringLiteral("60"));
    }
}

void frmZR410_Main::txtDispTime_Commit(const QString& text) {
    const std::int64_t ms = RoundHalfEven(ParseLeadingNumber(QStringView(text)) * 1000.0);
    tmrDispGraph.setInterval(static_cast<int>(std::clamp<std::int64_t>(ms, 1000, 60000)));
}

}  // namespace zr410
