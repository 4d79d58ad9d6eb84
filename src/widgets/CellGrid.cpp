#include "widgets/CellGrid.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/CellGridAccessible.h"
#include "widgets/TwoRowHeaderView.h"

namespace zr410 {

void ButtonCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!index.data(ButtonCellRole).toBool()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool down = pressed_.isValid() && pressed_ == index;
    QColor color = index.data(ButtonColorRole).value<QColor>();
    if (!color.isValid()) {
        color = option.palette.color(QPalette::Button);
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(option.rect).adjusted(2.5, 2.5, -2.5, -2.5);
    painter->setPen(QPen(down ? QColor(0x20, 0x20, 0x20) : QColor(0x40, 0x40, 0x40), 1));
    painter->setBrush(down ? color.darker(125) : color);
    painter->drawRoundedRect(face, 3, 3);
    QFont font = option.font;
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(color.lightness() < 140 ? Qt::white : Qt::black);
    const QRectF text = down ? face.translated(1, 1) : face;
    painter->drawText(text, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(face.adjusted(2, 2, -2, -2), 2, 2);
    }
    painter->restore();
}

void NameTableCorner(QTableView& table) {
    for (QAbstractButton* corner : table.findChildren<QAbstractButton*>()) {
        if (corner->accessibleName().isEmpty()) {
            corner->setAccessibleName(QStringLiteral("전체 선택"));
        }
    }
}

CellGrid::CellGrid(QWidget* parent) : QTableView(parent) {
    InstallCellGridAccessibility();
    NameTableCorner(*this);
    delegate_ = new ButtonCellDelegate(this);
    setItemDelegate(delegate_);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);  // cell hints on hover
    connect(this, &QAbstractItemView::clicked, this, &CellGrid::pressCell);
}

TwoRowHeaderView* CellGrid::useTwoRowHeader() {
    auto* header = new TwoRowHeaderView(this);
    setHorizontalHeader(header);
    return header;
}

bool CellGrid::isButtonCell(const QModelIndex& index) const {
    return index.isValid() && index.data(ButtonCellRole).toBool();
}

void CellGrid::pressCell(const QModelIndex& index) {
    if (!index.isValid() || index.model() != model()) {
        return;
    }
    const int row = index.row();
    const int column = index.column();
    const bool button = isButtonCell(index);
    emit cellClicked(row, column);
    if (button) {
        emit buttonClicked(row, column);
    }
}

void CellGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        pressCell(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CellGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && isButtonCell(index)) {
        showPressed(index);
    }
    QTableView::mousePressEvent(event);
}

void CellGrid::mouseReleaseEvent(QMouseEvent* event) {
    showPressed({});
    QTableView::mouseReleaseEvent(event);
}

void CellGrid::showPressed(const QModelIndex& index) {
    if (pressed_.isValid()) {
        viewport()->update(visualRect(pressed_));
    }
    pressed_ = index;
    delegate_->setPressed(index);
    if (index.isValid()) {
        viewport()->update(visualRect(index));
    }
}

}  // namespace zr410
