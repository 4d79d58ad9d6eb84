#include "common/SettingsText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zr410 {
namespace {

// Qt's "CP949" names IBM's table, which mangles Hangul; "windows-949" is the Windows one.
constexpr char kCp949[] = "windows-949";

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
        return text;
    }
    QStringDecoder cp949(kCp949, QStringDecoder::Flag::Stateless);
    return cp949.decode(bytes);
}

QString withoutLineBreaks(QString line) {
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

}  // namespace

QStringList DecodeSettingsLines(const QByteArray& bytes) {
    const QString text = decodeText(bytes);
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        // A CR before the LF belongs to the line end; so does a CR left at the very end of a
        // file cut short between the two.
        qsizetype valueEnd = end;
        if (valueEnd > start && text.at(valueEnd - 1) == QLatin1Char('\r')) {
            --valueEnd;
        }
        lines.append(text.mid(start, valueEnd - start));
        start = end + 1;
    }
    return lines;
}

std::optional<QStringList> ReadSettingsLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return DecodeSettingsLines(bytes);
}

QByteArray EncodeSettingsLines(const QStringList& lines, SettingsEncoding* used) {
    QString text;
    for (const QString& line : lines) {
        text += withoutLineBreaks(line);
        text += QLatin1String("\r\n");
    }
    QStringEncoder cp949(kCp949, QStringEncoder::Flag::Stateless);
    QByteArray bytes = cp949.encode(text);
    // The encoder flags unmapped characters; the round trip also catches any it lets through.
    bool fits = !cp949.hasError();
    if (fits) {
        QStringDecoder back(kCp949, QStringDecoder::Flag::Stateless);
        fits = back.decode(bytes) == text && !back.hasError();
    }
    if (!fits) {
        bytes = text.toUtf8();
    }
    if (used != nullptr) {
        *used = fits ? SettingsEncoding::Cp949 : SettingsEncoding::Utf8;
    }
    return bytes;
}

bool WriteSettingsLines(const QString& path, const QStringList& lines) {
    const QByteArray bytes = EncodeSettingsLines(lines);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace zr410
