#pragma once

#include <QString>

#include "logging/DataFile.h"

// What the soak benchmark checks in the files it leaves behind, and how it reads the process's
// memory.

// VmRSS of this process in KiB; 0 when /proc is not there.
qint64 ResidentKiB();

// The lines of one data file: whole records (eight TAB-separated fields, a date, a time, CR
// LF) and anything else, which can only be a torn or glued record.
struct FileRecords {
    qint64 whole = 0;
    qint64 torn = 0;
};
FileRecords CheckDataFile(const QString& path);

struct RecordTotals {
    qint64 expected = 0;
    qint64 whole = 0;
    qint64 torn = 0;

    void add(qint64 expectedRecords, const FileRecords& file) {
        expected += expectedRecords;
        whole += file.whole;
        torn += file.torn;
    }
    qint64 lost() const { return expected - whole; }
};

// RecvData.txt and its rotated files: every line a time stamp, a comma, and CR LF at its end.
struct CommLogCheck {
    int files = 0;
    qint64 lines = 0;
    qint64 bytes = 0;
    qint64 torn = 0;
};
CommLogCheck CheckCommLog(const QString& folder);
