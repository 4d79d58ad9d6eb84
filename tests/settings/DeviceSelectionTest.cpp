#include "engine/DeviceSelection.h"

#include <QDir>

#include <gtest/gtest.h>

#include "TempFolder.h"

using namespace zr410;

namespace {

const QString kFile = QStringLiteral("CFG/SetMulti.INI");
const QByteArray kPumpCp949("\xC6\xDF\xC7\xC1");  // "펌프"
const QByteArray kPumpUtf8("\xED\x8E\x8C\xED\x94\x84");

// A file of X lines with the given device numbers marked O.
QByteArray selectionFile(std::initializer_list<int> served, int lines = 99) {
    QByteArray file;
    for (int k = 1; k <= lines; ++k) {
        const bool o = std::find(served.begin(), served.end(), k) != served.end();
        file += (o ? "O\t" : "X\t") + QByteArray::number(k) + "\r\n";
    }
    return file;
}

}  // namespace

TEST(DeviceSelectionFile, LivesInTheCfgFolderOfTheProgramFolder) {
    TempProgramFolder folder;
    EXPECT_EQ(DeviceSelectionPath(), folder.file(kFile));
}

TEST(DeviceSelectionLoad, LinesMarkedOAreTheServedDevicesInOrder) {
    TempProgramFolder folder;
    folder.write(kFile, selectionFile({3, 7}));
    EXPECT_EQ(LoadDeviceSelection(DeviceSelectionPath()), (std::vector<int>{3, 7}));
}

TEST(DeviceSelectionLoad, OnlyTheExactFirstFieldOSelects) {
    TempProgramFolder folder;
    folder.write(kFile,
                 "o\tlower\r\n"
                 "O \tblank\r\n"
                 " O\tlead\r\n"
                 "0\tzero\r\n"
                 "X\tO\r\n"
                 "O\r\n"
                 "OO\tdouble\r\n"
                 "O\tserved");
    EXPECT_EQ(LoadDeviceSelection(DeviceSelectionPath()), (std::vector<int>{6, 8}));
}

TEST(DeviceSelectionLoad, AnEmptyLineSelectsNothingAndLaterDevicesStay) {
    TempProgramFolder folder;
    folder.write(kFile, "O\tA\r\n\r\nX\t\r\nO\tB\r\n\n\nO\tC\r\n");
    EXPECT_EQ(LoadDeviceSelection(DeviceSelectionPath()), (std::vector<int>{1, 4, 7}));
}

TEST(DeviceSelectionLoad, MissingFileServesNoneAndCreatesTheCfgFolder) {
    TempProgramFolder folder;
    EXPECT_TRUE(LoadDeviceSelection(DeviceSelectionPath()).empty());
    EXPECT_TRUE(QDir(folder.file("CFG")).exists());
}

TEST(DeviceSelectionLoad, LinesAfterThe99thAreIgnored) {
    TempProgramFolder folder;
    folder.write(kFile, selectionFile({1, 99}) + "O\t100\r\nO\t101\r\n");
    EXPECT_EQ(LoadDeviceSelection(DeviceSelectionPath()), (std::vector<int>{1, 99}));
}

TEST(SelectionGridLoad, RowsBeyondTheFileKeepXAndAnEmptyName) {
    TempProgramFolder folder;
    folder.write(kFile, "X\tfirst\r\nO\t" + kPumpCp949 + "\r\n");
    const SelectionGrid grid = LoadSelectionGrid(DeviceSelectionPath());
    EXPECT_EQ(grid[0].use, "X");
    EXPECT_EQ(grid[0].name, "first");
    EXPECT_EQ(grid[1].use, "O");
    EXPECT_EQ(grid[1].name, QStringLiteral("펌프"));
    for (int row = 2; row < kMaxDeviceNo; ++row) {
        EXPECT_EQ(grid[row].use, "X") << row;
        EXPECT_TRUE(grid[row].name.isEmpty()) << row;
    }
}

TEST(SelectionGridLoad, ChannelNamesReadFromUtf8Too) {
    TempProgramFolder folder;
    folder.write(kFile, "O\t" + kPumpUtf8 + " 2호기\r\n");
    EXPECT_EQ(LoadSelectionGrid(DeviceSelectionPath())[0].name, QStringLiteral("펌프 2호기"));
}

TEST(SelectionGridLoad, ShowsExactlyWhatTheProgramServes) {
    TempProgramFolder folder;
    // A line without TAB is a flag without a name and does not end the file; any flag but
    // "O" is shown as "X", the choice that means the same.
    folder.write(kFile, "o\tlower\r\nO\r\n\r\nY\tother\r\nO\tlast\tthird field\r\n");
    const SelectionGrid grid = LoadSelectionGrid(DeviceSelectionPath());
    EXPECT_EQ(grid[0].use, "X");
    EXPECT_EQ(grid[0].name, "lower");
    EXPECT_EQ(grid[1].use, "O");
    EXPECT_EQ(grid[1].name, "");
    EXPECT_EQ(grid[2].use, "X");
    EXPECT_EQ(grid[3].use, "X");
    EXPECT_EQ(grid[3].name, "other");
    EXPECT_EQ(grid[4].use, "O");
    EXPECT_EQ(grid[4].name, "last");
    EXPECT_EQ(SelectedDevices(grid), LoadDeviceSelection(DeviceSelectionPath()));
}

TEST(SelectionGridSave, WritesExactly99CrLfLinesInCp949) {
    TempProgramFolder folder;
    SelectionGrid grid;
    grid[2] = {"O", QStringLiteral("펌프")};
    grid[6] = {"O", ""};
    grid[98].name = "last";
    ASSERT_TRUE(SaveSelectionGrid(DeviceSelectionPath(), grid));

    QByteArray expected;
    for (int k = 1; k <= 99; ++k) {
        if (k == 3) {
            expected += "O\t" + kPumpCp949 + "\r\n";
        } else if (k == 7) {
            expected += "O\t\r\n";
        } else if (k == 99) {
            expected += "X\tlast\r\n";
        } else {
            expected += "X\t\r\n";
        }
    }
    EXPECT_EQ(folder.read(kFile), expected);
    EXPECT_EQ(LoadDeviceSelection(DeviceSelectionPath()), (std::vector<int>{3, 7}));
}

TEST(SelectionGridSave, ATabTypedIntoANameCannotShiftTheFields) {
    TempProgramFolder folder;
    SelectionGrid grid;
    grid[0] = {"O", "A\tB"};
    ASSERT_TRUE(SaveSelectionGrid(DeviceSelectionPath(), grid));
    EXPECT_TRUE(folder.read(kFile).startsWith("O\tA B\r\nX\t\r\n"));
    EXPECT_EQ(LoadSelectionGrid(DeviceSelectionPath())[0].name, "A B");
}

TEST(SelectionGridSave, CreatesTheCfgFolderAndReplacesAShorterFile) {
    TempProgramFolder folder;
    SelectionGrid grid;
    grid[4].use = "O";
    ASSERT_TRUE(SaveSelectionGrid(DeviceSelectionPath(), grid));
    EXPECT_EQ(folder.read(kFile).count("\r\n"), 99);

    folder.write(kFile, "O\r\n");
    ASSERT_TRUE(SaveSelectionGrid(DeviceSelectionPath(), LoadSelectionGrid(DeviceSelectionPath())));
    const QByteArray saved = folder.read(kFile);
    EXPECT_EQ(saved.count("\r\n"), 99);
    EXPECT_EQ(saved.count('\n'), 99);
    EXPECT_TRUE(saved.startsWith("O\t\r\nX\t\r\n"));
}

TEST(SelectionGridChoice, SelectedDevicesAreTheRowsMarkedO) {
    SelectionGrid grid;
    EXPECT_FALSE(HasSelectedDevice(grid));
    EXPECT_TRUE(SelectedDevices(grid).empty());
    grid[98].use = "o";
    EXPECT_FALSE(HasSelectedDevice(grid));
    grid[98].use = "O";
    grid[0].use = "O";
    EXPECT_TRUE(HasSelectedDevice(grid));
    EXPECT_EQ(SelectedDevices(grid), (std::vector<int>{1, 99}));
}
