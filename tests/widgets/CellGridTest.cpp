#include "widgets/CellGrid.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

using namespace zr410;

namespace {

// Two rows of a text cell and a button cell ("RUN", on in row 0, off in row 1), and a third
// column of plain text.
class Grid : public ::testing::Test {
protected:
    Grid() : model(2, 3) {
        for (int row = 0; row < 2; ++row) {
            model.setItem(row, 0, new QStandardItem(QStringLiteral("기기 %1").arg(row + 1)));
            auto* button = new QStandardItem(QStringLiteral("RUN"));
            button->setData(true, ButtonCellRole);
            button->setData(row == 0 ? QColor(Qt::red) : QColor(0xE0, 0xE0, 0xE0), ButtonColorRole);
            button->setData(row == 0, ButtonOnRole);
            model.setItem(row, 1, button);
            model.setItem(row, 2, new QStandardItem(QStringLiteral("85.3")));
        }
        model.setHorizontalHeaderLabels({"기기", "RUN", "SV"});
        grid.setModel(&model);
        grid.resize(400, 200);
        grid.show();
    }

    QPoint centre(int row, int column) {
        return grid.visualRect(model.index(row, column)).center();
    }

    QStandardItemModel model;
    CellGrid grid;
    QSignalSpy cells{&grid, &CellGrid::cellClicked};
    QSignalSpy buttons{&grid, &CellGrid::buttonClicked};
};

}  // namespace

TEST_F(Grid, MouseClickOnAButtonCellIsAButtonClickAndACellClick) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(1, 1));
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0], (QList<QVariant>{1, 1}));
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0], (QList<QVariant>{1, 1}));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(0, 2));
    EXPECT_EQ(buttons.size(), 1);  // a text cell is no button
    ASSERT_EQ(cells.size(), 2);
    EXPECT_EQ(cells[1], (QList<QVariant>{0, 2}));
}

TEST_F(Grid, SpaceOnTheCurrentCellPressesIt) {
    grid.setCurrentIndex(model.index(0, 1));
    QTest::keyClick(&grid, Qt::Key_Space);
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0], (QList<QVariant>{0, 1}));
}

TEST_F(Grid, AssistiveToolsSeeHeadersCellsAndButtonsWithTheirState) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->tableInterface()->rowCount(), 2);
    EXPECT_EQ(table->tableInterface()->columnCount(), 3);
    EXPECT_EQ(table->childCount(), 9);  // header row and two data rows

    QAccessibleInterface* header = table->child(1);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(header->text(QAccessible::Name), "RUN");

    QAccessibleInterface* on = table->tableInterface()->cellAt(0, 1);
    QAccessibleInterface* off = table->tableInterface()->cellAt(1, 1);
    ASSERT_NE(on, nullptr);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(on->role(), QAccessible::Button);
    EXPECT_EQ(on->text(QAccessible::Name), "RUN");
    EXPECT_TRUE(on->state().checked);
    EXPECT_TRUE(on->text(QAccessible::Description).contains("켜짐"));
    EXPECT_FALSE(off->state().checked);
    EXPECT_TRUE(off->text(QAccessible::Description).contains("꺼짐"));
    EXPECT_EQ(table->indexOfChild(off), 7);
    EXPECT_EQ(table->child(7), off);

    QAccessibleInterface* text = table->tableInterface()->cellAt(1, 2);
    EXPECT_EQ(text->role(), QAccessible::Cell);
    EXPECT_EQ(text->text(QAccessible::Name), "85.3");
    ASSERT_NE(text->tableCellInterface(), nullptr);
    EXPECT_EQ(text->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(text->tableCellInterface()->columnHeaderCells().value(0), table->child(2));
    const QPoint middle = text->rect().center();
    EXPECT_EQ(table->childAt(middle.x(), middle.y()), text);

    // Pressing a button the way a screen reader does is the operator's click, after the call.
    ASSERT_NE(off->actionInterface(), nullptr);
    off->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(buttons.isEmpty());
    ASSERT_TRUE(buttons.wait(1000) || !buttons.isEmpty());
    EXPECT_EQ(buttons[0], (QList<QVariant>{1, 1}));
}

TEST_F(Grid, CellsOfRemovedRowsAreGone) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    QAccessibleInterface* last = table->tableInterface()->cellAt(1, 2);
    ASSERT_NE(last, nullptr);
    model.removeRow(1);
    EXPECT_EQ(table->tableInterface()->cellAt(1, 2), nullptr);
    EXPECT_EQ(table->childCount(), 6);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 2)->text(QAccessible::Name), "85.3");
}
