#pragma once

#include <QDateTime>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

#include "engine/SharedState.h"

namespace Ui {
class frmZR410_SetDT;
}

class QTableWidgetItem;

namespace zr410 {

// The controller clock dialog ("현재 일시 설정"): shows the PC's clock, ticking every second,
// and writes the date, weekday and time of its grid to the edit device's clock in one
// six-pair request. In follow mode (btnSameDT1 on) the grid is refilled with the PC's clock at
// every tick. It never reads the controller's clock; the main window shows that.
class frmZR410_SetDT : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTickMs = 1000;

    explicit frmZR410_SetDT(SharedState& state, QWidget* parent = nullptr);
    ~frmZR410_SetDT() override;

    void tmrDT_Timer();
    void btnSameDT1_Click();
    void sprdDT_Change(int column, int row);
    void btnSet_Click();
    void btnClose_Click();

    bool FollowPcClock() const { return FollowPcClock_; }
    const QTimer& TickTimer() const { return tmrDT; }
    // The grid's data cell in its own numbering: column 1 date, 2 weekday, 3 time; row 1.
    QString CellText(int column) const;
    void SetCellText(int column, const QString& text);  // as the operator types it
    // Where the PC's time comes from; tests hand in a fixed clock.
    void SetPcClock(std::function<QDateTime()> now);

protected:
    // Tests replace it.
    virtual void ShowMessage(const QString& text);

private:
    void Form_Load();
    void ShowFollowState();
    void FillCell(int column, const QString& text);

    std::unique_ptr<Ui::frmZR410_SetDT> ui;
    SharedState& state_;
    QTimer tmrDT;
    bool FollowPcClock_ = false;
    bool filling_ = false;
    std::function<QDateTime()> pcClock_;
};

}  // namespace zr410
