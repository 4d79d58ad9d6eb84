#pragma once

#include <qcustomplot.h>

#include <memory>
#include <vector>

#include "logging/DataFile.h"

namespace zr410 {

// One series of a loaded data file, drawn straight from the loader's array: point i sits at
// key i. No copy into the chart's own containers, and each redraw reduces the visible points
// to the minimum and maximum of every pixel column, so a million points draw as fast as a few
// thousand and look the same.
class SeriesPlottable : public QCPAbstractPlottable {
public:
    SeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // Shares the file's contents; `series` picks the array.
    void setContents(std::shared_ptr<const DataFileContents> contents, int series);
    qsizetype pointCount() const;

    // A raised look: a soft shadow under the line.
    void setDepthLook(bool on) { depthLook_ = on; }

    // The polyline in pixels for the current axis ranges, as draw() paints it; `reduced` tells
    // whether it was cut down to the extremes of each pixel column. When it was, `means` (if
    // given) receives the line through each column's mean value, which draw() paints over the
    // translucent envelope so that a series under another's envelope still reads as a line.
    QVector<QPointF> visiblePolyline(bool* reduced = nullptr,
                                     QVector<QPointF>* means = nullptr) const;

    double selectTest(const QPointF& pos, bool onlySelectable,
                      QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange,
                         QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    const std::vector<double>* values() const;

    std::shared_ptr<const DataFileContents> contents_;
    int series_ = 0;
    bool depthLook_ = false;
};

// X axis of point indexes labelled with the records' time texts; ticks fall on whole points.
class IndexLabelTicker : public QCPAxisTicker {
public:
    void setContents(std::shared_ptr<const DataFileContents> contents) {
        contents_ = std::move(contents);
    }

protected:
    double getTickStep(const QCPRange& range) override;
    // The time of each record; the first label of each day shown also carries the date under
    // it, so a file that runs past midnight does not read as the same times twice.
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                       QChar formatChar, int precision) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;

private:
    std::shared_ptr<const DataFileContents> contents_;
};

}  // namespace zr410
