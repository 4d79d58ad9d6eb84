#pragma once

#include <QDialog>

#include <memory>

#include "monitor/CommTraceModel.h"

namespace Ui {
class frmZR410_CommTest;
}

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace zr410 {

class SerialLink;
struct SharedState;

// Communication data viewer ("통신데이터 뷰어"): every request sent and every block received
// while it is open, one row each, one byte per cell. Read makes the poll cycle read the typed
// register of the edit device at every cycle; closing the viewer brings the status poll back.
// The trace can be paused and its rows copied as text.
class frmZR410_CommTest : public QDialog {
    Q_OBJECT

public:
    frmZR410_CommTest(SharedState& state, SerialLink& link, QWidget* parent = nullptr);
    ~frmZR410_CommTest() override;

    void btnRead_Click();
    void btnPause_Toggled(bool paused);
    // Copies the selected rows (all rows when none is selected) to the clipboard; the text.
    QString btnCopy_Click();

    CommTraceModel& Trace() { return trace_; }
    QTableView* sprdComm() const;
    QLineEdit* txtDReg() const;
    QPushButton* btnRead() const;
    QPushButton* btnPause() const;

protected:
    // A message box with only an OK button.
    virtual void ShowMessage(const QString& text);

private:
    void Form_Load();
    void Form_Unload();
    void ShowCommTrace(const QByteArray& bytes, TraceDirection direction);
    void ShowTraceState();
    static void SetLabel(QLabel* label, const QString& text);

    std::unique_ptr<Ui::frmZR410_CommTest> ui;
    SharedState& state_;
    SerialLink& link_;
    CommTraceModel trace_;
    bool readRequested_ = false;
};

}  // namespace zr410
