#include "widgets/GridDelegates.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTimer>

namespace zr410 {

ChoiceDelegate::ChoiceDelegate(QStringList choices, QObject* parent)
    : QStyledItemDelegate(parent), choices_(std::move(choices)) {}

QWidget* ChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                      const QModelIndex& index) const {
    auto* box = new QComboBox(parent);
    box->addItems(choices_);
    const QVariant name = index.model()->headerData(index.column(), Qt::Horizontal);
    box->setAccessibleName(name.toString());
    // Picking an entry is the whole edit: store it and close, as a drop-down cell does.
    connect(box, &QComboBox::activated, this, &ChoiceDelegate::commitAndClose);
    // Open the list straight away so one click on the cell shows the choices.
    QTimer::singleShot(0, box, [box] {
        if (box->isVisible()) {
            box->showPopup();
        }
    });
    return box;
}

void ChoiceDelegate::commitAndClose() {
    if (auto* box = qobject_cast<QComboBox*>(sender())) {
        emit commitData(box);
        emit closeEditor(box);
    }
}

void ChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
}

void ChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    const auto* box = static_cast<QComboBox*>(editor);
    if (box->currentIndex() >= 0) {
        model->setData(index, box->currentText(), Qt::EditRole);
    }
}

void ChoiceDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                          const QModelIndex& /*index*/) const {
    editor->setGeometry(option.rect);
}

void ChoiceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);

    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int side = qMin(option.rect.height() - 6, 12);
    if (side <= 0) {
        return;
    }
    QStyleOption arrow;
    if (widget != nullptr) {
        arrow.initFrom(widget);
    }
    arrow.rect =
        QRect(option.rect.right() - side - 4, option.rect.center().y() - side / 2 + 1, side, side);
    arrow.palette = option.palette;
    arrow.state = option.state & QStyle::State_Enabled;
    if (option.state & QStyle::State_Selected) {
        arrow.palette.setColor(QPalette::ButtonText,
                               option.palette.color(QPalette::HighlightedText));
    }
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, widget);
}

}  // namespace zr410
