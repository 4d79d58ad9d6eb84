#include "common/SettingsText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace zr410 {
namespace {

// Qt's "CP949" names IBM's table, which mangles Hangul; "windows-949" is the Windows one.
constexpr char kCp949[] = "windows-949";

bool isAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether every character of the text has a CP949 code, so that the text survives a round
// trip through it unchanged.
bool fitsCp949(const QString& text, QByteArray* encoded = nullptr) {
    QStringEncoder cp949(kCp949, QStringEncoder::Flag::Stateless);
    QByteArray bytes = cp949.encode(text);
    if (cp949.hasError()) {
        return false;
    }
    QStringDecoder back(kCp949, QStringDecoder::Flag::Stateless);
    const bool fits = back.decode(bytes) == text && !back.hasError();
    if (encoded != nullptr) {
        *encoded = std::move(bytes);
    }
    return fits;
}

std::optional<QString> decodeCp949(const QByteArray& bytes) {
    QStringDecoder cp949(kCp949, QStringDecoder::Flag::Stateless);
    QString text = cp949.decode(bytes);
    if (cp949.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Many Hangul syllables in CP949 (호, 창, 처, ...) happen to be valid two-byte UTF-8, so a
// Korean line such as "1호" also reads as valid UTF-8 of Latin letters ("1ȣ"). Bytes that are
// valid both ways are taken as CP949 unless their UTF-8 reading holds a character of three
// UTF-8 bytes or more, where Hangul and the other CJK scripts live: a UTF-8 file with Hangul
// is then recognised, and one with only accented Latin letters carries a byte-order mark
// when this program writes it.
bool readsAsCp949Too(const QByteArray& bytes, const QString& utf8Text) {
    if (isAscii(bytes)) {
        return false;
    }
    const bool wideCharacters =
        std::any_of(utf8Text.begin(), utf8Text.end(), [](QChar c) { return c.unicode() >= 0x800; });
    return !wideCharacters && decodeCp949(bytes).has_value();
}

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
            return text;
        }
        if (!readsAsCp949Too(bytes, text)) {
            return text;
        }
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
    QByteArray bytes;
    // The encoder flags unmapped characters; the round trip also catches any it lets through.
    // Rare CP949 text (a hanja before certain Hangul) also forms valid UTF-8 with Hangul in it
    // and would read back as that: such text is written as UTF-8 too.
    const bool fits = fitsCp949(text, &bytes) && decodeText(bytes) == text;
    if (!fits) {
        bytes = text.toUtf8();
        // A byte-order mark where plain UTF-8 would not read back as written (bytes that also
        // read as CP949).
        if (decodeText(bytes) != text) {
            bytes.prepend(kUtf8Bom);
        }
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
