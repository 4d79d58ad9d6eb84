#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

#include "logging/SaveSettings.h"

namespace zr410 {

struct SharedState;
class ValueTable;

// The two clocks of the logger. The interval is measured on a monotonic clock, so a wall clock
// set back (end of daylight saving time, a time-server correction) cannot hold logging up until
// it catches up again; the records themselves carry the wall-clock date and time.
struct LoggerClocks {
    std::function<qint64()> MonotonicSeconds;  // whole seconds, never running backwards
    std::function<QDateTime()> WallTime;       // local date and time for the record stamps

    static LoggerClocks System();
};

// What one logging pass did.
struct LogPassResult {
    bool due = false;  // the interval had passed: the next interval starts from this pass
    int recordsWritten = 0;
    int recordsFailed = 0;  // records dropped: missing folder, unwritable file, full disk
};

// Appends the values of every connected, running controller to its data file whenever the
// save interval has passed: one step of the main window's periodic tick. It reads the device
// list and the value table as they stand at each pass and keeps nothing but the time of the
// last due pass, so new settings apply from the next pass on.
class DataLogger {
public:
    DataLogger(const SharedState& state, const ValueTable& sprdMulti,
               LoggerClocks clocks = LoggerClocks::System());

    // The logging step: does nothing unless logging is enabled ("Yes", case-sensitive) and
    // more whole seconds than the interval have passed since the last due pass (the first
    // pass after start-up is due at once). A due pass restarts the interval even when the
    // port is closed, and then writes nothing; with the port open it writes one record per
    // connected and running controller, in ascending device index order. A record that
    // cannot be written is dropped; the others of the pass are still tried.
    LogPassResult LogDueRecords(const SaveSettings& settings, bool portOpen);

    // Appends one record built from the value table's row (device index + 1): the wall-clock
    // date and time of this moment, then the texts of columns 2 to 6 and 26 as displayed.
    // Opens, appends and closes; never creates the folder. False when nothing was written.
    bool WriteDataRecord(const QString& path, int row);

    // Totals since start-up, for a status display and for tests.
    qint64 RecordsWritten() const { return recordsWritten_; }
    qint64 RecordsFailed() const { return recordsFailed_; }
    const LogPassResult& LastDuePass() const { return lastDuePass_; }

private:
    const SharedState& state_;
    const ValueTable& sprdMulti_;
    LoggerClocks clocks_;
    std::optional<qint64> LastSaveTime;  // monotonic seconds of the last due pass
    LogPassResult lastDuePass_;
    qint64 recordsWritten_ = 0;
    qint64 recordsFailed_ = 0;
};

}  // namespace zr410
