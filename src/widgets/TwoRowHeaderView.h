#pragma once

#include <QHeaderView>

#include <vector>

namespace zr410 {

// A horizontal header of two rows. A group spans columns first..last in the upper row with its
// own text and shows each column's header text in the lower row; a column outside every group
// spans both rows. The column texts come from the model (DisplayRole), so the grid's columns
// keep their ordinary header data for everything else that reads it.
class TwoRowHeaderView : public QHeaderView {
    Q_OBJECT

public:
    struct Group {
        int first = 0;
        int last = 0;
        QString text;
    };

    explicit TwoRowHeaderView(QWidget* parent = nullptr);

    void setGroups(std::vector<Group> groups);
    const std::vector<Group>& groups() const { return groups_; }
    // The group a column belongs to, or nullptr when the column spans both rows.
    const Group* groupOf(int column) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void paintCell(QPainter* painter, const QRect& rect, const QString& text) const;

    std::vector<Group> groups_;
};

}  // namespace zr410
