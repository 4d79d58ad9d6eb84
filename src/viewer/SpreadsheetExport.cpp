#include "viewer/SpreadsheetExport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <string>

#include "logging/DataFile.h"

namespace zr410 {
namespace {

constexpr int kMaxColumns = LXW_COL_MAX;
// A cell holds at most 32,767 characters.
constexpr int kMaxCellText = 32767;
constexpr int kMaxDecimals = 6;
constexpr qint64 kProgressStep = 1 << 20;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitsAt(QByteArrayView text, qsizetype at, qsizetype count) {
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!isDigit(text[i])) {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DD" as a spreadsheet date serial (days since 1899-12-30).
bool dateSerial(QByteArrayView text, double& serial) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    // Before March 1900 the spreadsheet's calendar counts a day that never was.
    if (!date.isValid() || date < QDate(1900, 3, 1)) {
        return false;
    }
    serial = static_cast<double>(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
    return true;
}

// "HH:MM:SS" as a fraction of a day.
bool timeSerial(QByteArrayView text, double& serial) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return false;
    }
    const int h = digitsAt(text, 0, 2);
    const int m = digitsAt(text, 3, 2);
    const int s = digitsAt(text, 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) {
        return false;
    }
    serial = (h * 3600 + m * 60 + s) / 86400.0;
    return true;
}

// A field that is a number and nothing else: optional sign, digits, one optional point, and
// no more digits than a spreadsheet number holds exactly. A longer field is kept as its text:
// as a number it would lose digits, or overflow to nothing at all.
bool wholeFieldNumber(QByteArrayView text, int& decimals) {
    constexpr int kMaxExactDigits = 15;
    text = text.trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    int digits = 0;
    bool point = false;
    decimals = 0;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ++digits;
            decimals += point ? 1 : 0;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0 && digits <= kMaxExactDigits;
}

// Cell text as valid UTF-8 without control characters, within the cell's length limit.
std::string cellText(QByteArrayView field) {
    bool plain = field.size() <= kMaxCellText;
    for (const char c : field) {
        const auto u = static_cast<unsigned char>(c);
        plain = plain && u >= 0x20 && u < 0x7f;
    }
    if (plain) {
        return std::string(field.data(), static_cast<size_t>(field.size()));
    }
    QString text = QString::fromUtf8(field);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text.left(kMaxCellText).toStdString();
}

class WorkbookWriter {
public:
    WorkbookWriter(const QString& path, qint64 rowsPerSheet) : rowsPerSheet_(rowsPerSheet) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        const std::string tmp = QDir::tempPath().toStdString();
        options.tmpdir = const_cast<char*>(tmp.c_str());
        const std::string file = QFile::encodeName(path).toStdString();
        workbook_ = workbook_new_opt(file.c_str(), &options);
        if (workbook_ == nullptr) {
            return;
        }
        header_ = workbook_add_format(workbook_);
        format_set_bold(header_);
        format_set_align(header_, LXW_ALIGN_CENTER);
        date_ = workbook_add_format(workbook_);
        format_set_num_format(date_, "yyyy-mm-dd");
        time_ = workbook_add_format(workbook_);
        format_set_num_format(time_, "hh:mm:ss");
        for (int d = 0; d <= kMaxDecimals; ++d) {
            decimals_[d] = workbook_add_format(workbook_);
            const std::string pattern = d == 0 ? "0" : "0." + std::string(d, '0');
            format_set_num_format(decimals_[d], pattern.c_str());
        }
    }
    ~WorkbookWriter() {
        if (workbook_ != nullptr) {
            close();
        }
    }

    bool valid() const { return workbook_ != nullptr; }
    int sheets() const { return sheets_; }

    // Starts the next row, on a new sheet when the current one is full.
    bool nextRow() {
        if (sheet_ == nullptr || row_ >= rowsPerSheet_) {
            if (!addSheet()) {
                return false;
            }
        }
        ++row_;
        return true;
    }

    void writeField(int column, QByteArrayView field) {
        const auto row = static_cast<lxw_row_t>(row_);
        const auto col = static_cast<lxw_col_t>(column);
        double serial = 0;
        int decimals = 0;
        if (column == 0 && dateSerial(field, serial)) {
            worksheet_write_number(sheet_, row, col, serial, date_);
        } else if (column == 1 && timeSerial(field, serial)) {
            worksheet_write_number(sheet_, row, col, serial, time_);
        } else if (wholeFieldNumber(field, decimals)) {
            worksheet_write_number(sheet_, row, col, ParseDataField(field),
                                   decimals <= kMaxDecimals ? decimals_[decimals] : nullptr);
        } else if (!field.trimmed().isEmpty()) {
            worksheet_write_string(sheet_, row, col, cellText(field).c_str(), nullptr);
        }
    }

    // Finishes the file; the library's reason on failure.
    QString close() {
        const lxw_error error = workbook_close(workbook_);
        workbook_ = nullptr;
        return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
    }

private:
    bool addSheet() {
        ++sheets_;
        const QString name = sheets_ == 1 ? QStringLiteral("Graph Data")
                                          : QStringLiteral("Graph Data %1").arg(sheets_);
        sheet_ = workbook_add_worksheet(workbook_, name.toUtf8().constData());
        if (sheet_ == nullptr) {
            return false;
        }
        worksheet_set_column(sheet_, 0, 0, 12, nullptr);
        worksheet_set_column(sheet_, 1, 1, 10, nullptr);
        worksheet_set_column(sheet_, 2, 7, 10, nullptr);
        worksheet_freeze_panes(sheet_, 1, 0);
        const auto& headers = ExportHeaders();
        for (int c = 0; c < static_cast<int>(headers.size()); ++c) {
            worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(c),
                                   headers[c].toUtf8().constData(), header_);
        }
        row_ = 0;
        return true;
    }

    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* header_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* time_ = nullptr;
    std::array<lxw_format*, kMaxDecimals + 1> decimals_{};
    qint64 rowsPerSheet_;
    qint64 row_ = 0;
    int sheets_ = 0;
};

}  // namespace

QString ColumnLetter(int n) {
    QString letters;
    while (n > 0) {
        const int digit = (n - 1) % 26;
        letters.prepend(QChar('A' + digit));
        n = (n - 1) / 26;
    }
    return letters;
}

const std::array<QString, 8>& ExportHeaders() {
    static const std::array<QString, 8> headers = {
        QStringLiteral("저장일자"), QStringLiteral("저장시간"), QStringLiteral("금형온도"),
        QStringLiteral("매체온도"), QStringLiteral("회수온도"), QStringLiteral("급수온도"),
        QStringLiteral("압력"),     QStringLiteral("SV")};
    return headers;
}

SpreadsheetExportResult ExportToSpreadsheet(const QString& dataPath, const QString& workbookPath,
                                            const ExportProgress& progress, qint64 rowsPerSheet) {
    SpreadsheetExportResult result;
    QFile file(dataPath);
    if (dataPath.isEmpty() || QFileInfo(dataPath).isDir() || !file.open(QIODevice::ReadOnly)) {
        result.errorText = dataPath.isEmpty() ? QStringLiteral("No file") : file.errorString();
        return result;
    }
    QString failure;
    {
        WorkbookWriter writer(workbookPath, std::max<qint64>(1, rowsPerSheet));
        if (!writer.valid()) {
            result.errorText = QStringLiteral("Cannot start the workbook");
            return result;
        }
        const qint64 total = file.size();
        DataLineReader reader(file);
        QByteArrayView line;
        qint64 nextReport = kProgressStep;
        while (reader.next(line)) {
            const DataLineKind kind =
                ClassifyDataLine(line, reader.lineTerminated(), reader.lineOverlong());
            if (!IsRecord(kind)) {
                ++result.linesSkipped;
                continue;
            }
            if (!writer.nextRow()) {
                failure = QStringLiteral("Cannot add a worksheet");
                break;
            }
            ForEachDataField(line, [&](int column, QByteArrayView field) {
                writer.writeField(column, field);
                return column + 1 < kMaxColumns;
            });
            ++result.rowsWritten;
            if (progress && reader.bytesConsumed() >= nextReport) {
                nextReport = reader.bytesConsumed() + kProgressStep;
                if (!progress(reader.bytesConsumed(), std::max(total, reader.bytesConsumed()))) {
                    result.cancelled = true;
                    break;
                }
            }
        }
        if (reader.readFailed() && failure.isEmpty()) {
            failure = file.errorString();
        }
        if (result.rowsWritten == 0 && writer.sheets() == 0) {
            writer.nextRow();  // an empty file still gives a sheet with its headers
        }
        result.sheets = writer.sheets();
        const QString closeError = writer.close();
        if (failure.isEmpty()) {
            failure = closeError;
        }
    }
    if (result.cancelled || !failure.isEmpty()) {
        QFile::remove(workbookPath);
        result.errorText = failure;
        return result;
    }
    result.ok = true;
    if (progress) {
        progress(file.size(), file.size());
    }
    return result;
}

QString TemporaryWorkbookPath(const QString& dataPath) {
    QDir folder(QDir::temp().filePath(QStringLiteral("zr410-graph")));
    folder.mkpath(QStringLiteral("."));
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo& old : folder.entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files)) {
        if (old.lastModified().secsTo(now) > 24 * 3600) {
            QFile::remove(old.absoluteFilePath());
        }
    }
    const QString base = QFileInfo(dataPath).completeBaseName();
    QString path = folder.filePath(
        QStringLiteral("%1_%2.xlsx").arg(base, now.toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    for (int n = 2; QFile::exists(path); ++n) {
        path = folder.filePath(QStringLiteral("%1_%2_%3.xlsx")
                                   .arg(base, now.toString(QStringLiteral("yyyyMMdd_HHmmss")))
                                   .arg(n));
    }
    return path;
}

}  // namespace zr410
