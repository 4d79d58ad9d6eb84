#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

#include "logging/DataFile.h"
#include "viewer/ViewerDialogs.h"
#include "viewer/ViewerSettings.h"

class QListWidgetItem;
class QTableWidget;
class QTimer;

namespace Ui {
class frmZR410_GraphView;
}

namespace zr410 {

class BackgroundTask;
class ChartCursors;
class ChartView;
class DataFileFollower;
class DataTableModel;

// The viewer's only window: data folder, file list, chart with its set-up panel, print,
// spreadsheet export and capture. Files are read and exported on a worker thread, so the
// window keeps answering; while that runs only the commands that would start another file
// operation are switched off.
class frmZR410_GraphView : public QWidget {
    Q_OBJECT

public:
    explicit frmZR410_GraphView(ViewerDialogs dialogs = ViewerDialogs::Platform(),
                                QWidget* parent = nullptr);
    ~frmZR410_GraphView() override;

    // The default data folder when Folder.CFG names none: ~/ZR410_DATA.
    static QString DefaultDataFolder();

    QString DataFolder() const;  // what lblFolder shows
    QString FileListFolder() const { return fileListFolder_; }
    QStringList ListedFiles() const;

    // Reads the file on the worker thread and hands it to the chart once, when read whole.
    void LoadDataFile(const QString& path);
    // A file named on the command line or dropped on the window: its folder is listed for this
    // run (the remembered data folder is kept), the file chosen in the list and loaded.
    void OpenDataFile(const QString& path);
    bool isBusy() const;
    // A cell of the cursor and statistics read-out: row 0 the date and time, rows 1..6 the
    // series; columns A, B, B−A, minimum, maximum, mean.
    QString readoutText(int row, int column) const;
    // The follower of the shown file (tests drive its look directly).
    DataFileFollower* follower() const { return follower_; }
    // Waits for a running load or export and delivers its end (tests, shutdown).
    void waitForTask();
    QString statusText() const;
    ChartView* chart() const;

    // What OK of the folder picker does with the chosen folder.
    void applyFolderChoice(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Start-up and the file list (frmZR410_GraphView.cpp).
    void Form_Load();
    bool LoadFolderSetting();
    void lblFolder_Click();
    void tmrRefresh_List_Timer();
    void File1_Click(QListWidgetItem* item);
    void onLoadDone(const QString& path, DataFileLoadResult result);
    void setBusy(bool busy, const QString& status);
    void setStatus(const QString& text, bool failure);
    void chbFollow_Click();
    void followShownFile();
    void onRecordsArrived(const DataFileLoadResult& lines);
    QString selectedFilePath() const;

    // Chart set-up and the settings grids (frmZR410_GraphView_Options.cpp).
    void setupOptionControls();
    void connectOptionControls();
    bool LoadChartColours();
    void SaveChartColours();
    void ShowDefaultChartColours();
    void ShowBorderColour();
    void showSeriesColour(int series, const QColor& colour);
    void loadUseItems();
    void loadPrintMargins();
    void sprdColor_Graph_Click(int series);
    void sprdUseItem_Click(int series);
    void sprdMargin_Change();
    void chbYaxis_Click();
    void limitBoxEdited(int axis);
    void showAxisLimits();
    void cmbThick_Click(const QString& text);
    void chbScroll_Click();
    void chbBorder_Click();
    void lblColor_Border_Click();
    PrintMarginCells marginCells() const;

    // Cursors and the read-out (frmZR410_GraphView_Readout.cpp).
    void setupReadout();
    void setCursorRecord(int cursor, qsizetype index);
    void readoutContentsChanged(bool newFile);
    void updateReadout();

    // Print, export, capture and help (frmZR410_GraphView_Output.cpp).
    void btnPrint_Click();
    void btnToExcel_Click();
    void btnToCsv_Click();
    void Command1_Click();
    void Command2_Click();

    std::unique_ptr<Ui::frmZR410_GraphView> ui_;
    ViewerDialogs dialogs_;
    BackgroundTask* task_ = nullptr;
    DataTableModel* tableModel_ = nullptr;
    QTimer* tmrRefresh_List_ = nullptr;
    QString fileListFolder_;
    // The file on the chart: the chart and the table share its contents, which grow in place
    // while the file is followed.
    QString shownPath_;
    std::shared_ptr<DataFileContents> shown_;
    qint64 shownBytes_ = 0;    // whole lines read of it so far
    qint64 shownSkipped_ = 0;  // lines that were no record
    DataFileFollower* follower_ = nullptr;
    QPointer<QWidget> focusBeforeBusy_;  // given back when a file operation ends
    ChartCursors* cursors_ = nullptr;
    QTimer* readoutTimer_ = nullptr;
    std::array<qsizetype, 2> cursorRecord_{0, 0};  // records under cursors A and B
    QPoint pressedAt_;
    bool fillingGrids_ = false;
};

}  // namespace zr410
