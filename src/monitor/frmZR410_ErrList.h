#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmZR410_ErrList;
}

class QTableView;

namespace zr410 {

class ErrorHistory;
struct SharedState;

// Error message list ("에러 메시지"): opening asks the poll cycle for one read of the edit
// device's error history, and the grid shows the 20 entries as the reply fills the history.
// Each opening starts empty and reads once; a reply that comes after closing is not taken in.
class frmZR410_ErrList : public QDialog {
    Q_OBJECT

public:
    frmZR410_ErrList(SharedState& state, ErrorHistory& errors, QWidget* parent = nullptr);
    ~frmZR410_ErrList() override;

    QTableView* sprdErr() const;

private:
    void Form_Load();
    void Form_Unload();

    std::unique_ptr<Ui::frmZR410_ErrList> ui;
    SharedState& state_;
    ErrorHistory& errors_;
};

}  // namespace zr410
