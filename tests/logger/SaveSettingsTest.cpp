// SaveData.INI: what start-up reads from it, the bytes the dialog writes, and the interval
// box's rule.
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "logging/SaveSettings.h"

using namespace zr410;

namespace {

// "초" and "분" in the Korean Windows code page.
const QByteArray kCp949Seconds("\xC3\xCA");
const QByteArray kCp949Minutes("\xBA\xD0");

void expectDefaults(const SaveSettings& s, const QString& programFolder) {
    EXPECT_EQ(s.SaveEnabled, "No");
    EXPECT_EQ(s.SaveInterval, 1);
    EXPECT_EQ(s.SaveUnit, "분");
    EXPECT_EQ(s.SaveFolder, QDir::toNativeSeparators(programFolder));
    EXPECT_EQ(s.SaveFileName, "ZR410");
    EXPECT_FALSE(s.Enabled());
    EXPECT_EQ(s.IntervalSeconds(), 60);
}

}  // namespace

TEST(LoadSaveSettings, FirstStartCreatesCfgAndLeavesLoggingOff) {
    TempProgramFolder folder;
    ASSERT_FALSE(QFileInfo::exists(folder.file("CFG")));
    expectDefaults(LoadSaveSettings(SaveSettingsPath()), folder.path());
    EXPECT_TRUE(QFileInfo(folder.file("CFG")).isDir());
    EXPECT_FALSE(QFileInfo::exists(folder.file("CFG/SaveData.INI"))) << "only OK writes it";
}

TEST(LoadSaveSettings, FiveCp949LinesAreTakenAsTheyStand) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", "Yes\r\n10\r\n" + kCp949Minutes + "\r\n/srv/log\r\nLine3\r\n");
    const SaveSettings s = LoadSaveSettings(SaveSettingsPath());
    EXPECT_EQ(s.SaveEnabled, "Yes");
    EXPECT_EQ(s.SaveInterval, 10);
    EXPECT_EQ(s.SaveUnit, "분");
    EXPECT_EQ(s.SaveFolder, "/srv/log");
    EXPECT_EQ(s.SaveFileName, "Line3");
    EXPECT_TRUE(s.Enabled());
    EXPECT_EQ(s.IntervalSeconds(), 600);
}

TEST(LoadSaveSettings, Utf8FilesAndBareLineFeedsAreReadToo) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", QByteArray("Yes\n5\n초\n/srv/데이터\nZR410"));
    const SaveSettings s = LoadSaveSettings(SaveSettingsPath());
    EXPECT_EQ(s.SaveUnit, "초");
    EXPECT_EQ(s.SaveFolder, "/srv/데이터");
    EXPECT_EQ(s.SaveFileName, "ZR410");
    EXPECT_EQ(s.IntervalSeconds(), 5);
}

TEST(LoadSaveSettings, AShortOrUnreadableFileGivesAllDefaults) {
    TempProgramFolder folder;
    // Four lines: even the four that were read fall back.
    folder.write("CFG/SaveData.INI", "Yes\r\n10\r\n" + kCp949Seconds + "\r\n/srv/log\r\n");
    expectDefaults(LoadSaveSettings(SaveSettingsPath()), folder.path());

    folder.write("CFG/SaveData.INI", QByteArray());
    expectDefaults(LoadSaveSettings(SaveSettingsPath()), folder.path());

    ASSERT_TRUE(QFile::remove(folder.file("CFG/SaveData.INI")));
    ASSERT_TRUE(QDir().mkpath(folder.file("CFG/SaveData.INI")));
    expectDefaults(LoadSaveSettings(SaveSettingsPath()), folder.path());
}

TEST(LoadSaveSettings, IntervalIsTheLeadingNumberRoundedHalvesToEven) {
    TempProgramFolder folder;
    const auto intervalOf = [&](const QByteArray& line) {
        folder.write("CFG/SaveData.INI",
                     "Yes\r\n" + line + "\r\n" + kCp949Seconds + "\r\n/srv/log\r\nZR410\r\n");
        return LoadSaveSettings(SaveSettingsPath()).SaveInterval;
    };
    EXPECT_EQ(intervalOf("2.5"), 2);
    EXPECT_EQ(intervalOf("3.5"), 4);
    EXPECT_EQ(intervalOf(" 30 sec"), 30);
    EXPECT_EQ(intervalOf("abc"), 0);
    EXPECT_EQ(intervalOf("-7"), -7);
    EXPECT_EQ(intervalOf("99999999999"), INT32_MAX);
}

TEST(WriteSaveSettings, FiveLinesAsTypedInTheKoreanCodePage) {
    TempProgramFolder folder;
    ASSERT_TRUE(WriteSaveSettings(SaveSettingsPath(), {"Yes", "2.5", "초", "/srv/log", "Line3"}));
    EXPECT_EQ(folder.read("CFG/SaveData.INI"),
              "Yes\r\n2.5\r\n" + kCp949Seconds + "\r\n/srv/log\r\nLine3\r\n");
    // 2.5 stays in the file and reads back as 2, at this and every later start.
    EXPECT_EQ(LoadSaveSettings(SaveSettingsPath()).SaveInterval, 2);

    ASSERT_TRUE(WriteSaveSettings(SaveSettingsPath(), {"No", "60", "분", "/", "ZR410"}));
    EXPECT_EQ(folder.read("CFG/SaveData.INI"),
              "No\r\n60\r\n" + kCp949Minutes + "\r\n/\r\nZR410\r\n");
}

TEST(WriteSaveSettings, AlwaysWritesFiveLinesSoTheFileReadsBack) {
    TempProgramFolder folder;
    ASSERT_TRUE(WriteSaveSettings(SaveSettingsPath(), {"Yes", "5", "초"}));
    EXPECT_EQ(folder.read("CFG/SaveData.INI"), "Yes\r\n5\r\n" + kCp949Seconds + "\r\n\r\n\r\n");
    EXPECT_EQ(LoadSaveSettings(SaveSettingsPath()).SaveEnabled, "Yes");
}

TEST(ClampSaveIntervalText, BelowOneOrNotANumberIsOneAboveSixtyIsSixty) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "1"},     {"75", "60"},   {"2.5", "2.5"},   {"", "1"},      {"abc", "1"},
        {"-5", "1"},    {"0.5", "1"},   {"1", "1"},       {"60", "60"},   {"60.0", "60.0"},
        {"60.5", "60"}, {"1000", "60"}, {" 30 ", " 30 "}, {"5 min", "1"}, {".5", "1"},
        {"7.", "7."},   {"1e2", "1"},   {"+5", "+5"},
    };
    for (const auto& [typed, shown] : cases) {
        EXPECT_EQ(ClampSaveIntervalText(QString::fromUtf8(typed)), QString::fromUtf8(shown))
            << '"' << typed << '"';
    }
}
