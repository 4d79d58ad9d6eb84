#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

namespace zr410 {

// A grid cell that offers fixed choices ("O", "X"): it is drawn with a drop-down arrow so the
// operator sees it can be opened, opens its list at once when edited, and its text is the
// chosen entry as soon as one is picked.
class ChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ChoiceDelegate(QStringList choices, QObject* parent = nullptr);

    const QStringList& choices() const { return choices_; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void commitAndClose();

    QStringList choices_;
};

}  // namespace zr410
