#include "viewer/ChartOutput.h"

#include <qcustomplot.h>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPrinter>

#include <algorithm>

#include "common/NumberEntry.h"

namespace zr410 {

double MmToInches(double millimetres) {
    return millimetres * 0.03937;
}

PrintMarginsInches MarginsFromCells(const PrintMarginCells& cells) {
    const auto inches = [&](int i) {
        return MmToInches(std::max(0.0, ParseLeadingNumber(cells[static_cast<size_t>(i)])));
    };
    return {inches(0), inches(1), inches(2), inches(3)};
}

void PrepareChartPrinter(QPrinter& printer, const QCustomPlot& plot) {
    printer.setResolution(plot.logicalDpiX());
    printer.setPageOrientation(QPageLayout::Landscape);
}

bool PrintChart(QCustomPlot& plot, QPrinter& printer, const PrintMarginsInches& margins,
                QString* reason) {
    const auto fail = [&](const QString& text) {
        if (reason != nullptr) {
            *reason = text;
        }
        return false;
    };
    // The saved margins may be smaller than the printer can print (0 mm is the default, and
    // most printers have hardware margins): print within what the printer can reach instead of
    // refusing. Only margins that leave no room on the paper are refused.
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Inch);
    const QMarginsF least = layout.minimumMargins();
    const QMarginsF wanted(std::max(margins.left, least.left()), std::max(margins.top, least.top()),
                           std::max(margins.right, least.right()),
                           std::max(margins.bottom, least.bottom()));
    const QRectF paper = layout.fullRect(QPageLayout::Inch);
    if (wanted.left() + wanted.right() >= paper.width() * 0.9 ||
        wanted.top() + wanted.bottom() >= paper.height() * 0.9 || !layout.setMargins(wanted) ||
        !printer.setPageLayout(layout)) {
        return fail(
            QStringLiteral("여백이 너무 커서 용지에 그래프를 그릴 자리가 없습니다.\n"
                           "Print & Margin (mm) 표의 여백을 줄여 주세요."));
    }
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        return fail(QStringLiteral("프린터를 시작할 수 없습니다. 프린터 상태를 확인해 주세요."));
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    // Paper is white; the window's grey around the chart would only cost ink.
    plot.setBackground(Qt::white);
    plot.toPainter(&painter, page.width(), page.height());
    plot.setBackground(plot.palette().color(QPalette::Button));
    if (!painter.end()) {
        return fail(QStringLiteral("인쇄를 마치지 못했습니다."));
    }
    return true;
}

QImage CaptureWidget(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB888);
}

bool SaveCaptureAsBmp(const QImage& image, const QString& path) {
    if (image.isNull() || path.isEmpty()) {
        return false;
    }
    QImageWriter writer(path, "BMP");
    return writer.write(image.convertToFormat(QImage::Format_RGB888));
}

QString WithBmpSuffix(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + QStringLiteral(".bmp");
}

}  // namespace zr410
