#include "common/SettingsText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zr410;

namespace {

// "펌프" (pump) in CP949 and in UTF-8.
const QByteArray kPumpCp949("\xC6\xDF\xC7\xC1");
const QByteArray kPumpUtf8("\xED\x8E\x8C\xED\x94\x84");
const QString kPump = QStringLiteral("펌프");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(SettingsTextLines, SplitAtCrLfOrBareLfAndKeepValuesUntrimmed) {
    EXPECT_EQ(DecodeSettingsLines("COM1\r\n 9600\nE \r\n\t8\r\n"),
              (QStringList{"COM1", " 9600", "E ", "\t8"}));
}

TEST(SettingsTextLines, LastLineWithoutLineEndStillCounts) {
    EXPECT_EQ(DecodeSettingsLines("a\r\nb"), (QStringList{"a", "b"}));
    EXPECT_EQ(DecodeSettingsLines("a\r\nb\r"), (QStringList{"a", "b"}));
}

TEST(SettingsTextLines, EmptyLinesAreLinesButAFinalLineEndAddsNone) {
    EXPECT_EQ(DecodeSettingsLines(""), QStringList());
    EXPECT_EQ(DecodeSettingsLines("\r\n"), QStringList{""});
    EXPECT_EQ(DecodeSettingsLines("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
}

TEST(SettingsTextLines, KoreanIsReadFromCp949AndFromUtf8) {
    EXPECT_EQ(DecodeSettingsLines("O\t" + kPumpCp949 + "\r\n"), QStringList{"O\t" + kPump});
    EXPECT_EQ(DecodeSettingsLines("O\t" + kPumpUtf8 + "\r\n"), QStringList{"O\t" + kPump});
    // An editor's byte-order mark must not become part of the first value.
    EXPECT_EQ(DecodeSettingsLines("\xEF\xBB\xBF" + kPumpUtf8), QStringList{kPump});
}

TEST(SettingsTextLines, OneInvalidUtf8ByteMakesTheWholeFileCp949) {
    // A UTF-8-looking first line must not decide the file when a later line is CP949.
    const QByteArray bytes = kPumpUtf8 + "\r\n" + kPumpCp949 + "\r\n";
    const QStringList lines = DecodeSettingsLines(bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], kPump);
}

TEST(SettingsTextRead, MissingFileIsAFailureButAnEmptyFileIsNoLines) {
    QTemporaryDir dir;
    EXPECT_FALSE(ReadSettingsLines(dir.filePath("none.CFG")).has_value());
    EXPECT_FALSE(ReadSettingsLines(dir.path()).has_value()) << "a folder is not a file";

    QFile empty(dir.filePath("empty.CFG"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const auto lines = ReadSettingsLines(dir.filePath("empty.CFG"));
    ASSERT_TRUE(lines.has_value());
    EXPECT_TRUE(lines->isEmpty());
}

TEST(SettingsTextEncode, EveryLineEndsWithCrLfAndAsciiStaysAscii) {
    SettingsEncoding used = SettingsEncoding::Utf8;
    EXPECT_EQ(EncodeSettingsLines({"COM1", "", "SUM"}, &used), QByteArray("COM1\r\n\r\nSUM\r\n"));
    EXPECT_EQ(used, SettingsEncoding::Cp949);
    EXPECT_EQ(EncodeSettingsLines({}), QByteArray());
}

TEST(SettingsTextEncode, KoreanIsWrittenInCp949) {
    EXPECT_EQ(EncodeSettingsLines({"O\t" + kPump}), "O\t" + kPumpCp949 + "\r\n");
}

TEST(SettingsTextEncode, TextCp949CannotHoldMakesTheWholeFileUtf8InsteadOfQuestionMarks) {
    SettingsEncoding used = SettingsEncoding::Cp949;
    const QStringList lines{"O\t" + kPump, QStringLiteral("O\tCafé")};
    const QByteArray bytes = EncodeSettingsLines(lines, &used);
    EXPECT_EQ(used, SettingsEncoding::Utf8);
    EXPECT_EQ(bytes, "O\t" + kPumpUtf8 + "\r\nO\tCaf\xC3\xA9\r\n");
    EXPECT_EQ(DecodeSettingsLines(bytes), lines);
}

TEST(SettingsTextEncode, LineBreaksInsideAValueCannotAddLines) {
    EXPECT_EQ(EncodeSettingsLines({"a\r\nb", "c\nd"}), QByteArray("a  b\r\nc d\r\n"));
}

TEST(SettingsTextWrite, ReplacesTheWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Comm.CFG");
    ASSERT_TRUE(WriteSettingsLines(path, {"one", "two", "three"}));
    ASSERT_TRUE(WriteSettingsLines(path, {"x"}));
    EXPECT_EQ(readAll(path), QByteArray("x\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Comm.CFG"})
        << "no temporary file is left behind";
}

TEST(SettingsTextWrite, MissingFolderIsReportedAsFailure) {
    QTemporaryDir dir;
    EXPECT_FALSE(WriteSettingsLines(dir.filePath("CFG/SetMulti.INI"), {"O"}));
    EXPECT_FALSE(QFile::exists(dir.filePath("CFG/SetMulti.INI")));
}

TEST(SettingsTextWrite, AFailedWriteKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Comm.CFG");
    ASSERT_TRUE(WriteSettingsLines(path, {"COM3"}));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool written = WriteSettingsLines(path, {"COM4"});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (written) {
        GTEST_SKIP() << "this user may write into read-only folders (root)";
    }
    EXPECT_EQ(readAll(path), QByteArray("COM3\r\n"));
}

TEST(SettingsTextLines, KoreanCp949ThatHappensToBeValidUtf8IsStillKorean) {
    // "1호" and "창" in CP949 are also valid UTF-8 ("1ȣ", "â"): a channel name from the
    // plant's Windows PCs must not turn into Latin letters.
    EXPECT_EQ(DecodeSettingsLines("O\t1\xC8\xA3\r\nO\t\xC3\xA2\r\n"),
              (QStringList{QStringLiteral("O\t1호"), QStringLiteral("O\t창")}));
    // Hangul in UTF-8 stays UTF-8.
    EXPECT_EQ(DecodeSettingsLines("O\t1\xED\x98\xB8\r\n"), QStringList{QStringLiteral("O\t1호")});
}

TEST(SettingsTextEncode, AccentedLatinThatCouldReadAsCp949GetsAByteOrderMarkAndReadsBack) {
    const QStringList lines{QStringLiteral("/home/Café")};
    const QByteArray bytes = EncodeSettingsLines(lines);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(DecodeSettingsLines(bytes), lines);
    EXPECT_EQ(DecodeSettingsLines(EncodeSettingsLines({QStringLiteral("1호")})),
              QStringList{QStringLiteral("1호")});
}

TEST(SettingsTextEncode, WhatIsReadIsWrittenSoThatItReadsBackTheSame) {
    // Found by fuzzing: CP949 bytes of a hanja and Hangul that are also valid UTF-8 Hangul.
    const QStringList lines = DecodeSettingsLines("C\xEC\xA1\x87\xEC\xA1\xA1\x87");
    EXPECT_EQ(DecodeSettingsLines(EncodeSettingsLines(lines)), lines);
}
