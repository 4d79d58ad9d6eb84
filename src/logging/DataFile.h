#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/ValueColumn.h"

class QIODevice;

namespace zr410 {

// A data file holds one record per line: date, time and six values, TAB-separated, CR LF ended.
// The monitoring program's logger writes it and the viewer reads it; both sides live here so
// that each is tested against the other.
inline constexpr int kDataSeriesCount = 6;
inline constexpr int kDataFieldCount = 8;

// ---- Writer ----------------------------------------------------------------------------------

// SaveFolder/SaveFileName_NN.DAT, NN being the device number with at least two digits. The
// separator is always inserted, so a root folder gives "//ZR410_01.DAT", which the file system
// accepts as designed.
QString DataFilePath(const QString& saveFolder, const QString& saveFileName, int deviceNumber);

// The value texts of one record in file order: mold, medium, return, supply, pressure, SV.
using DataRecordValues = std::array<QString, kDataSeriesCount>;

// "YYYY-MM-DD\tHH:MM:SS\tv1\t...\tv6\r\n". Value texts are copied as displayed; a TAB, CR or LF
// inside one would split the record, so control characters become blanks.
QByteArray FormatDataRecord(QDate date, QTime time, const DataRecordValues& values);

// Opens the file for appending (creating the file, never the folder), writes the record and
// closes it. A record that cannot be written whole is cut off again, and a record torn by a
// power cut is ended before the new one, so no two records are ever glued together. Returns
// false on any failure; never throws.
bool AppendDataRecord(const QString& path, QByteArrayView record);

// ---- Reader ----------------------------------------------------------------------------------

// Reads a device's text line by line in blocks: LF or CR LF endings, constant memory however
// long the file. A line longer than kMaxLineLength is reported as overlong and discarded.
class DataLineReader {
public:
    static constexpr qsizetype kMaxLineLength = 64 * 1024;

    explicit DataLineReader(QIODevice& device, qsizetype blockSize = 1 << 20);

    // The next line without its line end; false at the end of the input or on a read error.
    // The view stays valid until the next call.
    bool next(QByteArrayView& line);

    bool lineTerminated() const { return terminated_; }
    bool lineOverlong() const { return overlong_; }
    qint64 lineNumber() const { return lineNumber_; }
    qint64 bytesConsumed() const { return consumed_; }
    bool readFailed() const { return readFailed_; }

private:
    bool fill();

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype begin_ = 0;
    qsizetype end_ = 0;
    qsizetype blockSize_;
    bool atEnd_ = false;
    bool readFailed_ = false;
    bool terminated_ = false;
    bool overlong_ = false;
    qint64 lineNumber_ = 0;
    qint64 consumed_ = 0;
};

// Calls fn(index, field) for each TAB-separated field of a line, empty fields included, until
// fn returns false. Returns the number of fields visited.
template <typename Fn>
int ForEachDataField(QByteArrayView line, Fn&& fn) {
    int index = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = line.indexOf('\t', start);
        const qsizetype end = tab < 0 ? line.size() : tab;
        if (!fn(index, line.sliced(start, end - start))) {
            return index + 1;
        }
        ++index;
        if (tab < 0) {
            return index;
        }
        start = tab + 1;
    }
}

// The value of a field: ParseLeadingNumber's result, computed faster for plain numbers.
double ParseDataField(QByteArrayView field);

// What a line of a data file turned out to be.
enum class DataLineKind {
    Record,       // eight fields or more
    ShortRecord,  // two to seven fields: the missing values read as 0
    Empty,        // nothing but blanks
    NotARecord,   // a single field: no time, no values
    Binary,       // control characters: not text
    Overlong,     // longer than any record could be
    Incomplete,   // a short last line without its line end: a record still being written
};

DataLineKind ClassifyDataLine(QByteArrayView line, bool terminated, bool overlong);
inline bool IsRecord(DataLineKind kind) {
    return kind == DataLineKind::Record || kind == DataLineKind::ShortRecord;
}

// Short texts of many records in one block, so a million labels cost bytes, not allocations.
class DataTextColumn {
public:
    // Texts are cut at this length; a longer date or time is not a date or time anyway.
    static constexpr qsizetype kMaxTextLength = 64;

    void reserve(qsizetype count, qsizetype bytesPerText);
    // False when the block would pass 4 GiB.
    bool append(QByteArrayView text);
    void clear() {
        chars_.clear();
        ends_.clear();
    }
    qsizetype size() const { return static_cast<qsizetype>(ends_.size()); }
    QByteArrayView view(qsizetype index) const;
    QString at(qsizetype index) const;

private:
    std::vector<char> chars_;
    std::vector<std::uint32_t> ends_;
};

// The date and time fields of every record. A "YYYY-MM-DD" and "HH:MM:SS" naming a real moment
// from 1970 on, which is what the logger writes, is kept as seconds: two bytes counted from the
// first moment of its run of 256 records (a run spans minutes), the full count aside when a
// run spans more than 18 hours. Any other pair of texts is kept as it stood (cut at
// kMaxTextLength), so the table shows it unchanged.
class DataStampColumn {
public:
    void reserve(qsizetype count);
    // False when the texts kept would pass 4 GiB.
    bool append(QByteArrayView date, QByteArrayView time);
    bool append(const DataStampColumn& more);
    void clear();  // keeps the storage for the next records
    qsizetype size() const { return static_cast<qsizetype>(offsets_.size()); }
    QString date(qsizetype index) const;
    QString time(qsizetype index) const;
    // Seconds of wall-clock time since 1970-01-01 00:00:00, when the texts are a real moment.
    std::optional<qint64> seconds(qsizetype index) const;
    // Days since 1970-01-01 of a real date, for telling where a new day begins.
    std::optional<qint64> day(qsizetype index) const;

private:
    static constexpr unsigned kRunShift = 8;
    static constexpr std::uint16_t kAside = 0xFFFF;
    static constexpr std::uint32_t kNoStamp = 0xFFFFFFFFu;
    qsizetype keptAt(qsizetype index) const;
    void push(std::uint32_t stamp);  // kNoStamp for a record kept as texts

    std::vector<std::uint16_t> offsets_;    // seconds after the run's first moment, or kAside
    std::vector<std::uint32_t> runStarts_;  // per run: its first moment (kNoStamp: none yet)
    std::vector<std::pair<std::uint64_t, std::uint32_t>> aside_;  // sorted: index, seconds
    std::vector<std::uint64_t> keptIndex_;  // sorted: the records whose texts are kept
    DataTextColumn keptDates_;
    DataTextColumn keptTimes_;
    // The last date read and its day, as most records repeat the date of the one before.
    char lastDate_[10] = {};
    std::int64_t lastDay_ = -1;
};

// The records of one file, column by column, ready for one hand-over to a chart.
struct DataFileContents {
    std::array<ValueColumn, kDataSeriesCount> series;
    DataStampColumn stamps;  // fields 1 and 2: the data table's and the chart's labels
    std::array<double, kDataSeriesCount> minimum{};
    std::array<double, kDataSeriesCount> maximum{};
    // How each value was written, so the data table shows the file's own texts ("25.0",
    // "1.30", "--") at almost no cost: a plain number with its column's usual decimals is
    // written again from its value; any other field ("--", "", "007", "1.3" in a column of
    // "1.30") is kept as it stood, under record * kDataSeriesCount + series.
    std::array<int, kDataSeriesCount> decimals{-1, -1, -1, -1, -1, -1};
    std::unordered_map<qint64, QByteArray> valueTexts;

    qsizetype size() const { return stamps.size(); }
};

// The text a record's value had in its file.
QString DataValueText(const DataFileContents& contents, qsizetype record, int series);

enum class DataFileStatus { Ok, Missing, Unreadable, ReadError, Cancelled, TooLarge, OutOfMemory };

struct DataLineIssue {
    qint64 lineNumber = 0;
    DataLineKind kind = DataLineKind::Empty;
};

struct DataFileLoadResult {
    DataFileStatus status = DataFileStatus::Ok;
    QString errorText;  // the system's reason when the file could not be opened or read
    qint64 recordsRead = 0;
    qint64 shortRecords = 0;  // records with fewer than eight fields, counted in recordsRead
    qint64 linesSkipped = 0;
    std::vector<DataLineIssue> firstIssues;  // the first few skipped or short lines
    // Bytes up to the end of the last line that had its line end: where reading goes on when
    // the file grows (a torn last line is read again once it is whole).
    qint64 bytesComplete = 0;
    DataFileContents contents;
};

// Adds the records of `more` after those of `into`, with the extremes of both.
void AppendContents(DataFileContents& into, const DataFileContents& more);

// Called now and then with the bytes read so far and the file size; returning false cancels.
using DataFileProgress = std::function<bool(qint64 done, qint64 total)>;

// Reads a whole data file in one pass. Fields are taken by position; values with the
// leading-number parse (missing, empty or "--" read 0). Lines that are no record are skipped
// and counted. Contents stay filled after a read error, up to it. A large file is read in
// pieces on every core and the pieces joined in file order.
// How a file is read: on how many threads, in pieces of how many bytes; 0 leaves it to the
// file's size and the machine.
struct DataFileReading {
    int threads = 0;
    qint64 pieceBytes = 0;
};
DataFileLoadResult ReadDataFile(const QString& path, const DataFileProgress& progress = {},
                                DataFileReading reading = {});
// The same from a device already open for reading, in blocks of the given size.
DataFileLoadResult ReadDataFile(QIODevice& device, const DataFileProgress& progress = {},
                                qsizetype blockSize = 1 << 20);

}  // namespace zr410
