// The viewer window as the operator meets it: start-up, the file list, loading files good and
// bad, the option grids that are remembered, and the ways out (print, Excel, CSV, capture).
// System dialogs are answered by the test through ViewerDialogs.
#include <qcustomplot.h>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <unistd.h>

#include "TabWalk.h"
#include "TempFolder.h"
#include "viewer/ChartView.h"
#include "viewer/DataFileFollower.h"
#include "viewer/frmZR410_GraphView.h"

using namespace zr410;

namespace {

const QByteArray kThreeRecords =
    "2024-05-17\t23:59:58\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n"
    "2024-05-18\t00:00:03\t85.4\t--\t\t25.1\t1.26\t85.0\r\n"
    "2024-05-18\t00:00:08\t85.5\t80.3\t79.0\t25.2\t1.27\t85.0\r\n";

// Answers for the system dialogs, and a record of what was asked.
struct Answers {
    QString folder;
    QColor colour;
    QString saveFile;
    bool yes = true;
    bool printer = false;
    bool workbookOpens = true;
    QStringList told;
    QStringList coloursAsked;
    QStringList workbooksOpened;
    QStringList helpOpened;

    ViewerDialogs dialogs() {
        ViewerDialogs d;
        d.chooseFolder = [this](QWidget*, const QString&) { return folder; };
        d.chooseColour = [this](QWidget*, const QColor&, const QString& title) {
            coloursAsked << title;
            return colour;
        };
        d.chooseSaveFile = [this](QWidget*, const QString&, const QString&, const QString&) {
            return saveFile;
        };
        d.ask = [this](QWidget*, const QString&, const QString&) { return yes; };
        d.tell = [this](QWidget*, const QString&, const QString& text) { told << text; };
        d.printerAvailable = [this] { return printer; };
        d.printDialog = [](QWidget*, QPrinter&) { return false; };
        d.openWorkbook = [this](const QString& path, QString* reason) {
            workbooksOpened << path;
            if (!workbookOpens) {
                *reason = "스프레드시트 프로그램이 없습니다.";
            }
            return workbookOpens;
        };
        d.shellOpen = [this](const QString& target, const QString&, QWidget*) {
            helpOpened << target;
            return true;
        };
        return d;
    }
};

class Viewer : public ::testing::Test {
protected:
    Viewer() : savedHome_(qgetenv("HOME")) { qputenv("HOME", home_.path().toUtf8()); }
    ~Viewer() override { qputenv("HOME", savedHome_); }

    QString dataFolder() const { return home_.path() + "/ZR410_DATA"; }
    void writeData(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(dataFolder());
        QFile f(dataFolder() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    std::unique_ptr<frmZR410_GraphView> open() {
        auto window = std::make_unique<frmZR410_GraphView>(answers.dialogs());
        window->resize(1440, 880);
        window->show();
        return window;
    }
    template <typename T>
    static T* child(const std::unique_ptr<frmZR410_GraphView>& w, const char* name) {
        T* found = w->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Clicks a file of the list as the operator would and waits for the load to end.
    void clickFile(const std::unique_ptr<frmZR410_GraphView>& w, const QString& name) {
        auto* list = child<QListWidget>(w, "File1");
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        const QRect rect = list->visualItemRect(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        w->waitForTask();
    }

    QTemporaryDir home_;
    QByteArray savedHome_;
    TempProgramFolder program_;
    Answers answers;
};

}  // namespace

TEST_F(Viewer, FirstStartCreatesTheDefaultFolderAndShowsTheZeroFrame) {
    auto w = open();
    EXPECT_EQ(w->windowTitle(), "ZR410 - Graph Viwer V1.0.0");
    EXPECT_TRUE(QFileInfo(dataFolder()).isDir());
    EXPECT_EQ(w->DataFolder(), dataFolder());
    EXPECT_TRUE(w->ListedFiles().isEmpty());
    EXPECT_TRUE(w->chart()->showsZeroFrame());
    EXPECT_FALSE(QFile::exists(program_.file("Folder.CFG")));
    for (int s = 0; s < 6; ++s) {
        EXPECT_TRUE(w->chart()->isSeriesVisible(s));
    }
    EXPECT_TRUE(w->chart()->zoomEnabled());
    EXPECT_FALSE(w->accessibleName().isEmpty());
}

TEST_F(Viewer, ListsDataFilesOfAnyLetterCaseInNameOrder) {
    writeData("b_02.DAT", kThreeRecords);
    writeData("A_01.dat", kThreeRecords);
    writeData("notes.txt", "x");
    QDir().mkpath(dataFolder() + "/folder.DAT");
    auto w = open();
    EXPECT_EQ(w->ListedFiles(), (QStringList{"A_01.dat", "b_02.DAT"}));
}

TEST_F(Viewer, RememberedFolderThatWasDeletedFallsBackToTheProgramFolder) {
    program_.write("Folder.CFG", (home_.path() + "/gone\r\n").toUtf8());
    auto w = open();
    EXPECT_EQ(w->DataFolder(), ProgramFolder());
    EXPECT_EQ(program_.read("Folder.CFG"), (home_.path() + "/gone\r\n").toUtf8());
}

TEST_F(Viewer, ChoosingAFolderStoresItAndRefreshesTheList) {
    auto w = open();
    const QString other = home_.path() + "/line2";
    QDir().mkpath(other);
    QFile(other + "/ZR410_05.DAT").open(QIODevice::WriteOnly);

    answers.folder.clear();  // Cancel
    QTest::mouseClick(child<QPushButton>(w, "btnSelectFolder"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(program_.file("Folder.CFG")));
    EXPECT_EQ(w->DataFolder(), dataFolder());

    answers.folder = other;
    QTest::mouseClick(child<QLabel>(w, "lblFolder"), Qt::LeftButton);
    EXPECT_EQ(program_.read("Folder.CFG"), (other + "\r\n").toUtf8());
    EXPECT_EQ(w->DataFolder(), other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ListedFiles() == QStringList{"ZR410_05.DAT"}; }));
}

TEST_F(Viewer, ClickingAFileChartsItAndShowsWhatWasRead) {
    writeData("ZR410_07.DAT", kThreeRecords + "garbage\x01\r\n2024-05-18\t00:00:13\t1\r\n");
    auto w = open();
    clickFile(w, "ZR410_07.DAT");
    EXPECT_FALSE(w->chart()->showsZeroFrame());
    ASSERT_EQ(w->chart()->contents()->size(), 4);
    EXPECT_EQ(w->chart()->contents()->stamps.time(1), "00:00:03");
    EXPECT_EQ(w->chart()->contents()->series[1][1], 0.0);
    EXPECT_TRUE(w->chart()->plot()->yAxis2->range().contains(1.25));
    EXPECT_TRUE(w->statusText().contains("기록 4개")) << w->statusText().toStdString();
    EXPECT_TRUE(w->statusText().contains("4번째 줄")) << w->statusText().toStdString();
    auto* table = child<QTableView>(w, "sprdGRP_Data");
    EXPECT_EQ(table->model()->rowCount(), 4);
    EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), "No");
    EXPECT_EQ(table->model()->headerData(1, Qt::Horizontal).toString(), "Date");
    EXPECT_EQ(table->model()->headerData(2, Qt::Horizontal).toString(), "Time");
    EXPECT_EQ(table->model()->index(1, 1).data().toString(), "2024-05-18");
    EXPECT_TRUE(child<QListWidget>(w, "File1")->isEnabled());
}

TEST_F(Viewer, MissingEmptyAndUnreadableFilesNeverDisableTheWindow) {
    writeData("ZR410_01.DAT", kThreeRecords);
    writeData("ZR410_02.DAT", "");
    writeData("ZR410_03.DAT", QByteArray("\x00\x01\x02\xff\xfe", 5).repeated(1000));
    writeData("ZR410_04.DAT", kThreeRecords);
    auto w = open();
    clickFile(w, "ZR410_01.DAT");
    ASSERT_FALSE(w->chart()->showsZeroFrame());

    clickFile(w, "ZR410_02.DAT");
    EXPECT_TRUE(w->chart()->showsZeroFrame());
    EXPECT_TRUE(w->statusText().contains("빈 파일")) << w->statusText().toStdString();

    clickFile(w, "ZR410_03.DAT");
    EXPECT_TRUE(w->chart()->showsZeroFrame());
    EXPECT_TRUE(w->statusText().contains("건너뛰었습니다")) << w->statusText().toStdString();

    QFile::remove(dataFolder() + "/ZR410_04.DAT");
    clickFile(w, "ZR410_04.DAT");
    EXPECT_TRUE(w->statusText().contains("파일이 없습니다")) << w->statusText().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->ListedFiles().contains("ZR410_04.DAT"); }));

    if (geteuid() != 0) {
        QFile::setPermissions(dataFolder() + "/ZR410_01.DAT", QFileDevice::Permissions());
        clickFile(w, "ZR410_01.DAT");
        EXPECT_TRUE(w->statusText().contains("열 수 없습니다")) << w->statusText().toStdString();
    }
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(child<QListWidget>(w, "File1")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "btnToExcel")->isEnabled());
}

TEST_F(Viewer, ALargeFileLoadsWhileTheWindowKeepsAnswering) {
    QByteArray big;
    for (int i = 0; i < 200'000; ++i) {
        big += "2024-05-17\t10:00:00\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n";
    }
    writeData("BIG_01.DAT", big);
    auto w = open();
    std::vector<int> progress;
    QObject::connect(w->findChild<QProgressBar*>("prgTask"), &QProgressBar::valueChanged,
                     [&](int v) { progress.push_back(v); });
    w->LoadDataFile(dataFolder() + "/BIG_01.DAT");
    EXPECT_TRUE(w->isBusy());
    EXPECT_FALSE(child<QListWidget>(w, "File1")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "btnCancelTask")->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->isBusy(); }, 20000));
    EXPECT_EQ(w->chart()->contents()->size(), 200'000);
    EXPECT_FALSE(progress.empty());
    EXPECT_TRUE(child<QListWidget>(w, "File1")->isEnabled());
}

TEST_F(Viewer, HiddenPressureStaysHiddenAfterARestart) {
    {
        auto w = open();
        auto* use = child<QTableWidget>(w, "sprdUseItem");
        use->item(4, 0)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(w->chart()->isSeriesVisible(4));
        EXPECT_FALSE(w->chart()->plot()->yAxis2->visible());  // its axis and title go too
        use->item(4, 0)->setCheckState(Qt::Checked);
        EXPECT_TRUE(w->chart()->plot()->yAxis2->visible());
        use->item(4, 0)->setCheckState(Qt::Unchecked);
    }
    EXPECT_EQ(program_.read("UseItem.CFG"), "1,1\r\n2,1\r\n3,1\r\n4,1\r\n5,0\r\n6,1\r\n");
    auto again = open();
    EXPECT_FALSE(again->chart()->isSeriesVisible(4));
    EXPECT_TRUE(again->chart()->isSeriesVisible(3));
    EXPECT_EQ(child<QTableWidget>(again, "sprdUseItem")->item(4, 0)->checkState(), Qt::Unchecked);
}

TEST_F(Viewer, ColourFileLine3_255PaintsReturnTemperatureRed) {
    program_.write("ChartColor.CFG", "3,255\r\n");
    auto w = open();
    EXPECT_EQ(w->chart()->seriesColour(2), QColor(255, 0, 0));
    EXPECT_EQ(child<QTableWidget>(w, "sprdColor_Graph")->item(2, 0)->background().color(),
              QColor(255, 0, 0));
    EXPECT_EQ(w->chart()->seriesColour(0), ChartView::DefaultColours()[0]);
}

TEST_F(Viewer, PickingAColourRewritesTheColourFileAndCancelChangesNothing) {
    auto w = open();
    auto* grid = child<QTableWidget>(w, "sprdColor_Graph");
    const QPoint sv = grid->visualItemRect(grid->item(5, 0)).center();
    answers.colour = QColor();  // Cancel
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, sv);
    EXPECT_EQ(answers.coloursAsked.size(), 1);
    EXPECT_FALSE(QFile::exists(program_.file("ChartColor.CFG")));

    answers.colour = QColor(0, 255, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, sv);
    // The cell shows its new colour, not the selection's.
    EXPECT_FALSE(grid->item(5, 0)->isSelected());
    const QByteArray file = program_.read("ChartColor.CFG");
    EXPECT_EQ(file.count("\r\n"), 6);
    EXPECT_TRUE(file.endsWith("6,65280\r\n")) << file.toStdString();
    EXPECT_TRUE(file.startsWith(
        "1," + QByteArray::number(ColourValue(ChartView::DefaultColours()[0])) + "\r\n"));
    EXPECT_EQ(w->chart()->seriesColour(5), QColor(0, 255, 0));
}

TEST_F(Viewer, BorderColourIsOnlyOfferedWhileTheBorderIsOn) {
    auto w = open();
    auto* label = child<QLabel>(w, "lblColor_Border");
    answers.colour = QColor(0, 0, 255);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_TRUE(answers.coloursAsked.isEmpty());
    child<QCheckBox>(w, "chbBorder")->click();
    EXPECT_TRUE(w->chart()->borderEnabled());
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(answers.coloursAsked.size(), 1);
    EXPECT_EQ(w->chart()->borderColour(), QColor(0, 0, 255));
    EXPECT_EQ(label->palette().window().color(), QColor(0, 0, 255));
}

TEST_F(Viewer, MarginsAreKeptAcrossRuns) {
    {
        auto w = open();
        child<QTableWidget>(w, "sprdMargin")->item(0, 2)->setText("20");
    }
    EXPECT_EQ(program_.read("PrintMargin.CFG"), "1,0\r\n2,0\r\n3,20\r\n4,0\r\n");
    auto again = open();
    EXPECT_EQ(child<QTableWidget>(again, "sprdMargin")->item(0, 2)->text(), "20");
}

TEST_F(Viewer, LimitBoxesTitleAndThicknessApplyAsTyped) {
    writeData("ZR410_01.DAT", kThreeRecords);
    auto w = open();
    clickFile(w, "ZR410_01.DAT");
    auto* edit = child<QCheckBox>(w, "chbYaxis");
    auto* yMin = child<QLineEdit>(w, "txtYMin");
    auto* yMax = child<QLineEdit>(w, "txtYMax");
    EXPECT_FALSE(yMax->isVisible());
    edit->click();
    EXPECT_TRUE(yMax->isVisible());
    yMin->clear();
    QTest::keyClicks(yMin, "-20");
    EXPECT_EQ(w->chart()->axisMinimum(0), -20.0);
    yMax->clear();
    QTest::keyClicks(yMax, "abc");
    EXPECT_EQ(w->chart()->axisMaximum(0), 0.0);

    // A minimum above the current maximum, then the maximum: the axis ends where the boxes
    // say, whichever was typed first, and the boxes keep what was typed.
    yMax->setText("100");
    yMin->clear();
    QTest::keyClicks(yMin, "200");
    EXPECT_EQ(w->chart()->axisMinimum(0), 100.0);  // inverted pair, drawn 100..200
    EXPECT_EQ(w->chart()->axisMaximum(0), 200.0);
    yMax->clear();
    QTest::keyClicks(yMax, "300");
    EXPECT_EQ(w->chart()->axisMinimum(0), 200.0);
    EXPECT_EQ(w->chart()->axisMaximum(0), 300.0);
    EXPECT_EQ(yMin->text(), "200");
    yMax->setText("20");
    QTest::keyClicks(yMax, "0");  // equal ends: nothing to draw, the axis stays
    EXPECT_EQ(w->chart()->axisMaximum(0), 300.0);
    EXPECT_EQ(yMax->text(), "200");

    QTest::keyClicks(child<QLineEdit>(w, "txtY2Max"), "9");
    edit->click();
    EXPECT_FALSE(yMax->isVisible());
    EXPECT_EQ(w->chart()->axisMinimum(0), 200.0);

    child<QLineEdit>(w, "txtG_Title")->setText("1호기");
    EXPECT_EQ(w->chart()->titleText(ChartView::ChartTitle), "1호기");
    auto* thick = child<QComboBox>(w, "cmbThick");
    thick->setCurrentText("2");
    EXPECT_EQ(w->chart()->lineWidth(), 2);
    thick->setCurrentText("500");
    EXPECT_EQ(w->chart()->lineWidth(), 10);
    thick->setCurrentText("abc");
    EXPECT_EQ(w->chart()->lineWidth(), 0);
}

TEST_F(Viewer, ScrollBarSwitchFollowsTheChart) {
    auto w = open();
    auto* scroll = child<QCheckBox>(w, "chbScroll");
    scroll->click();
    EXPECT_TRUE(w->chart()->scrollBarVisible());
    EXPECT_TRUE(scroll->isChecked());
    scroll->click();
    EXPECT_FALSE(w->chart()->scrollBarVisible());
    EXPECT_FALSE(scroll->isChecked());
}

TEST_F(Viewer, ExcelWithoutASelectedFileSaysSo) {
    writeData("ZR410_01.DAT", kThreeRecords);
    auto w = open();
    QTest::mouseClick(child<QPushButton>(w, "btnToExcel"), Qt::LeftButton);
    ASSERT_EQ(answers.told.size(), 1);
    EXPECT_TRUE(answers.told.front().contains("파일 목록에서 고르세요"));
    EXPECT_TRUE(answers.workbooksOpened.isEmpty());
}

TEST_F(Viewer, ExcelWritesAWorkbookAndHandsItToTheDesktop) {
    writeData("ZR410_01.DAT", kThreeRecords);
    auto w = open();
    clickFile(w, "ZR410_01.DAT");
    answers.workbookOpens = false;
    QTest::mouseClick(child<QPushButton>(w, "btnToExcel"), Qt::LeftButton);
    EXPECT_TRUE(child<QLabel>(w, "lblMsg")->isVisible());
    w->waitForTask();
    EXPECT_FALSE(child<QLabel>(w, "lblMsg")->isVisible());
    ASSERT_EQ(answers.workbooksOpened.size(), 1);
    const QString workbook = answers.workbooksOpened.front();
    EXPECT_TRUE(QFile::exists(workbook));
    ASSERT_EQ(answers.told.size(), 1);
    EXPECT_TRUE(answers.told.front().contains(QDir::toNativeSeparators(workbook)));
    QFile::remove(workbook);
}

TEST_F(Viewer, AFileFromElsewhereOpensByNameOrDropAndExportsAsCsv) {
    writeData("ZR410_01.DAT", kThreeRecords);
    const QString elsewhere = home_.path() + "/copied";
    QDir().mkpath(elsewhere);
    QFile::copy(dataFolder() + "/ZR410_01.DAT", elsewhere + "/line2.DAT");
    auto w = open();
    // Named on the command line: its folder is listed for this run, the remembered one kept.
    w->OpenDataFile(elsewhere + "/line2.DAT");
    w->waitForTask();
    EXPECT_EQ(w->FileListFolder(), elsewhere);
    EXPECT_EQ(w->chart()->contents()->size(), 3);
    auto* list = child<QListWidget>(w, "File1");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "line2.DAT");
    EXPECT_FALSE(QFile::exists(program_.path() + "/Folder.CFG"));

    // Written to the name the operator chose, .csv added; the data file itself is refused.
    answers.saveFile = home_.path() + "/line2";
    QTest::mouseClick(child<QPushButton>(w, "btnToCsv"), Qt::LeftButton);
    w->waitForTask();
    QFile csv(home_.path() + "/line2.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count("\r\n"), 4);
    EXPECT_TRUE(w->statusText().contains("3행"));
    answers.saveFile = elsewhere + "/line2.DAT";
    QTest::mouseClick(child<QPushButton>(w, "btnToCsv"), Qt::LeftButton);
    w->waitForTask();
    ASSERT_EQ(answers.told.size(), 1);
    QFile data(elsewhere + "/line2.DAT");
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), kThreeRecords);

    // Dropped on the window: the same, from the data folder.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dataFolder() + "/ZR410_01.DAT")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(w.get(), &drop);
    w->waitForTask();
    EXPECT_EQ(w->FileListFolder(), dataFolder());
    EXPECT_EQ(list->currentItem()->text(), "ZR410_01.DAT");

    // What is not a readable file is said, not loaded.
    w->OpenDataFile(home_.path() + "/none.DAT");
    EXPECT_TRUE(w->statusText().contains("none.DAT"));
    EXPECT_EQ(w->chart()->contents()->size(), 3);
}

TEST_F(Viewer, AFollowedFileGrowsOnScreenAndATornRecordWaitsForItsEnd) {
    writeData("ZR410_01.DAT", kThreeRecords + "2024-05-18\t00:00:0");  // logger mid-record
    auto w = open();
    auto* follow = child<QCheckBox>(w, "chbFollow");
    follow->click();
    clickFile(w, "ZR410_01.DAT");
    ASSERT_TRUE(w->follower()->isActive());
    EXPECT_EQ(w->chart()->contents()->size(), 3);
    auto* table = child<QTableView>(w, "sprdGRP_Data");

    const auto append = [&](const QByteArray& bytes) {
        QFile f(dataFolder() + "/ZR410_01.DAT");
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    };
    w->follower()->poll();  // nothing new: nothing changes
    EXPECT_EQ(w->chart()->contents()->size(), 3);
    // The torn record ends, one more follows, and the next starts.
    append(
        "9\t85.6\t80.4\t79.1\t25.3\t1.28\t85.0\r\n"
        "2024-05-18\t00:00:10\t85.7\t80.5\t79.2\t25.4\t1.29\t86.0\r\n2024-05-18\t00:0");
    w->follower()->poll();
    const auto& contents = *w->chart()->contents();
    ASSERT_EQ(contents.size(), 5);
    EXPECT_EQ(contents.stamps.time(3), "00:00:09");
    EXPECT_EQ(contents.series[0][3], 85.6);
    EXPECT_EQ(contents.series[5][4], 86.0);
    EXPECT_EQ(contents.maximum[5], 86.0);
    EXPECT_EQ(table->model()->rowCount(), 5);
    EXPECT_EQ(w->chart()->xMaximum(), 4.5);  // the whole (short) file was shown: it still is
    append("0:11\t85.8\t80.6\t79.3\t25.5\t1.30\t86.0\r\n");
    w->follower()->poll();
    EXPECT_EQ(w->chart()->contents()->size(), 6);
    EXPECT_EQ(w->chart()->contents()->stamps.time(5), "00:00:11");
    EXPECT_EQ(table->model()->data(table->model()->index(5, 7)).toString(), "1.30");

    // Cut short under the viewer: read again from the start.
    writeData("ZR410_01.DAT", kThreeRecords.left(kThreeRecords.indexOf('\n') + 1));
    w->follower()->poll();
    w->waitForTask();
    EXPECT_EQ(w->chart()->contents()->size(), 1);
    EXPECT_TRUE(w->follower()->isActive());

    follow->click();
    EXPECT_FALSE(w->follower()->isActive());
}

TEST_F(Viewer, CursorsReadAcrossMidnightAndStatisticsFollowTheVisibleRange) {
    writeData("ZR410_01.DAT", kThreeRecords);
    auto w = open();
    clickFile(w, "ZR410_01.DAT");
    // The record table shows each value as the file wrote it.
    QAbstractItemModel* table = child<QTableView>(w, "sprdGRP_Data")->model();
    const auto cell = [table](int row, int column) {
        return table->data(table->index(row, column)).toString();
    };
    EXPECT_EQ(cell(0, 3), "85.3");
    EXPECT_EQ(cell(0, 6), "25.0");
    EXPECT_EQ(cell(1, 4), "--");
    EXPECT_EQ(cell(1, 5), "");
    EXPECT_EQ(cell(2, 7), "1.27");
    auto* cursor = child<QCheckBox>(w, "chbCursor");
    EXPECT_EQ(w->readoutText(0, 0), "");   // no cursor read-out until asked for
    EXPECT_EQ(w->readoutText(2, 3), "0");  // 매체온도 minimum: "--" reads 0
    EXPECT_EQ(w->readoutText(2, 4), "80.3");
    EXPECT_EQ(w->readoutText(2, 5), "53.467");
    cursor->click();
    // A on the first record, B on the last, the difference over midnight.
    EXPECT_EQ(w->readoutText(0, 0), "2024-05-17 23:59:58");
    EXPECT_EQ(w->readoutText(0, 1), "2024-05-18 00:00:08");
    EXPECT_EQ(w->readoutText(0, 2), "00:00:10");
    EXPECT_EQ(w->readoutText(1, 2), "0.2");
    EXPECT_EQ(w->readoutText(5, 0), "1.25");

    // A click on the chart moves A; with Shift, B; the differences follow.
    QCustomPlot* plot = w->chart()->plot();
    const QPoint second(static_cast<int>(plot->xAxis->coordToPixel(1)),
                        static_cast<int>(plot->yAxis->coordToPixel(50)));
    QTest::mouseClick(plot, Qt::LeftButton, {}, second);
    EXPECT_EQ(child<QSpinBox>(w, "spnCursorA")->value(), 2);
    EXPECT_EQ(w->readoutText(0, 2), "00:00:05");
    QTest::mouseClick(plot, Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(static_cast<int>(plot->xAxis->coordToPixel(0)), second.y()));
    EXPECT_EQ(w->readoutText(0, 1), "2024-05-17 23:59:58");
    EXPECT_EQ(w->readoutText(0, 2), "-00:00:05");
    EXPECT_EQ(w->readoutText(2, 0), "0");  // "--" reads 0, as on the chart
    EXPECT_EQ(w->readoutText(2, 2), "80.1");

    // Statistics of what is shown: records 5 to 9 of twenty.
    QByteArray twenty;
    for (int i = 0; i < 20; ++i) {
        twenty += QStringLiteral("2024-05-18\t10:00:%1\t%2\t1\t1\t1\t1\t1\r\n")
                      .arg(i, 2, 10, QLatin1Char('0'))
                      .arg(i)
                      .toLatin1();
    }
    writeData("ZR410_02.DAT", twenty);
    w->OpenDataFile(dataFolder() + "/ZR410_02.DAT");
    w->waitForTask();
    EXPECT_EQ(w->readoutText(0, 1), "2024-05-18 10:00:19");  // a new file: B on its last
    w->chart()->setXRange(4, 8);
    for (int i = 0; i < 40 && w->readoutText(0, 3) != "2024-05-18 10:00:04"; ++i) {
        QTest::qWait(50);
    }
    EXPECT_EQ(w->readoutText(0, 3), "2024-05-18 10:00:04");
    EXPECT_EQ(w->readoutText(0, 4), "2024-05-18 10:00:08");
    EXPECT_EQ(w->readoutText(1, 3), "4");
    EXPECT_EQ(w->readoutText(1, 4), "8");
    EXPECT_EQ(w->readoutText(1, 5), "6");
}

TEST_F(Viewer, AOneRecordFileShowsItsPointsAndTheFocusStaysInTheList) {
    writeData("ZR410_01.DAT", kThreeRecords.left(kThreeRecords.indexOf('\n') + 1));
    auto w = open();
    auto* list = child<QListWidget>(w, "File1");
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    w->waitForTask();
    ASSERT_EQ(w->chart()->contents()->size(), 1);
    // Loading disabled the list for a while; the focus came back to it, not to "?".
    EXPECT_EQ(w->focusWidget(), list);

    // The record sits inside the plot with room for its label, and is drawn as a dot.
    QCustomPlot* plot = w->chart()->plot();
    EXPECT_LT(w->chart()->xMinimum(), 0.0);
    EXPECT_GT(w->chart()->xMaximum(), 0.0);
    plot->replot();
    const QImage image = plot->toPixmap().toImage();
    const QPoint at(static_cast<int>(plot->xAxis->coordToPixel(0)),
                    static_cast<int>(plot->yAxis->coordToPixel(78.9)));
    int painted = 0;
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) {
            painted += image.pixelColor(at + QPoint(dx, dy)) == w->chart()->seriesColour(2);
        }
    }
    EXPECT_GE(painted, 9);
}

TEST_F(Viewer, EveryControlIsReachedByTabAndAFileLoadsByEnter) {
    writeData("ZR410_01.DAT", kThreeRecords);
    auto w = open();
    child<QCheckBox>(w, "chbCursor")->click();  // its record boxes take part too
    child<QCheckBox>(w, "chbYaxis")->click();
    auto* list = child<QListWidget>(w, "File1");
    EXPECT_EQ(UnreachedByTab(w.get(), list), QStringList());
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Enter);
    w->waitForTask();
    EXPECT_EQ(w->chart()->contents()->size(), 3);

    // A screen reader's activate action on another file loads it too.
    writeData("ZR410_02.DAT", kThreeRecords.left(kThreeRecords.indexOf('\n') + 1));
    w->applyFolderChoice(dataFolder());
    QTest::qWait(1200);  // the list is read again shortly after a folder choice
    ASSERT_EQ(list->count(), 2);
    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(list)->child(1);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->actionInterface(), nullptr);
    ASSERT_FALSE(second->actionInterface()->actionNames().isEmpty());
    second->actionInterface()->doAction(second->actionInterface()->actionNames().first());
    w->waitForTask();
    EXPECT_EQ(w->chart()->contents()->size(), 1);
    EXPECT_EQ(list->currentItem()->text(), "ZR410_02.DAT");
}

TEST_F(Viewer, PrintWithoutAPrinterOffersAPdf) {
    auto w = open();
    answers.printer = false;
    answers.saveFile = home_.path() + "/graph";
    QTest::mouseClick(child<QPushButton>(w, "btnPrint"), Qt::LeftButton);
    QFile pdf(home_.path() + "/graph.pdf");
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");

    answers.yes = false;
    answers.saveFile = home_.path() + "/no.pdf";
    QTest::mouseClick(child<QPushButton>(w, "btnPrint"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(home_.path() + "/no.pdf"));
}

TEST_F(Viewer, CaptureGoesToTheClipboardAndABmpFile) {
    auto w = open();
    answers.saveFile = home_.path() + "/capture";
    QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
    const QImage saved(home_.path() + "/capture.bmp", "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), w->chart()->plot()->size());
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), saved.size());
}

TEST_F(Viewer, HelpOpensThePageBesideTheProgram) {
    auto w = open();
    QTest::mouseClick(child<QPushButton>(w, "Command2"), Qt::LeftButton);
    ASSERT_EQ(answers.helpOpened.size(), 1);
    EXPECT_TRUE(answers.helpOpened.front().endsWith("/Help/ZR410_Graph_V100.html"));
}

TEST_F(Viewer, EveryNamedControlHasAKoreanAccessibleName) {
    auto w = open();
    int checked = 0;
    for (QWidget* widget : w->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_")) {
            continue;
        }
        ++checked;
        EXPECT_FALSE(widget->accessibleName().isEmpty())
            << name.toStdString() << " " << widget->metaObject()->className();
    }
    EXPECT_GT(checked, 40);
    auto* colours = child<QTableWidget>(w, "sprdColor_Graph");
    EXPECT_TRUE(
        colours->item(0, 0)->data(Qt::AccessibleTextRole).toString().startsWith("금형온도"));
}
