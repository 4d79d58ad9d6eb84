#pragma once

#include <QButtonGroup>
#include <QWidget>

#include <vector>

class QRadioButton;

namespace zr410 {

struct OptionGroupInfo;

// One option group of the parameter screen: option buttons side by side in index order, the
// one selected standing for the register's value. A selection by mouse, keyboard or an
// assistive tool's toggle is reported with the option's index; so is one made by Select(),
// which is why the screen ignores reports while it copies the controller's values in.
class OptionButtons : public QWidget {
    Q_OBJECT

public:
    explicit OptionButtons(const OptionGroupInfo& info, QWidget* parent = nullptr);

    // Selects option index; a value without an option leaves none selected.
    void Select(int index);
    int SelectedIndex() const;  // -1 when none is selected
    int Count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* Option(int index) const { return buttons_.at(static_cast<size_t>(index)); }

signals:
    void optionSelected(int index);

private:
    QButtonGroup group_;
    std::vector<QRadioButton*> buttons_;
};

}  // namespace zr410
