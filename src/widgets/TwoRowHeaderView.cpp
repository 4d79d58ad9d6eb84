#include "widgets/TwoRowHeaderView.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace zr410 {

TwoRowHeaderView::TwoRowHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void TwoRowHeaderView::setGroups(std::vector<Group> groups) {
    groups_ = std::move(groups);
    updateGeometry();
    viewport()->update();
}

const TwoRowHeaderView::Group* TwoRowHeaderView::groupOf(int column) const {
    for (const Group& group : groups_) {
        if (column >= group.first && column <= group.last) {
            return &group;
        }
    }
    return nullptr;
}

QSize TwoRowHeaderView::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    const int row = fontMetrics().height() + 10;
    size.setHeight(2 * row);
    return size;
}

void TwoRowHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QString text = model() != nullptr
                             ? model()->headerData(logicalIndex, orientation()).toString()
                             : QString();
    const Group* group = groupOf(logicalIndex);
    if (group == nullptr) {
        paintCell(painter, rect, text);
        return;
    }
    const int upper = rect.height() / 2;
    // Every column of a group paints the whole upper cell: each paint is the same, and a
    // partial repaint of one column still shows the group's text whole.
    const int left = sectionViewportPosition(group->first);
    const int right = sectionViewportPosition(group->last) + sectionSize(group->last);
    paintCell(painter, QRect(left, rect.top(), right - left, upper), group->text);
    paintCell(painter, QRect(rect.left(), rect.top() + upper, rect.width(), rect.height() - upper),
              text);
}

void TwoRowHeaderView::paintCell(QPainter* painter, const QRect& rect, const QString& text) const {
    QStyleOptionHeader option;
    option.initFrom(this);
    option.rect = rect;
    option.text = text;
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::Middle;
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    painter->save();
    painter->setClipRect(rect.intersected(viewport()->rect()));
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
}

}  // namespace zr410
