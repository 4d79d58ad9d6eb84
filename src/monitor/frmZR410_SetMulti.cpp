#include "monitor/frmZR410_SetMulti.h"

#include "ui_frmZR410_SetMulti.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>

#include "widgets/GridDelegates.h"

namespace zr410 {
namespace {

constexpr int kUseColumn = 0;
constexpr int kNameColumn = 1;
const QString kServed = QStringLiteral("O");
const QString kNotServed = QStringLiteral("X");
const QColor kServedBackground(0xd4, 0xf4, 0xd4);

}  // namespace

const QString frmZR410_SetMulti::kNothingSelectedText =
    QStringLiteral("사용 여부에 최소 하나는 O 를 선택해야만 합니다.");

frmZR410_SetMulti::frmZR410_SetMulti(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmZR410_SetMulti>()) {
    ui->setupUi(this);

    QTableWidget* grid = ui->sprdList;
    grid->setColumnCount(2);
    grid->setRowCount(kMaxDeviceNo);
    grid->setHorizontalHeaderLabels({QStringLiteral("사용 여부"), QStringLiteral("채널 명칭")});
    QStringList rowNames;
    for (int row = 0; row < kMaxDeviceNo; ++row) {
        rowNames.append(QString::number(row + 1));
    }
    grid->setVerticalHeaderLabels(rowNames);
    grid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 10);
    // One cell is edited at a time; the corner's select-all has nothing to do here.
    grid->setCornerButtonEnabled(false);
    if (auto* corner = grid->findChild<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("기기번호"));
    }
    grid->horizontalHeader()->setSectionResizeMode(kUseColumn, QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    grid->setColumnWidth(kUseColumn, 96);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    useDelegate_ = new ChoiceDelegate({kServed, kNotServed}, grid);
    grid->setItemDelegateForColumn(kUseColumn, useDelegate_);
    grid->installEventFilter(this);

    // One click on a use cell opens its list; names are edited by typing or double-click.
    connect(grid, &QTableWidget::clicked, this, [grid](const QModelIndex& index) {
        if (index.column() == kUseColumn) {
            grid->edit(index);
        }
    });
    connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kUseColumn) {
            showUse(item->row());
            showCount();
        }
    });
    connect(ui->btnAllO, &QPushButton::clicked, this, [this] { setAllUse(kServed); });
    connect(ui->btnAllX, &QPushButton::clicked, this, [this] { setAllUse(kNotServed); });
    connect(ui->btnOK, &QPushButton::clicked, this, &frmZR410_SetMulti::btnOK_Click);
    connect(ui->btnCancel, &QPushButton::clicked, this, &frmZR410_SetMulti::btnCancel_Click);

    Form_Load();
}

frmZR410_SetMulti::~frmZR410_SetMulti() = default;

void frmZR410_SetMulti::Form_Load() {
    LoadSelectionGrid();
}

void frmZR410_SetMulti::LoadSelectionGrid() {
    const SelectionGrid entries = zr410::LoadSelectionGrid(DeviceSelectionPath());
    QTableWidget* grid = ui->sprdList;
    const QSignalBlocker quiet(grid);
    for (int row = 0; row < kMaxDeviceNo; ++row) {
        auto* use = new QTableWidgetItem(entries[row].use);
        use->setTextAlignment(Qt::AlignCenter);
        grid->setItem(row, kUseColumn, use);
        grid->setItem(row, kNameColumn, new QTableWidgetItem(entries[row].name));
        showUse(row);
    }
    showCount();
}

SelectionGrid frmZR410_SetMulti::Entries() const {
    SelectionGrid entries;
    for (int row = 0; row < kMaxDeviceNo; ++row) {
        entries[row].use = ui->sprdList->item(row, kUseColumn)->text();
        entries[row].name = ui->sprdList->item(row, kNameColumn)->text();
    }
    return entries;
}

void frmZR410_SetMulti::btnOK_Click() {
    commitOpenEditor();
    const SelectionGrid entries = Entries();
    if (!HasSelectedDevice(entries)) {
        ShowMessage(kNothingSelectedText);
        return;
    }
    if (!SaveSelectionGrid(DeviceSelectionPath(), entries)) {
        ShowMessage(QStringLiteral("멀티 설정을 %1 에 저장하지 못했습니다.\n"
                                   "새 설정은 프로그램을 끝낼 때까지만 적용됩니다.")
                        .arg(DeviceSelectionPath()));
    }
    selected_ = SelectedDevices(entries);
    accept();
}

void frmZR410_SetMulti::btnCancel_Click() {
    reject();
}

void frmZR410_SetMulti::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("멀티 설정 메시지"));
    box.exec();
}

bool frmZR410_SetMulti::eventFilter(QObject* watched, QEvent* event) {
    // O, X and the space bar set the use flag of the current row at once, so an operator can
    // walk down the list with the arrow keys without opening a drop-down on every row. While
    // a cell is being edited the keys go to its editor, not here.
    if (watched == ui->sprdList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QModelIndex current = ui->sprdList->currentIndex();
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier ||
                           key->modifiers() == Qt::ShiftModifier;
        if (current.isValid() && current.column() == kUseColumn && plain) {
            switch (key->key()) {
                case Qt::Key_O:
                    setUse(current.row(), kServed);
                    return true;
                case Qt::Key_X:
                    setUse(current.row(), kNotServed);
                    return true;
                case Qt::Key_Space: {
                    const bool served =
                        ui->sprdList->item(current.row(), kUseColumn)->text() == kServed;
                    setUse(current.row(), served ? kNotServed : kServed);
                    return true;
                }
                default:
                    break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmZR410_SetMulti::setAllUse(const QString& use) {
    commitOpenEditor();
    for (int row = 0; row < kMaxDeviceNo; ++row) {
        setUse(row, use);
    }
}

void frmZR410_SetMulti::setUse(int row, const QString& use) {
    ui->sprdList->item(row, kUseColumn)->setText(use);
}

void frmZR410_SetMulti::showUse(int row) {
    QTableWidgetItem* item = ui->sprdList->item(row, kUseColumn);
    item->setBackground(item->text() == kServed ? QBrush(kServedBackground) : QBrush());
}

void frmZR410_SetMulti::showCount() {
    const std::size_t count = SelectedDevices(Entries()).size();
    ui->lblCount->setText(QStringLiteral("사용: %1대").arg(count));
}

void frmZR410_SetMulti::commitOpenEditor() {
    QTableWidget* grid = ui->sprdList;
    const QModelIndex current = grid->currentIndex();
    if (QWidget* editor = grid->indexWidget(current)) {
        grid->itemDelegateForIndex(current)->setModelData(editor, grid->model(), current);
    }
}

}  // namespace zr410
