#include "logging/DataFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

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

DataLineKind ClassifyDataLine(QByteArrayView line, bool terminated, bool overlong) {
    if (overlong) {
        return DataLineKind::Overlong;
    }
    bool blank = true;
    int tabs = 0;
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\t') {
            ++tabs;
        } else if (u < 0x20 || u == 0x7f) {
            return DataLineKind::Binary;
        } else if (c != ' ') {
            blank = false;
        }
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

void noteIssue(DataFileLoadResult& result, qint64 lineNumber, DataLineKind kind) {
    if (result.firstIssues.size() < kIssuesKept) {
        result.firstIssues.push_back({lineNumber, kind});
    }
}

// Fraction digits of a field that is a plain number written back the same from its value
// ("-12.50": 2), or -1 for anything else (signs other than a leading '-', blanks, leading
// zeros, "-0", letters, an empty field).
int plainDecimals(QByteArrayView field) {
    qsizetype i = field.startsWith('-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
        ++i;
    }
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 15 || (intDigits > 1 && field[intStart] == '0')) {
        return -1;
    }
    int decimals = 0;
    bool nonZero = intDigits > 1 || field[intStart] != '0';
    if (i < field.size() && field[i] == '.') {
        ++i;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
            nonZero = nonZero || field[i] != '0';
            ++decimals;
            ++i;
        }
        if (decimals == 0 || decimals > 6) {
            return -1;
        }
    }
    if (i != field.size() || (intStart == 1 && !nonZero)) {
        return -1;
    }
    return decimals;
}

void noteValueText(DataFileContents& contents, std::size_t series, QByteArrayView field) {
    const int decimals = plainDecimals(field);
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
bool appendRecord(DataFileContents& contents, QByteArrayView line) {
    std::array<QByteArrayView, kDataFieldCount> fields{};
    const int count = ForEachDataField(line, [&](int index, QByteArrayView field) {
        fields[static_cast<size_t>(index)] = field;
        return index + 1 < kDataFieldCount;
    });
    if (!contents.dates.append(fields[0]) || !contents.times.append(fields[1])) {
        return false;
    }
    for (int s = 0; s < kDataSeriesCount; ++s) {
        const int field = s + 2;
        const double value =
            field < count ? ParseDataField(fields[static_cast<size_t>(field)]) : 0.0;
        contents.series[static_cast<size_t>(s)].push_back(value);
        noteValueText(contents, static_cast<size_t>(s),
                      field < count ? fields[static_cast<size_t>(field)] : QByteArrayView());
        contents.minimum[static_cast<size_t>(s)] =
            std::min(contents.minimum[static_cast<size_t>(s)], value);
        contents.maximum[static_cast<size_t>(s)] =
            std::max(contents.maximum[static_cast<size_t>(s)], value);
    }
    return true;
}

void readRecords(QIODevice& file, qsizetype blockSize, const DataFileProgress& progress,
                 DataFileLoadResult& result) {
    const qint64 total = file.size();
    // Sized from the file before the first line: a record is rarely under 24 bytes, and
    // reserved pages that stay untouched cost no memory.
    const qsizetype estimate = static_cast<qsizetype>(total / 24) + 16;
    DataFileContents& contents = result.contents;
    for (auto& values : contents.series) {
        values.reserve(static_cast<size_t>(estimate));
    }
    contents.dates.reserve(estimate, 10);
    contents.times.reserve(estimate, 8);
    contents.minimum.fill(std::numeric_limits<double>::infinity());
    contents.maximum.fill(-std::numeric_limits<double>::infinity());

    DataLineReader reader(file, blockSize);
    QByteArrayView line;
    qint64 nextReport = kProgressStep;
    while (reader.next(line)) {
        const DataLineKind kind =
            ClassifyDataLine(line, reader.lineTerminated(), reader.lineOverlong());
        if (reader.lineTerminated()) {
            result.bytesComplete = reader.bytesConsumed();
        }
        if (!IsRecord(kind)) {
            ++result.linesSkipped;
            noteIssue(result, reader.lineNumber(), kind);
        } else {
            if (kind == DataLineKind::ShortRecord) {
                ++result.shortRecords;
                noteIssue(result, reader.lineNumber(), kind);
            }
            if (!appendRecord(contents, line)) {
                result.status = DataFileStatus::TooLarge;
                return;
            }
            ++result.recordsRead;
        }
        if (progress && reader.bytesConsumed() >= nextReport) {
            nextReport = reader.bytesConsumed() + kProgressStep;
            if (!progress(reader.bytesConsumed(), std::max(total, reader.bytesConsumed()))) {
                result.status = DataFileStatus::Cancelled;
                return;
            }
        }
    }
    if (reader.readFailed()) {
        result.status = DataFileStatus::ReadError;
        result.errorText = file.errorString();
    }
}

}  // namespace

void AppendContents(DataFileContents& into, const DataFileContents& more) {
    const bool wasEmpty = into.size() == 0;
    const qint64 before = into.size();
    for (qsizetype i = 0; i < more.size(); ++i) {
        for (std::size_t s = 0; s < kDataSeriesCount; ++s) {
            const QString text = DataValueText(more, i, static_cast<int>(s));
            const QByteArray bytes = text.toUtf8();
            if (into.decimals[s] < 0 && plainDecimals(bytes) >= 0) {
                into.decimals[s] = plainDecimals(bytes);
            }
            if (plainDecimals(bytes) != into.decimals[s]) {
                into.valueTexts.emplace((before + i) * kDataSeriesCount + static_cast<qint64>(s),
                                        bytes);
            }
        }
    }
    for (qsizetype i = 0; i < more.size(); ++i) {
        into.dates.append(more.dates.view(i));
        into.times.append(more.times.view(i));
    }
    for (std::size_t s = 0; s < kDataSeriesCount; ++s) {
        if (more.series[s].empty()) {
            continue;
        }
        into.series[s].insert(into.series[s].end(), more.series[s].begin(), more.series[s].end());
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

DataFileLoadResult ReadDataFile(const QString& path, const DataFileProgress& progress) {
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
    return ReadDataFile(file, progress);
}

DataFileLoadResult ReadDataFile(QIODevice& device, const DataFileProgress& progress,
                                qsizetype blockSize) {
    DataFileLoadResult result;
    try {
        readRecords(device, blockSize, progress, result);
    } catch (const std::bad_alloc&) {
        result.status = DataFileStatus::OutOfMemory;
    }
    if (result.status == DataFileStatus::Cancelled ||
        result.status == DataFileStatus::OutOfMemory) {
        result.contents = DataFileContents();
    }
    DataFileContents& contents = result.contents;
    for (int s = 0; s < kDataSeriesCount; ++s) {
        if (contents.series[static_cast<size_t>(s)].empty()) {
            contents.minimum[static_cast<size_t>(s)] = 0.0;
            contents.maximum[static_cast<size_t>(s)] = 0.0;
        }
    }
    if (progress && result.status != DataFileStatus::Cancelled) {
        progress(device.size(), device.size());
    }
    return result;
}

}  // namespace zr410
