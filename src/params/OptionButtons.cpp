#include "params/OptionButtons.h"

#include <QHBoxLayout>
#include <QRadioButton>

#include "params/ParameterScreenMap.h"

namespace zr410 {

OptionButtons::OptionButtons(const OptionGroupInfo& info, QWidget* parent) : QWidget(parent) {
    const QString name = QString::fromLatin1(info.name);
    const QString label = QString::fromUtf8(info.spoken != nullptr ? info.spoken : info.label);
    setObjectName(name);
    setAccessibleName(label);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    for (int i = 0; i < info.count; ++i) {
        const QString caption = QString::fromUtf8(info.captions[static_cast<size_t>(i)]);
        auto* option = new QRadioButton(caption, this);
        option->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        option->setAccessibleName(label + QLatin1Char(' ') + caption);
        group_.addButton(option, i);
        buttons_.push_back(option);
        row->addWidget(option);
    }
    row->addStretch(1);
    // An assistive tool toggles an option without clicking it; react to the selection itself.
    connect(&group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit optionSelected(id);
        }
    });
}

void OptionButtons::Select(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // The controller holds a value the screen has no option for: show none rather than a
    // value it does not hold.
    group_.setExclusive(false);
    for (QRadioButton* option : buttons_) {
        option->setChecked(false);
    }
    group_.setExclusive(true);
}

int OptionButtons::SelectedIndex() const {
    return group_.checkedId();
}

}  // namespace zr410
