#pragma once

#include <QDialog>
#include <QTimer>

#include <array>

#include "params/ParameterScreenMap.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zr410 {

class CommitLineEdit;
class DeviceDecoders;
class OptionButtons;
class ParameterGrid;
class SerialLink;
class ValueTable;
struct EngineIndicator;
struct SharedState;

// The parameter screen ("파라메터 설정") of the edit device: output configuration, PID
// constants, alarm limits, sensor types, usable ranges, corrections, preheat SV, decimal point
// and unit, reservations and options. It never talks to the port: the poll cycle reads the
// reservation and parameter blocks into the value table, reports a ParameterRefresh, and the
// one-shot tmrRefresh copies the edit device's row into the widgets. Every change the
// operator makes is queued as a write; the controller's acknowledgement brings a re-read and
// with it a refresh, so the screen shows what the controller holds.
class frmZR410_PRMT : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 50;

    frmZR410_PRMT(SharedState& state, ValueTable& sprdMulti, DeviceDecoders& decoders,
                  SerialLink& link, QWidget* parent = nullptr);
    ~frmZR410_PRMT() override;

    // Copies the edit device's row of the value table into every widget (steps of the
    // refresh), with `Refreshing` raised so that no copied value is echoed as a write.
    void tmrRefresh_Timer();
    bool Refreshing() const { return Refreshing_; }
    const QTimer& RefreshTimer() const { return tmrRefresh; }

    // The four edit paths.
    void Option_Click(OptionGroupId group, int index);
    void chbWName_Click(int index);
    void TextField_Commit(TextFieldId field, const QString& text);
    void Grid_Click(ParamGridId grid, int column, int row);
    void btnClose_Click();

    OptionButtons* Options(OptionGroupId group) const;
    CommitLineEdit* Field(TextFieldId field) const;
    ParameterGrid* Grid(ParamGridId grid) const;
    QCheckBox* DayBox(int index) const { return chbWName.at(static_cast<size_t>(index)); }
    QLabel* EditIdLabel() const { return lblEdit_ID; }

protected:
    // The edit dialogs and message boxes are opened through these; tests answer them.
    virtual int ExecDialog(QDialog& dialog);
    virtual void ShowMessage(const QString& text);

private:
    void Form_Load();
    void Form_Unload();
    void ShowIndicator(const EngineIndicator& indicator);
    QString RowText(int address) const;
    void ShowTime(int column, int hourAddress);

    // Layout (frmZR410_PRMTLayout.cpp).
    void buildLayout();
    QWidget* buildLeftColumn();
    QWidget* buildMiddleColumn();
    QWidget* buildRightColumn();
    QWidget* buildBottomRow();
    QWidget* buildWeeklyFrame();
    QGroupBox* optionFrame(OptionGroupId group);
    QWidget* optionRow(OptionGroupId group);
    CommitLineEdit* textField(TextFieldId field);
    ParameterGrid* grid(ParamGridId id, const QStringList& columns, const QStringList& rows);

    SharedState& state_;
    ValueTable& sprdMulti_;
    DeviceDecoders& decoders_;
    QTimer tmrRefresh;
    bool Refreshing_ = false;

    std::array<OptionButtons*, kOptionGroupCount> opt_{};
    std::array<CommitLineEdit*, kTextFieldCount> txt_{};
    // Typed into since the last refresh or confirmation: leaving the field confirms it.
    std::array<bool, kTextFieldCount> typed_{};
    std::array<ParameterGrid*, 4> sprd_{};
    std::array<QCheckBox*, kWeekdayCount> chbWName{};
    QLabel* lblEdit_ID = nullptr;
    QPushButton* btnClose = nullptr;
};

}  // namespace zr410
