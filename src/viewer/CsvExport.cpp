#include "viewer/CsvExport.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTime>

#include <algorithm>
#include <array>

#include "logging/DataFile.h"

namespace zr410 {
namespace {

constexpr qint64 kProgressStep = 1 << 20;
constexpr int kFieldsPerRecord = 8;  // date, time and six values

// A field as CSV: quoted when it holds what would split it, text made valid UTF-8.
void appendField(QByteArray& out, QByteArrayView field) {
    QByteArray text = QString::fromUtf8(field.trimmed()).toUtf8();
    if (text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r')) {
        text.replace("\"", "\"\"");
        out += '"';
        out += text;
        out += '"';
    } else {
        out += text;
    }
}

// "2024-05-17" and "14:03:25" as one ISO 8601 date and time; anything else as recorded.
void appendTimestamp(QByteArray& out, QByteArrayView date, QByteArrayView time) {
    const QDate day = QDate::fromString(QString::fromLatin1(date.trimmed()), Qt::ISODate);
    const QTime clock = QTime::fromString(QString::fromLatin1(time.trimmed()), Qt::ISODate);
    if (day.isValid() && clock.isValid() && date.trimmed().size() == 10 &&
        time.trimmed().size() == 8) {
        out += date.trimmed();
        out += 'T';
        out += time.trimmed();
        return;
    }
    QByteArray joined = date.trimmed().toByteArray();
    if (!time.trimmed().isEmpty()) {
        joined += (joined.isEmpty() ? "" : " ") + time.trimmed().toByteArray();
    }
    appendField(out, joined);
}

}  // namespace

CsvExportResult ExportToCsv(const QString& dataPath, const QString& csvPath,
                            const ExportProgress& progress) {
    CsvExportResult result;
    QFile file(dataPath);
    if (dataPath.isEmpty() || QFileInfo(dataPath).isDir() || !file.open(QIODevice::ReadOnly)) {
        result.errorText = dataPath.isEmpty() ? QStringLiteral("No file") : file.errorString();
        return result;
    }
    // Written beside the target and renamed over it at the end, so a failure or a cancel
    // never leaves half a file where the operator expects the export.
    QSaveFile out(csvPath);
    if (!out.open(QIODevice::WriteOnly)) {
        result.errorText = out.errorString();
        return result;
    }
    QByteArray buffer;
    const auto& headers = ExportHeaders();
    buffer += QStringLiteral("저장일시").toUtf8();
    for (std::size_t c = 2; c < headers.size(); ++c) {
        buffer += ',';
        buffer += headers[c].toUtf8();
    }
    buffer += "\r\n";

    const qint64 total = file.size();
    DataLineReader reader(file);
    QByteArrayView line;
    qint64 nextReport = kProgressStep;
    while (reader.next(line)) {
        if (!IsRecord(ClassifyDataLine(line, reader.lineTerminated(), reader.lineOverlong()))) {
            ++result.linesSkipped;
            continue;
        }
        std::array<QByteArrayView, kFieldsPerRecord> fields{};
        ForEachDataField(line, [&](int column, QByteArrayView field) {
            fields[static_cast<std::size_t>(column)] = field;
            return column + 1 < kFieldsPerRecord;
        });
        appendTimestamp(buffer, fields[0], fields[1]);
        for (int c = 2; c < kFieldsPerRecord; ++c) {
            buffer += ',';
            appendField(buffer, fields[static_cast<std::size_t>(c)]);
        }
        buffer += "\r\n";
        ++result.rowsWritten;
        if (buffer.size() >= kProgressStep) {
            if (out.write(buffer) != buffer.size()) {
                break;
            }
            buffer.clear();
        }
        if (progress && reader.bytesConsumed() >= nextReport) {
            nextReport = reader.bytesConsumed() + kProgressStep;
            if (!progress(reader.bytesConsumed(), std::max(total, reader.bytesConsumed()))) {
                result.cancelled = true;
                break;
            }
        }
    }
    if (!result.cancelled && out.error() == QFileDevice::NoError && !buffer.isEmpty()) {
        out.write(buffer);
    }
    if (reader.readFailed()) {
        result.errorText = file.errorString();
    } else if (out.error() != QFileDevice::NoError) {
        result.errorText = out.errorString();
    }
    if (result.cancelled || !result.errorText.isEmpty()) {
        out.cancelWriting();
        return result;
    }
    if (!out.commit()) {
        result.errorText = out.errorString();
        return result;
    }
    result.ok = true;
    if (progress) {
        progress(total, total);
    }
    return result;
}

}  // namespace zr410
