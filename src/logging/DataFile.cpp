#include "logging/DataFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <thread>

#include "common/LineAppend.h"
#include "common/NumberEntry.h"

namespace zr410 {

// ---- Writer ----------------------------------------------------------------------------------

QString DataFilePath(const QString& saveFolder, const QString& saveFileName, int deviceNumber) {
    return saveFolder + QLatin1Char('/') + saveFileName + QLatin1Char('_') +
           QStringLiteral("%1").arg(deviceNumber, 2, 10, QLatin1Char('0')) + QStringLiteral(".DAT");
}

QByteArray FormatDataRecord(QDate date, QTime time, const DataRecordValues& values) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d\t%02d:%02d:%02d", date.year(), date.month(),
                  date.day(), time.hour(), time.minute(), time.second());
    QByteArray out(stamp);
    for (const QString& value : values) {
        QByteArray text = value.toUtf8();
        for (char& c : text) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                c = ' ';
            }
        }
        out += '\t';
        out += text;
    }
    out += "\r\n";
    return out;
}

bool AppendDataRecord(const QString& path, QByteArrayView record) {
    return AppendWholeLines(path, record);
}

// ---- Line reader -----------------------------------------------------------------------------

DataLineReader::DataLineReader(QIODevice& device, qsizetype blockSize)
    : device_(device), blockSize_(std::max<qsizetype>(blockSize, 4096)) {
    // A file smaller than a block and the longest line needs no more than its own size (and
    // one byte to see its end): most data files are small, and so is their buffer.
    qsizetype capacity = blockSize_ + kMaxLineLength;
    if (!device.isSequential()) {
        const qint64 left = device.size() - device.pos();
        if (left >= 0 && left < capacity) {
            capacity = static_cast<qsizetype>(left) + 1;
        }
    }
    buffer_.resize(capacity);
}

bool DataLineReader::fill() {
    char* data = buffer_.data();
    if (begin_ > 0) {
        std::memmove(data, data + begin_, static_cast<size_t>(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
    }
    if (atEnd_ || end_ >= buffer_.size()) {
        return false;
    }
    const qint64 n = device_.read(data + end_, buffer_.size() - end_);
    if (n < 0) {
        readFailed_ = true;
        atEnd_ = true;
        return false;
    }
    if (n == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += n;
    return true;
}

bool DataLineReader::next(QByteArrayView& line) {
    terminated_ = false;
    overlong_ = false;
    qsizetype scanned = begin_;
    for (;;) {
        const char* data = buffer_.constData();
        const void* hit = std::memchr(data + scanned, '\n', static_cast<size_t>(end_ - scanned));
        if (hit != nullptr) {
            const qsizetype newline = static_cast<const char*>(hit) - data;
            qsizetype length = newline - begin_;
            consumed_ += length + 1;
            ++lineNumber_;
            terminated_ = true;
            overlong_ = overlong_ || length > kMaxLineLength;
            if (overlong_) {
                line = QByteArrayView();
            } else {
                if (length > 0 && data[begin_ + length - 1] == '\r') {
                    --length;
                }
                line = QByteArrayView(data + begin_, length);
            }
            begin_ = newline + 1;
            return true;
        }
        if (overlong_ || end_ - begin_ >= kMaxLineLength) {
            // No record is this long: drop what we have and look for the end of the line.
            overlong_ = true;
            consumed_ += end_ - begin_;
            begin_ = end_ = 0;
        }
        // Everything pending has been searched; after fill() it starts at begin_ again.
        const qsizetype pending = end_ - begin_;
        if (!fill()) {
            if (end_ > begin_ || overlong_) {
                qsizetype length = end_ - begin_;
                consumed_ += length;
                ++lineNumber_;
                if (length > 0 && buffer_.constData()[begin_ + length - 1] == '\r') {
                    --length;
                }
                line = overlong_ ? QByteArrayView()
                                 : QByteArrayView(buffer_.constData() + begin_, length);
                begin_ = end_;
                return true;
            }
            return false;
        }
        scanned = begin_ + pending;
    }
}

// ---- Line classification ---------------------------------------------------------------------

namespace {

using DataFields = std::array<QByteArrayView, kDataFieldCount>;

// One pass over a line: what kind of line it is, and where its first eight fields lie.
DataLineKind splitLine(QByteArrayView line, bool terminated, bool overlong, DataFields& fields,
                       int& count) {
    count = 0;
    if (overlong) {
        return DataLineKind::Overlong;
    }
    bool blank = true;
    int tabs = 0;
    const char* const data = line.data();
    const qsizetype size = line.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '\t') {
            if (count < kDataFieldCount) {
                fields[static_cast<size_t>(count++)] = QByteArrayView(data + start, i - start);
            }
            start = i + 1;
            ++tabs;
        } else if (u < 0x20 || u == 0x7f) {
            return DataLineKind::Binary;
        } else if (c != ' ') {
            blank = false;
        }
    }
    if (count < kDataFieldCount) {
        fields[static_cast<size_t>(count++)] = QByteArrayView(data + start, size - start);
    }
    if (blank) {
        return DataLineKind::Empty;
    }
    if (tabs == 0) {
        return DataLineKind::NotARecord;
    }
    if (tabs + 1 < kDataFieldCount) {
        return terminated ? DataLineKind::ShortRecord : DataLineKind::Incomplete;
    }
    return DataLineKind::Record;
}

}  // namespace

DataLineKind ClassifyDataLine(QByteArrayView line, bool terminated, bool overlong) {
    DataFields fields;
    int count = 0;
    return splitLine(line, terminated, overlong, fields, count);
}

// ---- Text column -----------------------------------------------------------------------------

void DataTextColumn::reserve(qsizetype count, qsizetype bytesPerText) {
    ends_.reserve(static_cast<size_t>(count));
    chars_.reserve(static_cast<size_t>(count * bytesPerText));
}

bool DataTextColumn::append(QByteArrayView text) {
    const auto length = static_cast<size_t>(std::min(text.size(), kMaxTextLength));
    const size_t begin = chars_.size();
    if (begin + length > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    chars_.insert(chars_.end(), text.data(), text.data() + length);
    ends_.push_back(static_cast<std::uint32_t>(begin + length));
    return true;
}

QByteArrayView DataTextColumn::view(qsizetype index) const {
    const auto i = static_cast<size_t>(index);
    const std::uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return QByteArrayView(chars_.data() + begin, ends_[i] - begin);
}

QString DataTextColumn::at(qsizetype index) const {
    return QString::fromUtf8(view(index));
}

// ---- Date and time column --------------------------------------------------------------------

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int twoDigits(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

// "YYYY-MM-DD" of a real date from 1970 on, as days since then; -1 for anything else.
std::int64_t dayOf(QByteArrayView text) {
    const char* p = text.data();
    if (text.size() != 10 || p[4] != '-' || p[7] != '-' || !isDigit(p[0]) || !isDigit(p[1]) ||
        !isDigit(p[2]) || !isDigit(p[3]) || !isDigit(p[5]) || !isDigit(p[6]) || !isDigit(p[8]) ||
        !isDigit(p[9])) {
        return -1;
    }
    const int year = twoDigits(p) * 100 + twoDigits(p + 2);
    const int month = twoDigits(p + 5);
    const int day = twoDigits(p + 8);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31) {
        return -1;
    }
    const std::int64_t days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    int y = 0, m = 0, d = 0;
    civilFromDays(days, y, m, d);
    return m == month && d == day ? days : -1;  // 2023-02-30 is no date
}

// "HH:MM:SS" of a real time of day, as seconds; -1 for anything else (including "24:00:00"
// and a leap second, which the logger never writes).
std::int64_t secondOf(QByteArrayView text) {
    const char* p = text.data();
    if (text.size() != 8 || p[2] != ':' || p[5] != ':' || !isDigit(p[0]) || !isDigit(p[1]) ||
        !isDigit(p[3]) || !isDigit(p[4]) || !isDigit(p[6]) || !isDigit(p[7])) {
        return -1;
    }
    const int h = twoDigits(p);
    const int m = twoDigits(p + 3);
    const int sec = twoDigits(p + 6);
    return h < 24 && m < 60 && sec < 60 ? h * 3600 + m * 60 + sec : -1;
}

}  // namespace

void DataStampColumn::reserve(qsizetype count) {
    offsets_.reserve(static_cast<size_t>(count));
    runStarts_.reserve((static_cast<size_t>(count) >> kRunShift) + 1);
}

void DataStampColumn::clear() {
    offsets_.clear();
    runStarts_.clear();
    aside_.clear();
    keptIndex_.clear();
    keptDates_.clear();
    keptTimes_.clear();
    lastDay_ = -1;
}

void DataStampColumn::push(std::uint32_t stamp) {
    const size_t index = offsets_.size();
    if ((index & ((size_t(1) << kRunShift) - 1)) == 0) {
        runStarts_.push_back(stamp);
    }
    std::uint32_t& start = runStarts_.back();
    if (start == kNoStamp) {
        start = stamp;
    }
    if (stamp != kNoStamp && stamp >= start && stamp - start < kAside) {
        offsets_.push_back(static_cast<std::uint16_t>(stamp - start));
        return;
    }
    if (stamp != kNoStamp) {
        aside_.emplace_back(index, stamp);
    }
    offsets_.push_back(kAside);
}

bool DataStampColumn::append(QByteArrayView date, QByteArrayView time) {
    std::int64_t day = lastDay_;
    if (date.size() != 10 || day < 0 || std::memcmp(date.data(), lastDate_, 10) != 0) {
        day = dayOf(date);
        if (day >= 0) {
            std::memcpy(lastDate_, date.data(), 10);
            lastDay_ = day;
        }
    }
    const std::int64_t second = day >= 0 ? secondOf(time) : -1;
    const std::int64_t stamp = day * kSecondsPerDay + second;
    if (second >= 0 && stamp < kNoStamp) {
        push(static_cast<std::uint32_t>(stamp));
        return true;
    }
    if (!keptDates_.append(date) || !keptTimes_.append(time)) {
        return false;
    }
    keptIndex_.push_back(offsets_.size());
    push(kNoStamp);
    return true;
}

bool DataStampColumn::append(const DataStampColumn& more) {
    const size_t needed = offsets_.size() + more.offsets_.size();
    if (needed > offsets_.capacity()) {
        // Grown by half at least, as a file followed for days gains a record at a time.
        reserve(static_cast<qsizetype>(std::max(needed, offsets_.capacity() * 3 / 2)));
    }
    size_t aside = 0;
    qsizetype kept = 0;
    for (size_t i = 0; i < more.offsets_.size(); ++i) {
        const std::uint16_t offset = more.offsets_[i];
        if (offset != kAside) {
            push(more.runStarts_[i >> kRunShift] + offset);
        } else if (aside < more.aside_.size() && more.aside_[aside].first == i) {
            push(more.aside_[aside++].second);
        } else {
            if (!keptDates_.append(more.keptDates_.view(kept)) ||
                !keptTimes_.append(more.keptTimes_.view(kept))) {
                return false;
            }
            ++kept;
            keptIndex_.push_back(offsets_.size());
            push(kNoStamp);
        }
    }
    return true;
}

qsizetype DataStampColumn::keptAt(qsizetype index) const {
    const auto it =
        std::lower_bound(keptIndex_.begin(), keptIndex_.end(), static_cast<std::uint64_t>(index));
    return it != keptIndex_.end() && *it == static_cast<std::uint64_t>(index)
               ? static_cast<qsizetype>(it - keptIndex_.begin())
               : -1;
}

std::optional<qint64> DataStampColumn::seconds(qsizetype index) const {
    const auto i = static_cast<size_t>(index);
    const std::uint16_t offset = offsets_[i];
    if (offset != kAside) {
        return static_cast<qint64>(runStarts_[i >> kRunShift]) + offset;
    }
    const auto it = std::lower_bound(aside_.begin(), aside_.end(), i,
                                     [](const auto& kept, size_t at) { return kept.first < at; });
    if (it != aside_.end() && it->first == i) {
        return static_cast<qint64>(it->second);
    }
    return std::nullopt;
}

std::optional<qint64> DataStampColumn::day(qsizetype index) const {
    const auto s = seconds(index);
    return s ? std::optional<qint64>(*s / kSecondsPerDay) : std::nullopt;
}

QString DataStampColumn::date(qsizetype index) const {
    const auto s = seconds(index);
    if (!s) {
        const qsizetype kept = keptAt(index);
        return kept >= 0 ? keptDates_.at(kept) : QString();
    }
    int y = 0, m = 0, d = 0;
    civilFromDays(*s / kSecondsPerDay, y, m, d);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return QString::fromLatin1(text);
}

QString DataStampColumn::time(qsizetype index) const {
    const auto s = seconds(index);
    if (!s) {
        const qsizetype kept = keptAt(index);
        return kept >= 0 ? keptTimes_.at(kept) : QString();
    }
    const auto second = static_cast<int>(*s % kSecondsPerDay);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return QString::fromLatin1(text);
}

// Plain numbers of up to 15 digits, which is what the logger writes, are read here directly:
// the digits form an exact integer and the division by an exact power of ten rounds once, to
// the same double the general parse gives. Anything longer goes to the general parse.
double ParseDataField(QByteArrayView field) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = field.data();
    const char* const end = p + field.size();
    while (p != end && (*p == ' ' || *p == '\t')) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool point = false;
    for (; p != end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            if (++digits > 15) {
                return ParseLeadingNumber(field);
            }
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            fractionDigits += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    const double value = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
    return negative ? -value : value;
}

// ---- Reader ----------------------------------------------------------------------------------

namespace {

constexpr std::size_t kIssuesKept = 10;
constexpr qint64 kProgressStep = 1 << 20;
// Files below this are read on one thread: starting threads would cost more than it saves.
constexpr qint64 kPiecesFrom = 8 << 20;
constexpr qint64 kSampleBytes = 64 << 10;

void noteIssue(std::vector<DataLineIssue>& issues, qint64 lineNumber, DataLineKind kind) {
    if (issues.size() < kIssuesKept) {
        issues.push_back({lineNumber, kind});
    }
}

// A field read once for both its value and its form. `plain` is the count of fraction digits
// of a number written back the same from its value ("-12.50": 2), or -1 for anything else
// (signs other than a leading '-', blanks, leading zeros, "-0", letters, an empty field).
struct FieldScan {
    int plain = -1;
    bool exact = false;  // mantissa and fractionDigits hold the value
    std::int64_t mantissa = 0;
    int fractionDigits = 0;
};

FieldScan scanField(QByteArrayView field) {
    FieldScan scan;
    const char* p = field.data();
    const char* const end = p + field.size();
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    const char* const intStart = p;
    std::int64_t mantissa = 0;
    while (p != end && isDigit(*p)) {
        if (p - intStart < 15) {
            mantissa = mantissa * 10 + (*p - '0');
        }
        ++p;
    }
    const qsizetype intDigits = p - intStart;
    if (intDigits == 0 || intDigits > 15) {
        return scan;
    }
    int decimals = 0;
    bool point = false;
    if (p != end && *p == '.') {
        point = true;
        ++p;
        while (p != end && isDigit(*p) && intDigits + decimals < 15) {
            mantissa = mantissa * 10 + (*p - '0');
            ++decimals;
            ++p;
        }
    }
    if (p != end) {
        return scan;  // more digits than fit, or anything after the number
    }
    scan.exact = true;
    scan.mantissa = negative ? -mantissa : mantissa;
    scan.fractionDigits = decimals;
    const bool leadingZero = intDigits > 1 && *intStart == '0';
    const bool negativeZero = negative && mantissa == 0;
    if (!leadingZero && !negativeZero && !(point && decimals == 0) && decimals <= 6) {
        scan.plain = decimals;
    }
    return scan;
}

// How the values of a file are stored, from its first lines: each column packed with the
// most decimals its plain numbers show there, or as doubles when they would not fit.
std::array<int, kDataSeriesCount> planStorage(QByteArrayView sample) {
    std::array<int, kDataSeriesCount> decimals{};
    std::array<bool, kDataSeriesCount> seen{};
    std::array<double, kDataSeriesCount> largest{};
    while (!sample.isEmpty()) {
        const qsizetype newline = sample.indexOf('\n');
        if (newline < 0) {
            break;  // a piece of a line says little
        }
        QByteArrayView line = sample.first(newline);
        sample = sample.sliced(newline + 1);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        DataFields fields;
        int count = 0;
        if (!IsRecord(splitLine(line, true, false, fields, count))) {
            continue;
        }
        for (int index = 2; index < count; ++index) {
            const auto s = static_cast<size_t>(index - 2);
            const FieldScan scan = scanField(fields[static_cast<size_t>(index)]);
            if (scan.plain >= 0) {
                decimals[s] = std::max(decimals[s], scan.plain);
                // It must still fit once counted in the column's decimals.
                largest[s] =
                    std::max(largest[s], static_cast<double>(std::abs(scan.mantissa)) /
                                             static_cast<double>(ValueColumn::Scale(scan.plain)));
                seen[s] = true;
            }
        }
    }
    for (size_t s = 0; s < kDataSeriesCount; ++s) {
        if (!seen[s]) {
            decimals[s] = 1;  // the usual reading until the file says otherwise
        } else if (decimals[s] > ValueColumn::kMaxDecimals ||
                   std::round(largest[s] * static_cast<double>(ValueColumn::Scale(decimals[s]))) >
                       32767.0) {
            decimals[s] = -1;
        }
    }
    return decimals;
}

// What one stretch of a file gave; a whole file read on one thread is a single piece.
struct Piece {
    DataFileContents contents;  // valueTexts keyed from the piece's first record
    qint64 lines = 0;
    qint64 recordsRead = 0;
    qint64 shortRecords = 0;
    qint64 linesSkipped = 0;
    std::vector<DataLineIssue> issues;  // numbered from the piece's first line
    qint64 bytesComplete = -1;          // end of its last terminated line, from the file start
    bool tooLarge = false;
    bool readFailed = false;

    void reset() {
        for (ValueColumn& values : contents.series) {
            values.clear();
        }
        contents.stamps.clear();
        contents.decimals.fill(-1);
        contents.valueTexts.clear();
        lines = recordsRead = shortRecords = linesSkipped = 0;
        issues.clear();
        bytesComplete = -1;
        tooLarge = readFailed = false;
    }
};

void startPiece(DataFileContents& contents, const std::array<int, kDataSeriesCount>& storage,
                qsizetype estimate) {
    for (size_t s = 0; s < kDataSeriesCount; ++s) {
        contents.series[s].setDecimals(storage[s]);
        contents.series[s].reserve(static_cast<size_t>(estimate));
    }
    contents.stamps.reserve(estimate);
}

void noteValueText(DataFileContents& contents, std::size_t series, QByteArrayView field,
                   int decimals) {
    int& usual = contents.decimals[series];
    if (decimals >= 0 && usual < 0) {
        usual = decimals;
    }
    if (decimals < 0 || decimals != usual) {
        const qint64 key = static_cast<qint64>(contents.size() - 1) * kDataSeriesCount +
                           static_cast<qint64>(series);
        contents.valueTexts.emplace(key, field.toByteArray());
    }
}

// Appends one record's fields; false when the label storage is exhausted.
bool appendRecord(DataFileContents& contents, const DataFields& fields, int count) {
    if (!contents.stamps.append(fields[0], fields[1])) {
        return false;
    }
    for (size_t s = 0; s < kDataSeriesCount; ++s) {
        const QByteArrayView field =
            static_cast<int>(s) + 2 < count ? fields[s + 2] : QByteArrayView();
        const FieldScan scan = scanField(field);
        ValueColumn& values = contents.series[s];
        if (scan.exact) {
            values.appendDecimal(scan.mantissa, scan.fractionDigits);
        } else {
            values.push_back(field.isEmpty() ? 0.0 : ParseDataField(field));
        }
        noteValueText(contents, s, field, scan.plain);
    }
    return true;
}

// The extremes of each column, worked out once a piece is read rather than per value.
void findExtremes(DataFileContents& contents) {
    for (size_t s = 0; s < kDataSeriesCount; ++s) {
        const ValueColumn::Span span = contents.series[s].span(0, contents.series[s].size());
        contents.minimum[s] = span.low;
        contents.maximum[s] = span.high;
    }
}

// Reads lines that start before `end` (bytes from where the reader started, which is `base`
// bytes into the file). Returns false when it was cancelled.
bool readPiece(DataLineReader& reader, qint64 base, qint64 end, Piece& piece,
               const std::function<bool(qint64)>& onProgress) {
    QByteArrayView line;
    qint64 nextReport = reader.bytesConsumed() + kProgressStep;
    while (reader.bytesConsumed() < end && reader.next(line)) {
        ++piece.lines;
        DataFields fields;
        int count = 0;
        const DataLineKind kind =
            splitLine(line, reader.lineTerminated(), reader.lineOverlong(), fields, count);
        if (reader.lineTerminated()) {
            piece.bytesComplete = base + reader.bytesConsumed();
        }
        if (!IsRecord(kind)) {
            ++piece.linesSkipped;
            noteIssue(piece.issues, piece.lines, kind);
        } else {
            if (kind == DataLineKind::ShortRecord) {
                ++piece.shortRecords;
                noteIssue(piece.issues, piece.lines, kind);
            }
            if (!appendRecord(piece.contents, fields, count)) {
                piece.tooLarge = true;
                break;
            }
            ++piece.recordsRead;
        }
        if (onProgress && reader.bytesConsumed() >= nextReport) {
            nextReport = reader.bytesConsumed() + kProgressStep;
            if (!onProgress(reader.bytesConsumed())) {
                return false;
            }
        }
    }
    piece.readFailed = reader.readFailed();
    for (auto& values : piece.contents.series) {
        values.settle();
    }
    findExtremes(piece.contents);
    return true;
}

// Adds a piece after what was read before it; `adopt` takes over its storage instead.
void joinPiece(DataFileLoadResult& result, qint64& linesBefore, Piece& piece, bool adopt) {
    if (adopt) {
        result.contents = std::move(piece.contents);
    } else {
        AppendContents(result.contents, piece.contents);
    }
    result.recordsRead += piece.recordsRead;
    result.shortRecords += piece.shortRecords;
    result.linesSkipped += piece.linesSkipped;
    for (const DataLineIssue& issue : piece.issues) {
        noteIssue(result.firstIssues, issue.lineNumber + linesBefore, issue.kind);
    }
    linesBefore += piece.lines;
    if (piece.bytesComplete >= 0) {
        result.bytesComplete = piece.bytesComplete;
    }
    if (piece.tooLarge) {
        result.status = DataFileStatus::TooLarge;
    }
}

qsizetype estimateRecords(QByteArrayView sample, qint64 total) {
    const qsizetype lines = std::max<qsizetype>(sample.count('\n'), 1);
    const double perLine = static_cast<double>(sample.size()) / static_cast<double>(lines);
    return static_cast<qsizetype>(static_cast<double>(total) / std::max(perLine, 8.0) * 1.05) +
           1024;
}

void readOnOneThread(QIODevice& device, qsizetype blockSize, const DataFileProgress& progress,
                     DataFileLoadResult& result) {
    const qint64 total = device.size();
    const QByteArray sample = device.peek(kSampleBytes);
    Piece piece;
    startPiece(piece.contents, planStorage(sample),
               device.isSequential() ? 1024 : estimateRecords(sample, total));
    DataLineReader reader(device, blockSize);
    const auto onProgress = [&](qint64 done) { return progress(done, std::max(total, done)); };
    const bool finished = readPiece(reader, 0, std::numeric_limits<qint64>::max(), piece,
                                    progress ? std::function<bool(qint64)>(onProgress) : nullptr);
    qint64 linesBefore = 0;
    joinPiece(result, linesBefore, piece, true);
    if (!finished) {
        result.status = DataFileStatus::Cancelled;
    } else if (reader.readFailed()) {
        result.status = DataFileStatus::ReadError;
        result.errorText = device.errorString();
    }
}

// A large file in pieces on every core. Each piece is read by a thread of its own from its
// own handle, then joined in file order as soon as the pieces before it are: only the pieces
// in flight are held twice, never the whole file.
void readInPieces(const QString& path, qint64 total, int threads, qint64 pieceBytes,
                  const DataFileProgress& progress, DataFileLoadResult& result) {
    QFile first(path);
    if (!first.open(QIODevice::ReadOnly)) {
        result.status = DataFileStatus::Unreadable;
        result.errorText = first.errorString();
        return;
    }
    const QByteArray sample = first.read(kSampleBytes);
    first.close();
    const auto storage = planStorage(sample);
    const auto pieces = static_cast<int>((total + pieceBytes - 1) / pieceBytes);
    const qsizetype estimate = estimateRecords(sample, total);
    startPiece(result.contents, storage, estimate);

    std::mutex mutex;
    std::condition_variable joined;
    int nextToJoin = 0;
    qint64 linesBefore = 0;
    std::atomic<int> nextPiece{0};
    std::atomic<bool> stop{false};
    std::atomic<qint64> bytesDone{0};
    const auto halt = [&](DataFileStatus status, const QString& why = {}) {
        std::lock_guard lock(mutex);
        if (result.status == DataFileStatus::Ok) {
            result.status = status;
            result.errorText = why;
        }
        stop = true;
        joined.notify_all();
    };
    const auto work = [&](bool reports) {
        try {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                halt(DataFileStatus::ReadError, file.errorString());
                return;
            }
            // One piece's storage serves every piece of this thread: memory once touched
            // stays, rather than fresh pages for every piece.
            Piece piece;
            for (int k = nextPiece++; k < pieces && !stop; k = nextPiece++) {
                const qint64 begin = k * pieceBytes;
                const qint64 end = std::min(total, begin + pieceBytes);
                // A piece starts after the first line end at or past its nominal start; the
                // line running over it belongs to the piece before.
                const qint64 base = std::max<qint64>(begin - 1, 0);
                piece.reset();
                startPiece(piece.contents, storage, estimate / pieces + 1024);
                bool readable = file.seek(base);
                DataLineReader reader(file);
                QByteArrayView partial;
                if (readable && k > 0) {
                    reader.next(partial);
                    readable = !reader.readFailed();
                }
                if (!readable) {
                    halt(DataFileStatus::ReadError, file.errorString());
                    return;
                }
                readPiece(reader, base, end - base, piece, nullptr);
                const bool failed = piece.readFailed;
                {
                    std::unique_lock lock(mutex);
                    joined.wait(lock, [&] { return nextToJoin == k || stop; });
                    if (stop) {
                        return;
                    }
                    joinPiece(result, linesBefore, piece, false);
                    ++nextToJoin;
                    joined.notify_all();
                }
                if (failed) {
                    halt(DataFileStatus::ReadError, file.errorString());
                    return;
                }
                bytesDone += end - begin;
                if (reports && progress && !progress(bytesDone, total)) {
                    halt(DataFileStatus::Cancelled);
                    return;
                }
            }
        } catch (const std::bad_alloc&) {
            halt(DataFileStatus::OutOfMemory);
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, pieces); ++t) {
        helpers.emplace_back(work, false);
    }
    work(true);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (result.status == DataFileStatus::Ok && result.contents.size() > 0xFFFFFFFEll) {
        result.status = DataFileStatus::TooLarge;
    }
}

// An empty column has no extremes; the chart then shows its default range.
void settleExtremes(DataFileContents& contents) {
    for (size_t s = 0; s < kDataSeriesCount; ++s) {
        if (contents.series[s].empty() || !std::isfinite(contents.minimum[s])) {
            contents.minimum[s] = 0.0;
            contents.maximum[s] = 0.0;
        }
    }
}

void finish(DataFileLoadResult& result) {
    if (result.status == DataFileStatus::Cancelled ||
        result.status == DataFileStatus::OutOfMemory) {
        result.contents = DataFileContents();
    }
    settleExtremes(result.contents);
}

}  // namespace

void AppendContents(DataFileContents& into, const DataFileContents& more) {
    const qsizetype before = into.size();
    const bool wasEmpty = before == 0;
    for (std::size_t s = 0; s < kDataSeriesCount; ++s) {
        int& usual = into.decimals[s];
        const int theirs = more.decimals[s];
        if (theirs >= 0 && usual >= 0 && theirs != usual) {
            // Their plain numbers were written with other decimals than ours: keep their
            // texts, which their values with their decimals give back.
            for (qsizetype i = 0; i < more.size(); ++i) {
                const qint64 key = i * kDataSeriesCount + static_cast<qint64>(s);
                if (more.valueTexts.find(key) == more.valueTexts.end()) {
                    into.valueTexts.emplace(
                        (before + i) * kDataSeriesCount + static_cast<qint64>(s),
                        QByteArray::number(more.series[s][static_cast<size_t>(i)], 'f', theirs));
                }
            }
        } else if (usual < 0) {
            usual = theirs;
        }
    }
    for (const auto& [key, text] : more.valueTexts) {
        into.valueTexts.emplace(key + before * kDataSeriesCount, text);
    }
    into.stamps.append(more.stamps);
    for (std::size_t s = 0; s < kDataSeriesCount; ++s) {
        if (more.series[s].empty()) {
            continue;
        }
        into.series[s].append(more.series[s]);
        into.minimum[s] = wasEmpty ? more.minimum[s] : std::min(into.minimum[s], more.minimum[s]);
        into.maximum[s] = wasEmpty ? more.maximum[s] : std::max(into.maximum[s], more.maximum[s]);
    }
}

QString DataValueText(const DataFileContents& contents, qsizetype record, int series) {
    const auto kept =
        contents.valueTexts.find(static_cast<qint64>(record) * kDataSeriesCount + series);
    if (kept != contents.valueTexts.end()) {
        return QString::fromUtf8(kept->second);
    }
    const auto s = static_cast<std::size_t>(series);
    return QString::number(contents.series[s][static_cast<std::size_t>(record)], 'f',
                           std::max(0, contents.decimals[s]));
}

DataFileLoadResult ReadDataFile(const QString& path, const DataFileProgress& progress,
                                DataFileReading reading) {
    DataFileLoadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = DataFileStatus::Missing;
        result.errorText = QStringLiteral("No such file or directory");
        return result;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        result.status =
            QFileInfo::exists(path) ? DataFileStatus::Unreadable : DataFileStatus::Missing;
        result.errorText = info.isDir() ? QStringLiteral("Is a directory") : file.errorString();
        return result;
    }
    const qint64 total = file.size();
    const int threads = reading.threads > 0
                            ? reading.threads
                            : static_cast<int>(std::min(std::thread::hardware_concurrency(), 8u));
    const qint64 pieceBytes = reading.pieceBytes > 0
                                  ? reading.pieceBytes
                                  : std::clamp<qint64>(total / (threads * 8), 1 << 20, 16 << 20);
    if (file.isSequential() || threads < 2 || (total < kPiecesFrom && reading.pieceBytes <= 0)) {
        return ReadDataFile(file, progress);
    }
    file.close();
    try {
        readInPieces(path, total, threads, pieceBytes, progress, result);
    } catch (const std::bad_alloc&) {
        result.status = DataFileStatus::OutOfMemory;
    }
    finish(result);
    if (progress && result.status != DataFileStatus::Cancelled) {
        progress(total, total);
    }
    return result;
}

DataFileLoadResult ReadDataFile(QIODevice& device, const DataFileProgress& progress,
                                qsizetype blockSize) {
    DataFileLoadResult result;
    try {
        readOnOneThread(device, blockSize, progress, result);
    } catch (const std::bad_alloc&) {
        result.status = DataFileStatus::OutOfMemory;
    }
    finish(result);
    if (progress && result.status != DataFileStatus::Cancelled) {
        progress(device.size(), device.size());
    }
    return result;
}

}  // namespace zr410
