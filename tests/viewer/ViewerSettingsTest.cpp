// The four settings files: exact bytes where the format is fixed, round trips where it is ours,
// and the designed contents whenever a file is missing or broken.
#include <QStringDecoder>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "viewer/ViewerSettings.h"

using namespace zr410;

namespace {

SeriesColours startColours() {
    SeriesColours colours;
    for (int s = 0; s < kSeriesCount; ++s) {
        colours[s] = QColor(10 * s, 20, 30);
    }
    return colours;
}

}  // namespace

TEST(SplitColour, RedIsTheLowByte) {
    const RgbParts red = SplitColour(255);
    EXPECT_EQ(std::tie(red.red, red.green, red.blue), std::make_tuple(255, 0, 0));
    const RgbParts green = SplitColour(65280);
    EXPECT_EQ(std::tie(green.red, green.green, green.blue), std::make_tuple(0, 255, 0));
    const RgbParts mixed = SplitColour(0x00332211);
    EXPECT_EQ(std::tie(mixed.red, mixed.green, mixed.blue), std::make_tuple(0x11, 0x22, 0x33));
    EXPECT_EQ(ColourValue(QColor(0x11, 0x22, 0x33)), 0x00332211);
    EXPECT_EQ(ColourFromValue(16711680), QColor(0, 0, 255));
}

TEST(FolderSetting, MissingOrEmptyFileIsAbsentAndOnlyTheFirstLineCounts) {
    TempProgramFolder folder;
    EXPECT_FALSE(LoadFolderSetting());
    folder.write("Folder.CFG", "");
    EXPECT_FALSE(LoadFolderSetting());
    folder.write("Folder.CFG", "/data/plant\r\n/other\r\n");
    EXPECT_EQ(LoadFolderSetting().value_or(""), "/data/plant");
}

TEST(FolderSetting, KoreanFolderIsWrittenInCp949AndReadBack) {
    TempProgramFolder folder;
    const QString path = QStringLiteral("/data/금형라인");
    ASSERT_TRUE(SaveFolderSetting(path));
    const QByteArray bytes = folder.read("Folder.CFG");
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), 1);
    QStringDecoder cp949("windows-949");
    EXPECT_EQ(QString(cp949.decode(bytes)), path + "\r\n");
    EXPECT_EQ(LoadFolderSetting().value_or(""), path);

    folder.write("Folder.CFG", path.toUtf8() + "\r\n");  // edited on Linux
    EXPECT_EQ(LoadFolderSetting().value_or(""), path);
}

TEST(ChartColours, LineThree255MakesTheReturnTemperatureRed) {
    TempProgramFolder folder;
    folder.write("ChartColor.CFG", "3,255\r\n");
    const auto colours = LoadChartColours(startColours());
    ASSERT_TRUE(colours);
    EXPECT_EQ((*colours)[2], QColor(255, 0, 0));
    EXPECT_EQ((*colours)[0], startColours()[0]);
    EXPECT_EQ((*colours)[5], startColours()[5]);
}

TEST(ChartColours, SavingWritesAllSixLinesAsDecimalBgr) {
    TempProgramFolder folder;
    SeriesColours colours = startColours();
    colours[5] = QColor(0, 255, 0);
    ASSERT_TRUE(SaveChartColours(colours));
    QByteArray expected;
    for (int s = 0; s < kSeriesCount; ++s) {
        expected +=
            QByteArray::number(s + 1) + "," + QByteArray::number(ColourValue(colours[s])) + "\r\n";
    }
    EXPECT_EQ(folder.read("ChartColor.CFG"), expected);
    EXPECT_TRUE(folder.read("ChartColor.CFG").contains("6,65280\r\n"));
    EXPECT_EQ(LoadChartColours(startColours()).value(), colours);
}

TEST(ChartColours, MissingOrBrokenFileLeavesTheChartsOwnColours) {
    TempProgramFolder folder;
    EXPECT_FALSE(LoadChartColours(startColours()));
    for (const char* broken : {"1,255\r\n2 255\r\n", "7,255\r\n", "0,255\r\n", "1,-5\r\n",
                               "1,16777216\r\n", "x,255\r\n"}) {
        folder.write("ChartColor.CFG", broken);
        EXPECT_FALSE(LoadChartColours(startColours())) << broken;
    }
    folder.write("ChartColor.CFG", "1,255\r\n\r\n2,65280");  // blank line, no final CR LF
    EXPECT_TRUE(LoadChartColours(startColours()));
}

TEST(UseItems, HiddenPressureIsStoredAndReadBack) {
    TempProgramFolder folder;
    EXPECT_FALSE(LoadUseItems());
    SeriesSelection cells = DefaultSeriesSelection();
    cells[4] = "0";
    ASSERT_TRUE(SaveUseItems(cells));
    EXPECT_EQ(folder.read("UseItem.CFG"), "1,1\r\n2,1\r\n3,1\r\n4,1\r\n5,0\r\n6,1\r\n");
    const auto loaded = LoadUseItems();
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(IsSeriesShown((*loaded)[4]));
    EXPECT_TRUE(IsSeriesShown((*loaded)[5]));
}

TEST(UseItems, OnlyANumericOneShowsASeries) {
    EXPECT_TRUE(IsSeriesShown("1"));
    EXPECT_TRUE(IsSeriesShown("1.0"));
    for (const char* off : {"0", "", "2", "abc", "-1", "0.99"}) {
        EXPECT_FALSE(IsSeriesShown(off)) << off;
    }
}

TEST(PrintMargins, CellTextsRoundTripAndMissingFileGivesZeros) {
    TempProgramFolder folder;
    EXPECT_FALSE(LoadPrintMargins());
    EXPECT_EQ(DefaultPrintMargins()[2], "0");
    const PrintMarginCells cells = {"10", "10", "20", "5.5"};
    ASSERT_TRUE(SavePrintMargins(cells));
    EXPECT_EQ(folder.read("PrintMargin.CFG"), "1,10\r\n2,10\r\n3,20\r\n4,5.5\r\n");
    EXPECT_EQ(LoadPrintMargins().value(), cells);
}
