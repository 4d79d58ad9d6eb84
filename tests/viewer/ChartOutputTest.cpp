// Print to a PDF file and capture to a BMP file, each read back.
#include <qcustomplot.h>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "viewer/ChartOutput.h"
#include "viewer/ChartView.h"

using namespace zr410;

TEST(MmToInchesTest, MillimetresTimesTheFactor) {
    EXPECT_DOUBLE_EQ(MmToInches(10), 0.3937);
    EXPECT_DOUBLE_EQ(MmToInches(20), 0.7874);
    EXPECT_DOUBLE_EQ(MmToInches(5), 0.19685);
    EXPECT_DOUBLE_EQ(MmToInches(0), 0.0);
}

TEST(MarginsFromCellsTest, TopBottomLeftRightWithTheLeadingNumberParse) {
    const PrintMarginsInches m = MarginsFromCells({"10", "10mm", " 20", "5"});
    EXPECT_DOUBLE_EQ(m.top, 0.3937);
    EXPECT_DOUBLE_EQ(m.bottom, 0.3937);
    EXPECT_DOUBLE_EQ(m.left, 0.7874);
    EXPECT_DOUBLE_EQ(m.right, 0.19685);
    const PrintMarginsInches odd = MarginsFromCells({"abc", "", "-15", "0"});
    EXPECT_EQ(odd.top, 0.0);
    EXPECT_EQ(odd.left, 0.0);
}

class Output : public ::testing::Test {
protected:
    Output() {
        view.resize(800, 450);
        view.show();
        auto contents = std::make_shared<DataFileContents>();
        for (int i = 0; i < 50; ++i) {
            contents->stamps.append("2024-05-17",
                                    QTime(10, 0).addSecs(i).toString("HH:mm:ss").toLatin1());
            for (int s = 0; s < kDataSeriesCount; ++s) {
                contents->series[s].push_back(s * 10 + i % 7);
            }
        }
        contents->minimum = {0, 10, 20, 30, 40, 50};
        contents->maximum = {6, 16, 26, 36, 46, 56};
        view.setContents(contents);
        view.setTitleText(ChartView::ChartTitle, "금형 1호기");
        view.plot()->replot();
    }
    ChartView view;
    QTemporaryDir dir;
};

TEST_F(Output, PrintingToAPdfFileGivesOneLandscapePage) {
    const QString pdf = dir.filePath("chart.pdf");
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrepareChartPrinter(printer, *view.plot());
    QString reason;
    ASSERT_TRUE(
        PrintChart(*view.plot(), printer, MarginsFromCells({"10", "10", "20", "5"}), &reason))
        << reason.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
        1);
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch);
    EXPECT_NEAR(margins.left(), 0.7874, 1e-3);
    EXPECT_NEAR(margins.right(), 0.19685, 1e-3);
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Point);
    EXPECT_GT(paper.width(), paper.height());
}

TEST_F(Output, MarginsBelowWhatThePrinterReachesPrintAtItsLeastMargins) {
    // Most printers cannot print to the paper's edge; the saved 0 mm margins must still print.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("edge.pdf"));
    const QMarginsF least(4.2, 4.2, 4.2, 6.0);
    ASSERT_TRUE(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                                  least, QPageLayout::Millimeter, least)));
    ASSERT_EQ(printer.pageLayout().minimumMargins(), least);
    QString reason;
    ASSERT_TRUE(PrintChart(*view.plot(), printer, MarginsFromCells({"0", "0", "0", "10"}), &reason))
        << reason.toStdString();
    // Within the rounding of a margin to hundredths of an inch.
    const QMarginsF used = printer.pageLayout().margins(QPageLayout::Millimeter);
    EXPECT_NEAR(used.left(), 4.2, 0.2);
    EXPECT_NEAR(used.top(), 4.2, 0.2);
    EXPECT_NEAR(used.right(), 10.0, 0.2);  // above the least: as asked
    EXPECT_NEAR(used.bottom(), 6.0, 0.2);
    EXPECT_GT(QFileInfo(dir.filePath("edge.pdf")).size(), 0);
}

TEST_F(Output, MarginsLargerThanThePaperAreRefusedWithAReason) {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("none.pdf"));
    QString reason;
    EXPECT_FALSE(
        PrintChart(*view.plot(), printer, MarginsFromCells({"10", "10", "200", "200"}), &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST_F(Output, CaptureSavedAsBmpReadsBackWithTheSameSizeAndPixels) {
    const QImage capture = CaptureWidget(*view.plot());
    ASSERT_EQ(capture.size(), view.plot()->size());
    const QString path = WithBmpSuffix(dir.filePath("graph"));
    EXPECT_TRUE(path.endsWith(".bmp"));
    ASSERT_TRUE(SaveCaptureAsBmp(capture, path));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == "BM");
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "bmp");
    const QImage back = reader.read().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(back.size(), capture.size());
    for (const QPoint p : {QPoint(0, 0), QPoint(400, 225), QPoint(799, 449), QPoint(120, 60)}) {
        EXPECT_EQ(back.pixel(p), capture.pixel(p));
    }
}

TEST_F(Output, BmpThatCannotBeWrittenIsReported) {
    EXPECT_FALSE(SaveCaptureAsBmp(CaptureWidget(*view.plot()), dir.filePath("no/folder/g.bmp")));
    EXPECT_FALSE(SaveCaptureAsBmp(QImage(), dir.filePath("g.bmp")));
    EXPECT_EQ(WithBmpSuffix("/x/graph.BMP"), "/x/graph.BMP");
}
