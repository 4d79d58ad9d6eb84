// Time of one logging pass with 99 connected, running controllers: every pass is due (interval
// 0 with a clock that moves a second per pass), so each one appends 99 records to 99 files.
// Usage: bench_logger [passes] [folder]   (default 200 passes in a temporary folder)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "engine/SharedState.h"
#include "logging/DataLogger.h"
#include "model/ValueTable.h"

using namespace zr410;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int passes = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/bench-logger-XXXXXX"
                                   : QDir::tempPath() + "/bench-logger-XXXXXX");
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot create a scratch folder\n");
        return 1;
    }

    constexpr int kDevices = 99;
    std::vector<int> numbers(kDevices);
    std::iota(numbers.begin(), numbers.end(), 1);
    SharedState state;
    state.SetDeviceNumbers(numbers);
    ValueTable table;
    table.resetRows(numbers);
    for (int i = 0; i < kDevices; ++i) {
        state.DeviceConnected[static_cast<size_t>(i)] = true;
        state.DeviceRunning[static_cast<size_t>(i)] = true;
        // What the decoders show: one decimal for temperatures, two for pressure.
        const double t = 60.0 + i * 0.7;
        table.SetText(i + 1, 2, QString::number(t, 'f', 1));
        table.SetText(i + 1, 3, QString::number(t - 4.2, 'f', 1));
        table.SetText(i + 1, 4, QString::number(t - 6.9, 'f', 1));
        table.SetText(i + 1, 5, QString::number(24.0 + i % 7, 'f', 1));
        table.SetText(i + 1, 6, QString::number(1.0 + (i % 50) / 100.0, 'f', 2));
        table.SetText(i + 1, 26, QString::number(t + 0.5, 'f', 1));
    }

    qint64 second = 0;
    LoggerClocks clocks = LoggerClocks::System();
    clocks.MonotonicSeconds = [&second] { return second; };
    DataLogger logger(state, table, clocks);

    SaveSettings settings;
    settings.SaveEnabled = QStringLiteral("Yes");
    settings.SaveInterval = 0;
    settings.SaveUnit = QStringLiteral("초");
    settings.SaveFolder = scratch.path();
    settings.SaveFileName = QStringLiteral("ZR410");

    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(passes));
    int failed = 0;
    QElapsedTimer timer;
    for (int p = 0; p < passes; ++p) {
        ++second;
        timer.start();
        const LogPassResult result = logger.LogDueRecords(settings, true);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        failed += result.recordsFailed + (kDevices - result.recordsWritten - result.recordsFailed);
    }

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / passes;
    const double median = sorted[sorted.size() / 2];
    const double p99 = sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
    const qint64 fileSize = QFileInfo(scratch.filePath("ZR410_99.DAT")).size();
    std::printf("logging pass, %d controllers, %d passes, folder %s\n", kDevices, passes,
                qPrintable(scratch.path()));
    std::printf("  mean %.3f ms  median %.3f ms  p99 %.3f ms  max %.3f ms  (target < 20 ms)\n",
                mean, median, p99, sorted.back());
    std::printf("  per record %.1f us; records not written %d; ZR410_99.DAT %lld bytes\n",
                mean * 1000.0 / kDevices, failed, static_cast<long long>(fileSize));
    return failed == 0 ? 0 : 1;
}
