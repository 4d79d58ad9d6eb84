#include "viewer/frmZR410_GraphView.h"

#include <QGuiApplication>
#include <QScreen>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include "common/BuildInfo.h"
#include "common/ProgramFolder.h"
#include "ui_frmZR410_GraphView.h"
#include "viewer/BackgroundTask.h"
#include "viewer/ChartView.h"
#include "viewer/DataFileFollower.h"
#include "viewer/DataTableModel.h"
#include "viewer/LoadStatusText.h"
#include "widgets/ValueLabelAccessible.h"

namespace zr410 {

frmZR410_GraphView::frmZR410_GraphView(ViewerDialogs dialogs, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::frmZR410_GraphView>()),
      dialogs_(std::move(dialogs)) {
    InstallValueLabelAccessibility();
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("ZR410 - Graph Viwer V") + QLatin1String(kVersion));
    // The designed size is for a full-HD screen; a smaller one gets a window that fits it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(std::min(width(), available.width()), std::min(height(), available.height()));
    }
    task_ = new BackgroundTask(this);
    tableModel_ = new DataTableModel(this);
    ui_->sprdGRP_Data->setModel(tableModel_);
    tmrRefresh_List_ = new QTimer(this);
    tmrRefresh_List_->setObjectName(QStringLiteral("tmrRefresh_List"));
    tmrRefresh_List_->setSingleShot(true);
    tmrRefresh_List_->setInterval(50);
    ui_->splitChart->setStretchFactor(0, 4);
    ui_->splitChart->setStretchFactor(1, 1);

    connect(tmrRefresh_List_, &QTimer::timeout, this, &frmZR410_GraphView::tmrRefresh_List_Timer);
    connect(ui_->btnSelectFolder, &QPushButton::clicked, this,
            &frmZR410_GraphView::lblFolder_Click);
    ui_->lblFolder->installEventFilter(this);
    connect(ui_->File1, &QListWidget::itemClicked, this, &frmZR410_GraphView::File1_Click);
    // Assistive tools "activate" a list item by selecting it without making it current, as a
    // click or the keyboard would; such a selection loads the file as a click does.
    connect(ui_->File1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = ui_->File1->selectedItems();
        if (chosen.size() == 1 && chosen.first() != ui_->File1->currentItem() && !isBusy()) {
            ui_->File1->setCurrentItem(chosen.first());
            File1_Click(chosen.first());
        }
    });
    ui_->File1->installEventFilter(this);
    connect(task_, &BackgroundTask::progressChanged, ui_->prgTask, &QProgressBar::setValue);
    connect(ui_->btnCancelTask, &QPushButton::clicked, task_, &BackgroundTask::cancel);
    connect(ui_->btnPrint, &QPushButton::clicked, this, &frmZR410_GraphView::btnPrint_Click);
    connect(ui_->btnToExcel, &QPushButton::clicked, this, &frmZR410_GraphView::btnToExcel_Click);
    connect(ui_->btnToCsv, &QPushButton::clicked, this, &frmZR410_GraphView::btnToCsv_Click);
    connect(ui_->Command1, &QPushButton::clicked, this, &frmZR410_GraphView::Command1_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &frmZR410_GraphView::Command2_Click);
    connect(ui_->btnExit, &QPushButton::clicked, this, &QWidget::close);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &frmZR410_GraphView::Command2_Click);
    connectOptionControls();
    setAcceptDrops(true);
    setupReadout();
    follower_ = new DataFileFollower(this);
    connect(ui_->chbFollow, &QCheckBox::clicked, this, &frmZR410_GraphView::chbFollow_Click);
    connect(follower_, &DataFileFollower::recordsArrived, this,
            [this](const std::shared_ptr<const DataFileLoadResult>& lines) {
                onRecordsArrived(*lines);
            });
    // Cut or replaced under us: read it again from the start rather than show a mix.
    connect(follower_, &DataFileFollower::fileReplaced, this, [this] {
        if (!shownPath_.isEmpty()) {
            LoadDataFile(shownPath_);
        }
    });

    Form_Load();
}

frmZR410_GraphView::~frmZR410_GraphView() = default;

QString frmZR410_GraphView::DefaultDataFolder() {
    return QDir::homePath() + QStringLiteral("/ZR410_DATA");
}

void frmZR410_GraphView::Form_Load() {
    if (LoadFolderSetting()) {
        // A remembered folder that is gone falls back to the program folder for this run.
        if (!QFileInfo(DataFolder()).isDir()) {
            ui_->lblFolder->setText(ProgramFolder());
        }
    } else {
        const QString folder = DefaultDataFolder();
        QDir().mkdir(folder);
        ui_->lblFolder->setText(folder);
    }
    tmrRefresh_List_Timer();

    ui_->sprdGRP_Data->horizontalHeader()->setMinimumSectionSize(56);
    ui_->sprdGRP_Data->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    {
        // Date and time keep the width of their text; the values share what is left.
        QHeaderView* header = ui_->sprdGRP_Data->horizontalHeader();
        const QFontMetrics metrics(ui_->sprdGRP_Data->font());
        const int pad = 2 * metrics.horizontalAdvance(QLatin1Char('0'));
        header->setSectionResizeMode(1, QHeaderView::Fixed);
        header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + pad);
        header->setSectionResizeMode(2, QHeaderView::Fixed);
        header->resizeSection(2, metrics.horizontalAdvance(QStringLiteral("00:00:00")) + pad);
    }
    ui_->sprdGRP_Data->verticalHeader()->hide();
    // A million records must not be a Tab trap: arrows move in the table, Tab leaves it.
    ui_->sprdGRP_Data->setTabKeyNavigation(false);
    ui_->sprdGRP_Data->verticalHeader()->setDefaultSectionSize(22);
    chart()->SetupChartSeries();
    chart()->ClearChart();
    setupOptionControls();
    if (!LoadChartColours()) {
        ShowDefaultChartColours();
    }
    ShowBorderColour();
    loadPrintMargins();
    loadUseItems();
    chart()->set3D(ui_->chb3D->isChecked());
    chart()->setZoomEnabled(true);
    showAxisLimits();
}

bool frmZR410_GraphView::LoadFolderSetting() {
    const auto folder = zr410::LoadFolderSetting();
    if (!folder) {
        return false;
    }
    ui_->lblFolder->setText(*folder);
    return true;
}

QString frmZR410_GraphView::DataFolder() const {
    return ui_->lblFolder->text();
}

ChartView* frmZR410_GraphView::chart() const {
    return ui_->ChartFX1;
}

void frmZR410_GraphView::lblFolder_Click() {
    if (isBusy()) {
        return;
    }
    // The platform dialog opens at the current data folder, where the operator most likely
    // wants to start; the program folder when that is gone.
    const QString start = QFileInfo(DataFolder()).isDir() ? DataFolder() : ProgramFolder();
    const QString chosen = dialogs_.chooseFolder(this, start);
    if (!chosen.isEmpty()) {
        applyFolderChoice(QDir::cleanPath(chosen));
    }
}

void frmZR410_GraphView::applyFolderChoice(const QString& folder) {
    zr410::SaveFolderSetting(folder);  // a failed write still switches folders for this run
    ui_->lblFolder->setText(folder);
    tmrRefresh_List_->start();
}

void frmZR410_GraphView::tmrRefresh_List_Timer() {
    tmrRefresh_List_->stop();
    fileListFolder_ = DataFolder();
    QDir folder(fileListFolder_);
    // *.DAT whatever the letter case: files copied from Windows PCs are often named *.dat.
    const QFileInfoList entries = folder.entryInfoList(
        {QStringLiteral("*.DAT")}, QDir::Files | QDir::Readable | QDir::Hidden | QDir::System,
        QDir::Name | QDir::IgnoreCase);
    ui_->File1->clear();
    const QLocale english(QLocale::English);
    for (const QFileInfo& info : entries) {
        auto* item = new QListWidgetItem(info.fileName(), ui_->File1);
        item->setToolTip(
            QStringLiteral("%1 바이트, 수정 %2")
                .arg(english.toString(info.size()),
                     info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    }
    if (entries.isEmpty()) {
        setStatus(QStringLiteral("이 폴더에는 데이터 파일(*.DAT)이 없습니다."), false);
    }
}

QStringList frmZR410_GraphView::ListedFiles() const {
    QStringList names;
    for (int i = 0; i < ui_->File1->count(); ++i) {
        names.append(ui_->File1->item(i)->text());
    }
    return names;
}

QString frmZR410_GraphView::selectedFilePath() const {
    const QList<QListWidgetItem*> selected = ui_->File1->selectedItems();
    if (selected.isEmpty()) {
        return QString();
    }
    return fileListFolder_ + QLatin1Char('/') + selected.first()->text();
}

void frmZR410_GraphView::File1_Click(QListWidgetItem* item) {
    if (item == nullptr || isBusy()) {
        return;
    }
    LoadDataFile(fileListFolder_ + QLatin1Char('/') + item->text());
}

void frmZR410_GraphView::LoadDataFile(const QString& path) {
    if (isBusy()) {
        return;
    }
    follower_->stop();
    setBusy(true, QStringLiteral("%1 불러오는 중...").arg(QFileInfo(path).fileName()));
    auto result = std::make_shared<DataFileLoadResult>();
    BackgroundTask* task = task_;
    task_->start(
        [result, path, task] {
            *result = ReadDataFile(
                path, [task](qint64 done, qint64 total) { return task->report(done, total); });
        },
        [this, result, path] { onLoadDone(path, std::move(*result)); });
}

void frmZR410_GraphView::OpenDataFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        setStatus(QStringLiteral("%1: 읽을 수 있는 파일이 아닙니다.")
                      .arg(QDir::toNativeSeparators(info.absoluteFilePath())),
                  true);
        return;
    }
    if (isBusy()) {
        return;
    }
    const QString folder = info.absolutePath();
    if (QDir(folder) != QDir(fileListFolder_)) {
        ui_->lblFolder->setText(folder);
        tmrRefresh_List_Timer();
    }
    const QList<QListWidgetItem*> found = ui_->File1->findItems(info.fileName(), Qt::MatchExactly);
    if (!found.isEmpty()) {
        ui_->File1->setCurrentItem(found.first());
    }
    LoadDataFile(info.absoluteFilePath());
}

namespace {
// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1 ||
        !mime->urls().first().isLocalFile()) {
        return QString();
    }
    const QString path = mime->urls().first().toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}
}  // namespace

void frmZR410_GraphView::dragEnterEvent(QDragEnterEvent* event) {
    if (!isBusy() && !droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmZR410_GraphView::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (!path.isEmpty()) {
        event->acceptProposedAction();
        OpenDataFile(path);
    }
}

void frmZR410_GraphView::onLoadDone(const QString& path, DataFileLoadResult result) {
    setBusy(false, QString());
    const QString name = QFileInfo(path).fileName();
    if (result.status == DataFileStatus::Cancelled) {
        setStatus(DescribeLoadResult(name, result), false);
        return;
    }
    follower_->stop();
    shownPath_ = path;
    shownBytes_ = result.bytesComplete;
    shownSkipped_ = result.linesSkipped;
    if (result.recordsRead > 0) {
        shown_ = std::make_shared<DataFileContents>(std::move(result.contents));
        chart()->setContents(shown_);
        tableModel_->setContents(shown_);
    } else {
        // Leaving the previous file's curves up would pass them off as this file's.
        shown_.reset();
        chart()->ClearChart();
        tableModel_->setContents(nullptr);
    }
    chart()->SetupChartSeries();
    showAxisLimits();
    readoutContentsChanged(true);
    setStatus(DescribeLoadResult(name, result), IsLoadFailure(result));
    if (result.status == DataFileStatus::Missing) {
        tmrRefresh_List_->start();
        shownPath_.clear();
    }
    if (result.status == DataFileStatus::Ok) {
        followShownFile();
    }
}

void frmZR410_GraphView::chbFollow_Click() {
    if (ui_->chbFollow->isChecked()) {
        followShownFile();
    } else {
        follower_->stop();
    }
}

void frmZR410_GraphView::followShownFile() {
    if (ui_->chbFollow->isChecked() && !shownPath_.isEmpty() && !isBusy()) {
        follower_->start(shownPath_, shownBytes_);
    }
}

void frmZR410_GraphView::onRecordsArrived(const DataFileLoadResult& lines) {
    shownBytes_ = follower_->offset();
    shownSkipped_ += lines.linesSkipped;
    if (lines.recordsRead == 0) {
        return;
    }
    if (!shown_) {
        // The file had no record when it was loaded: its first ones start the chart.
        shown_ = std::make_shared<DataFileContents>(lines.contents);
        chart()->setContents(shown_);
        tableModel_->setContents(shown_);
        chart()->SetupChartSeries();
        showAxisLimits();
        readoutContentsChanged(true);
    } else {
        const qsizetype before = shown_->size();
        AppendContents(*shown_, lines.contents);
        chart()->contentsGrew(before);
        tableModel_->contentsGrew();
        readoutContentsChanged(false);
        if (!ui_->chbYaxis->isChecked()) {
            showAxisLimits();
        }
    }
    setStatus(QStringLiteral("%1: 기록 %2개 (따라가는 중)")
                  .arg(QFileInfo(shownPath_).fileName(),
                       QLocale(QLocale::English).toString(shown_->size())),
              false);
}

bool frmZR410_GraphView::isBusy() const {
    return task_->busy();
}

void frmZR410_GraphView::waitForTask() {
    task_->waitForDone();
}

QString frmZR410_GraphView::statusText() const {
    return ui_->lblLoadStatus->text();
}

void frmZR410_GraphView::setBusy(bool busy, const QString& status) {
    if (busy && focusBeforeBusy_ == nullptr) {
        focusBeforeBusy_ = focusWidget();
    }
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->File1), static_cast<QWidget*>(ui_->btnSelectFolder),
          static_cast<QWidget*>(ui_->btnToExcel), static_cast<QWidget*>(ui_->btnToCsv),
          static_cast<QWidget*>(ui_->btnPrint), static_cast<QWidget*>(ui_->Command1)}) {
        w->setEnabled(!busy);
    }
    ui_->prgTask->setValue(0);
    ui_->prgTask->setVisible(busy);
    ui_->btnCancelTask->setVisible(busy);
    if (busy) {
        setCursor(Qt::BusyCursor);
        setStatus(status, false);
    } else {
        unsetCursor();
        // Disabling the list during the load moved the focus on (to "?", where Space would
        // close the window): give it back to where the operator was.
        if (focusBeforeBusy_ != nullptr && focusBeforeBusy_->isEnabled() &&
            focusBeforeBusy_->isVisible()) {
            focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
        }
        focusBeforeBusy_.clear();
    }
}

void frmZR410_GraphView::setStatus(const QString& text, bool failure) {
    ui_->lblLoadStatus->setText(text);
    ui_->lblLoadStatus->setStyleSheet(failure ? QStringLiteral("color: #b00000;") : QString());
}

bool frmZR410_GraphView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->lblFolder && event->type() == QEvent::MouseButtonRelease) {
        lblFolder_Click();
        return true;
    }
    if (watched == ui_->lblColor_Border && event->type() == QEvent::MouseButtonRelease) {
        lblColor_Border_Click();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool activate = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        if (watched == ui_->File1 && activate) {
            File1_Click(ui_->File1->currentItem());
            return true;
        }
        if (watched == ui_->lblColor_Border && activate) {
            lblColor_Border_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmZR410_GraphView::closeEvent(QCloseEvent* event) {
    // A file operation still running is cancelled, not waited out.
    task_->cancel();
    task_->waitForDone();
    event->accept();
}

}  // namespace zr410
