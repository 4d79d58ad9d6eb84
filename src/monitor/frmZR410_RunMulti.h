#pragma once

#include <QDialog>

#include <memory>

#include "monitor/RunTableModel.h"

namespace Ui {
class frmZR410_RunMulti;
}

namespace zr410 {

class CellGrid;
class frmZR410_Main;

// Multi-device run table ("멀티운전"): every served controller in one row with its link
// state, values, set value, operating states and reservation state, kept current by the
// status replies while the window is open. A command button or the SV cell of a row acts on
// that row's controller, which becomes the edit device of the main window.
class frmZR410_RunMulti : public QDialog {
    Q_OBJECT

public:
    explicit frmZR410_RunMulti(frmZR410_Main& main);
    ~frmZR410_RunMulti() override;

    // Grid notifications, with the grid's row numbering (data rows from 1).
    void sprdMulti_ButtonClicked(int column, int row);
    void sprdMulti_Click(int column, int row);

    RunTableModel& Table() { return table_; }
    CellGrid* sprdMulti() const;

private:
    void Form_Load();
    void Form_Unload();
    void FitToRows();
    void UpdateRunMultiRow(int row);
    // Makes the row's controller the edit device when it is not already; false, with a
    // message, when it cannot take commands.
    bool ActOnRow(int row);
    void EditSetValue(int row);

    std::unique_ptr<Ui::frmZR410_RunMulti> ui;
    frmZR410_Main& main_;
    RunTableModel table_;
};

}  // namespace zr410
