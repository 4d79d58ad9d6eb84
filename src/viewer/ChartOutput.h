#pragma once

#include <QImage>
#include <QString>

#include "viewer/ViewerSettings.h"

class QCustomPlot;
class QPrinter;
class QWidget;

namespace zr410 {

// inches = millimetres x 0.03937, as the print margins are converted.
double MmToInches(double millimetres);

struct PrintMarginsInches {
    double top = 0;
    double bottom = 0;
    double left = 0;
    double right = 0;
};

// The margin cells (Top, Bottom, Left, Right) read with the leading-number parse; a negative
// margin means none.
PrintMarginsInches MarginsFromCells(const PrintMarginCells& cells);

// Prepares a printer for the chart: landscape, as the chart is wide, drawn at screen
// resolution so that texts keep their on-screen size relative to the curves.
void PrepareChartPrinter(QPrinter& printer, const QCustomPlot& plot);

// Prints the chart on one page inside the margins. On failure returns false with a Korean
// reason: margins that leave no room on the paper, or a printer that cannot start.
bool PrintChart(QCustomPlot& plot, QPrinter& printer, const PrintMarginsInches& margins,
                QString* reason);

// The pixels of a widget as the screen shows them, without an alpha channel.
QImage CaptureWidget(QWidget& widget);

// Saves a capture as a Windows bitmap (24-bit BMP). Returns false when it cannot be written.
bool SaveCaptureAsBmp(const QImage& image, const QString& path);

// The save dialog's path with ".bmp" added when the operator typed no extension.
QString WithBmpSuffix(const QString& path);

}  // namespace zr410
