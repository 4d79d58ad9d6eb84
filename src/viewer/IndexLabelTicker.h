#pragma once

#include <qcustomplot.h>

#include <memory>

#include "logging/DataFile.h"

namespace zr410 {

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
