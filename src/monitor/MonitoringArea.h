#pragma once

#include <QColor>
#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace zr410 {

class ColorSwatch;
class CommitLineEdit;
class GradientLabel;
class Lamp;
class ValueTable;

// Everything of the edit device in the main window: command buttons, the five values with
// their titles, swatches and units, set value and outputs, heater currents, reservation
// state, the controller clock and the chart options. It shows what the value table holds
// and reports the operator's clicks; it never talks to the port.
class MonitoringArea : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCommandCount = 8;
    static const QColor kOn;
    static const QColor kOff;

    explicit MonitoringArea(QWidget* parent = nullptr);

    // Repaints every value widget from the edit device's row, in the order the controller
    // reported it: the status word before the reservation texts that depend on it.
    void ShowRow(const ValueTable& table, int row);
    void SetUnitText(const QString& unit);

    // Opens the set-value entry over the display; returns it closed after commit or cancel.
    void OpenSetValueEntry();
    // The entry again, holding a refused text for correction.
    void ReopenSetValueEntry(const QString& typed);
    void CloseSetValueEntry();

    QColor CommandColor(int index) const { return commandColors_.at(index); }
    QPushButton* btnCMD(int index) const { return btnCMD_.at(index); }
    GradientLabel* lblTT(int index) const { return lblTT_.at(index); }
    GradientLabel* lblPV(int index) const { return lblPV_.at(index); }
    QLabel* lblUnit(int index) const { return lblUnit_.at(index); }
    ColorSwatch* picGcolor(int index) const { return picGcolor_.at(index); }
    GradientLabel* lblSV() const { return lblSV_; }
    CommitLineEdit* txtSV() const { return txtSV_; }
    QLabel* lblSV_Title() const { return lblSV_Title_; }
    QLabel* lblOutput(int index) const { return lblOutput_.at(index); }
    QLabel* lblAmpare(int index) const { return lblAmpare_.at(index); }
    Lamp* shpReseved(int index) const { return shpReseved_.at(index); }
    QLabel* lblReserve_RestTime() const { return lblReserve_RestTime_; }
    QLabel* lblWK_Name() const { return lblWK_Name_; }
    QLabel* lblCurr_DT(int index) const { return lblCurr_DT_.at(index); }
    CommitLineEdit* txtDispTime() const { return txtDispTime_; }
    QCheckBox* chb3D() const { return chb3D_; }
    QCheckBox* chbScroll() const { return chbScroll_; }
    // Where the trend chart goes.
    QVBoxLayout* ChartSlot() const { return chartSlot_; }

signals:
    void commandClicked(int index);
    void setValueCommitted(const QString& text);
    void colorSwatchClicked(int index);

private:
    QWidget* buildCommands();
    QWidget* buildValues();
    QWidget* buildFrames();
    QWidget* buildClockRow();
    void ShowStatusWord(int word);
    void SetCommandColor(int index, const QColor& color);

    std::array<QPushButton*, kCommandCount> btnCMD_{};
    std::array<QColor, kCommandCount> commandColors_{};
    std::array<GradientLabel*, 5> lblTT_{};
    std::array<GradientLabel*, 5> lblPV_{};
    std::array<QLabel*, 4> lblUnit_{};
    std::array<ColorSwatch*, 5> picGcolor_{};
    QLabel* lblSV_Title_ = nullptr;
    GradientLabel* lblSV_ = nullptr;
    CommitLineEdit* txtSV_ = nullptr;
    std::array<QLabel*, 2> lblOutput_{};
    std::array<QLabel*, 3> lblAmpare_{};
    std::array<Lamp*, 2> shpReseved_{};
    QLabel* lblReserve_RestTime_ = nullptr;
    QLabel* lblWK_Name_ = nullptr;
    std::array<QLabel*, 3> lblCurr_DT_{};
    CommitLineEdit* txtDispTime_ = nullptr;
    QCheckBox* chb3D_ = nullptr;
    QCheckBox* chbScroll_ = nullptr;
    QVBoxLayout* chartSlot_ = nullptr;
};

}  // namespace zr410
