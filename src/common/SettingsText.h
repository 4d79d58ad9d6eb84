#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zr410 {

// Settings files are one value per line with CR LF line ends, in the Korean Windows code page
// (CP949) so that files carried over from the plant's Windows PCs keep working. Files edited
// on Linux arrive in UTF-8; both are read.

// Lines of a settings file's bytes: valid UTF-8 is read as UTF-8 (a leading byte-order mark
// is dropped), anything else as CP949; bytes valid both ways whose UTF-8 reading has no
// character from U+0800 up (no Hangul) are CP949, as Korean text such as "1호" is. Lines
// end at LF (CR LF or a bare LF); a last line without a line end still counts, and a file
// that ends with its line end has no empty line after it. Values are not trimmed.
QStringList DecodeSettingsLines(const QByteArray& bytes);

// Reads a settings file as lines. std::nullopt when it is missing or cannot be read; an empty
// list when it exists but is empty.
std::optional<QStringList> ReadSettingsLines(const QString& path);

enum class SettingsEncoding { Cp949, Utf8 };

// Every line followed by CR LF. CP949 when every character has a CP949 code (ASCII stays
// ASCII) and the bytes read back as the same text; otherwise the whole file is UTF-8, so that
// no character is silently turned into '?', with a byte-order mark when plain UTF-8 would not
// read back the same. A CR or LF inside a value would split it into two lines and is written
// as a blank.
QByteArray EncodeSettingsLines(const QStringList& lines, SettingsEncoding* used = nullptr);

// Replaces the file as a whole: the new text goes to a temporary file in the same folder that
// is renamed over the old one, so a failed write leaves the previous file intact. The folder
// must exist. Returns false when the file could not be written.
bool WriteSettingsLines(const QString& path, const QStringList& lines);

}  // namespace zr410
