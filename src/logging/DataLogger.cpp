#include "logging/DataLogger.h"

#include <array>
#include <chrono>
#include <vector>

#include "engine/SharedState.h"
#include "logging/DataFile.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

static_assert(kLoggedRegisters.size() == kDataSeriesCount);

bool flagSet(const std::vector<bool>& flags, int index) {
    return index < static_cast<int>(flags.size()) && flags[static_cast<size_t>(index)];
}

}  // namespace

LoggerClocks LoggerClocks::System() {
    return {[] {
                const auto since = std::chrono::steady_clock::now().time_since_epoch();
                return static_cast<qint64>(
                    std::chrono::duration_cast<std::chrono::seconds>(since).count());
            },
            [] { return QDateTime::currentDateTime(); }};
}

DataLogger::DataLogger(const SharedState& state, const ValueTable& sprdMulti, LoggerClocks clocks)
    : state_(state), sprdMulti_(sprdMulti), clocks_(std::move(clocks)) {}

LogPassResult DataLogger::LogDueRecords(const SaveSettings& settings, bool portOpen) {
    LogPassResult pass;
    if (!settings.Enabled()) {
        return pass;
    }
    const qint64 now = clocks_.MonotonicSeconds();
    // Whole seconds, as the operators know it: with a 1-second tick and a 10-second interval
    // the records come 11 s apart, because equal is not yet due.
    if (LastSaveTime && now - *LastSaveTime <= settings.IntervalSeconds()) {
        return pass;
    }
    LastSaveTime = now;
    pass.due = true;
    if (portOpen) {
        for (int i = 0; i <= state_.LastDeviceIndex(); ++i) {
            if (!flagSet(state_.DeviceConnected, i) || !flagSet(state_.DeviceRunning, i)) {
                continue;
            }
            const QString path = DataFilePath(settings.SaveFolder, settings.SaveFileName,
                                              state_.DeviceNumbers[static_cast<size_t>(i)]);
            if (WriteDataRecord(path, i + 1)) {
                ++pass.recordsWritten;
            } else {
                ++pass.recordsFailed;
            }
        }
    }
    lastDuePass_ = pass;
    return pass;
}

bool DataLogger::WriteDataRecord(const QString& path, int row) {
    // A row the table does not have would give a record of empty values that looks real.
    bool ok = sprdMulti_.isRow(row);
    if (ok) {
        // One reading of the clock for both fields, so a record written across midnight
        // cannot pair the old date with the new day's time.
        const QDateTime now = clocks_.WallTime();
        DataRecordValues values;
        for (size_t k = 0; k < values.size(); ++k) {
            values[k] = sprdMulti_.Text(row, ValueTable::StatusColumn(kLoggedRegisters[k]));
        }
        ok = AppendDataRecord(path, FormatDataRecord(now.date(), now.time(), values));
    }
    ++(ok ? recordsWritten_ : recordsFailed_);
    return ok;
}

}  // namespace zr410
