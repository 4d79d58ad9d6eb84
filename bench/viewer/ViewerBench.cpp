// Viewer benchmarks; prints figures, asserts nothing.
//
//   bench_viewer [records]          all of the below, on a generated file (default 1,000,000)
//   bench_viewer render FILE PNG    one whole process: load, hand over to the chart, save a PNG
//   bench_viewer export FILE        one whole process: write the workbook
//   bench_viewer window FILE        the viewer's window opening FILE: time until it is drawn,
//                                   and the longest the window left its events waiting
//
// Whole-process figures (wall time, peak resident memory) are taken from outside with wait4(),
// for our render process and for kst2 doing the same job in the same run.
#include <qcustomplot.h>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "viewer/ChartView.h"
#include "viewer/SpreadsheetExport.h"
#include "viewer/frmZR410_GraphView.h"

using namespace zr410;

namespace {

constexpr int kPngWidth = 1280;  // kst2's own PNG size
constexpr int kPngHeight = 960;

void writeDataFile(const QString& path, qint64 records) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QRandomGenerator rng(2024);
    QByteArray block;
    char line[128];
    for (qint64 i = 0; i < records; ++i) {
        const qint64 t = 8 * 3600 + i;
        const double wave = 5.0 * std::sin(static_cast<double>(i) / 3000.0);
        // Real dates: ten million records run over four months.
        const QDate day = QDate(2024, 5, 17).addDays(t / 86400);
        std::snprintf(
            line, sizeof line,
            "%04d-%02d-%02d\t%02lld:%02lld:%02lld\t%.1f\t%.1f\t%.1f\t%.1f\t%.2f\t85.0\r\n",
            day.year(), day.month(), day.day(), t / 3600 % 24, t / 60 % 60, t % 60,
            82 + wave + rng.generateDouble(), 79 + wave + rng.generateDouble(),
            76 + wave + rng.generateDouble(), 25 + 2 * rng.generateDouble(),
            1.2 + 0.1 * std::cos(static_cast<double>(i) / 500.0));
        block += line;
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}

struct ProcessFigures {
    bool ran = false;
    double seconds = 0;
    double peakMiB = 0;
};

// Runs a program to its end; wall time and peak resident set from the kernel.
ProcessFigures runProcess(const std::vector<std::string>& argv) {
    ProcessFigures figures;
    QElapsedTimer timer;
    timer.start();
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        freopen("/dev/null", "w", stdout);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.peakMiB = usage.ru_maxrss / 1024.0;
    figures.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int renderProcess(const QString& file, const QString& png) {
    QElapsedTimer timer;
    timer.start();
    DataFileLoadResult result = ReadDataFile(file);
    const qint64 loaded = timer.elapsed();
    ChartView view;
    view.resize(kPngWidth, kPngHeight);
    view.setContents(std::make_shared<const DataFileContents>(std::move(result.contents)));
    const qint64 handedOver = timer.elapsed();
    const bool saved = view.plot()->savePng(png, kPngWidth, kPngHeight, 1.0, 50);
    std::fprintf(stderr, "  render: read %lld ms, hand-over %lld ms, draw+PNG %lld ms\n",
                 static_cast<long long>(loaded), static_cast<long long>(handedOver - loaded),
                 static_cast<long long>(timer.elapsed() - handedOver));
    return saved ? 0 : 1;
}

int exportProcess(const QString& file) {
    QTemporaryDir dir;
    const auto result = ExportToSpreadsheet(file, dir.filePath("out.xlsx"));
    std::fprintf(stderr, "  export: %lld rows on %d sheet(s), workbook %.1f MiB\n",
                 static_cast<long long>(result.rowsWritten), result.sheets,
                 QFileInfo(dir.filePath("out.xlsx")).size() / 1048576.0);
    return result.ok ? 0 : 1;
}

// The window as an operator has it: a 5 ms timer stands for the operator's clicks, and the
// longest wait between its ticks is how long the window did not answer.
int windowProcess(const QString& file) {
    frmZR410_GraphView window;
    window.resize(1400, 950);
    window.show();
    QApplication::processEvents();
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    double worstGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worstGap = std::max(worstGap, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    window.OpenDataFile(file);
    while (window.isBusy() || window.chart()->contents()->size() == 0) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double loaded = clock.nsecsElapsed() / 1e6;
    const qint64 drawnBy = clock.elapsed() + 1000;  // its first redraw, and the read-outs
    while (clock.elapsed() < drawnBy) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    std::printf(
        "  window: %lld records handed over after %.0f ms; longest wait for events "
        "%.0f ms\n",
        static_cast<long long>(window.chart()->contents()->size()), loaded, worstGap);
    return 0;
}

void compareWithKst(const std::string& self, const QString& file, const QString& folder) {
    std::printf("\nLoad %s and draw six series to a %dx%d PNG (whole process, median of 3):\n",
                qPrintable(QFileInfo(file).fileName()), kPngWidth, kPngHeight);
    const bool haveKst = !QStandardPaths::findExecutable("kst2").isEmpty();
    std::vector<double> oursTime, oursMem, kstTime, kstMem;
    for (int run = 0; run < 3; ++run) {
        const auto ours =
            runProcess({self, "render", file.toStdString(), (folder + "/ours.png").toStdString()});
        oursTime.push_back(ours.seconds);
        oursMem.push_back(ours.peakMiB);
        if (haveKst) {
            const auto kst = runProcess({"kst2", file.toStdString(), "-P", "p", "-y", "3", "-y",
                                         "4", "-y", "5", "-y", "6", "-y", "7", "-y", "8", "--png",
                                         (folder + "/kst.png").toStdString()});
            kstTime.push_back(kst.seconds);
            kstMem.push_back(kst.peakMiB);
        }
    }
    std::printf("  ZR410_Graph chart: %.2f s, peak %.0f MiB\n", median(oursTime), median(oursMem));
    if (haveKst) {
        std::printf("  kst2             : %.2f s, peak %.0f MiB  (ours: %.0f%% of its time)\n",
                    median(kstTime), median(kstMem), 100 * median(oursTime) / median(kstTime));
    } else {
        std::printf("  kst2 not installed (Debian package kst); no comparison\n");
    }
}

void redrawFigures(const QString& file) {
    DataFileLoadResult result = ReadDataFile(file);
    const auto contents = std::make_shared<const DataFileContents>(std::move(result.contents));
    const double n = static_cast<double>(contents->size());
    ChartView view;
    view.resize(1600, 900);
    view.show();
    view.setContents(contents);
    view.plot()->replot();
    const auto timeRedraws = [&](const char* what, auto step) {
        std::vector<double> ms;
        for (int i = 0; i < 30; ++i) {
            step(i);
            QElapsedTimer t;
            t.start();
            view.plot()->replot(QCustomPlot::rpImmediateRefresh);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("  %-34s median %5.1f ms, worst %5.1f ms\n", what, median(ms),
                    *std::max_element(ms.begin(), ms.end()));
    };
    std::printf("\nRedraw, six series of %.0f points, 1600x900 (3D look on):\n", n);
    view.set3D(true);
    timeRedraws("whole file", [&](int) { view.showWholeFile(); });
    timeRedraws("zoom steps (whole file to 1%)", [&](int i) {
        const double span = n * std::pow(0.85, i);
        view.setXRange(n / 2 - span / 2, n / 2 + span / 2);
    });
    timeRedraws("pan across a 10% window",
                [&](int i) { view.setXRange(n * 0.03 * i, n * 0.03 * i + n * 0.1); });
    view.set3D(false);
    timeRedraws("whole file, flat look", [&](int) { view.showWholeFile(); });

    // The alternative measured: QCustomPlot's own graphs with their adaptive sampling.
    QCustomPlot plot;
    plot.resize(1600, 900);
    QElapsedTimer t;
    t.start();
    QVector<double> keys(static_cast<qsizetype>(n));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        keys[i] = static_cast<double>(i);
    }
    for (int s = 0; s < kDataSeriesCount; ++s) {
        const std::vector<double> v = contents->series[s].toVector();
        plot.addGraph(plot.xAxis, s == 4 ? plot.yAxis2 : plot.yAxis)
            ->setData(keys, QVector<double>(v.begin(), v.end()), true);
    }
    const double copyMs = t.nsecsElapsed() / 1e6;
    plot.rescaleAxes();
    std::vector<double> ms;
    for (int i = 0; i < 10; ++i) {
        plot.xAxis->setRange(n * 0.03 * i, n * 0.03 * i + n * 0.5);
        QElapsedTimer r;
        r.start();
        plot.replot(QCustomPlot::rpImmediateRefresh);
        ms.push_back(r.nsecsElapsed() / 1e6);
    }
    std::printf("  QCPGraph for comparison: copy-in %.0f ms (+%.0f MiB), redraw median %.1f ms\n",
                copyMs, n * 6 * 16 / 1048576.0, median(ms));
}

void exportFigures(const std::string& self, const QString& folder, qint64 records) {
    std::printf("\nSpreadsheet export (whole process):\n");
    // The last size passes one sheet, so the rows continue on a second.
    for (const qint64 count : {qint64(100'000), records, std::max<qint64>(records, 1'100'000)}) {
        const QString file = folder + QStringLiteral("/EXPORT_%1.DAT").arg(count);
        writeDataFile(file, count);
        const auto figures = runProcess({self, "export", file.toStdString()});
        std::printf("  %9lld records: %.2f s, peak %.0f MiB%s\n", static_cast<long long>(count),
                    figures.seconds, figures.peakMiB, figures.ran ? "" : "  (FAILED)");
        QFile::remove(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("render") && argc == 4) {
        QApplication app(argc, argv);
        return renderProcess(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    if (mode == QLatin1String("window") && argc == 3) {
        QApplication app(argc, argv);
        return windowProcess(QString::fromLocal8Bit(argv[2]));
    }
    if (mode == QLatin1String("export") && argc == 3) {
        QCoreApplication app(argc, argv);
        return exportProcess(QString::fromLocal8Bit(argv[2]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 records = argc > 1 ? std::max(1000LL, std::atoll(argv[1])) : 1'000'000;
    const std::string self =
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("BENCH_01.DAT"));
    writeDataFile(file, records);
    std::printf("Data file: %lld records, %.1f MB\n", static_cast<long long>(records),
                QFileInfo(file).size() / 1e6);
    compareWithKst(self, file, folder.path());
    redrawFigures(file);
    exportFigures(self, folder.path(), records);
    return 0;
}
