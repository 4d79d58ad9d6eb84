#include "widgets/ValueLabelAccessible.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <mutex>

namespace zr410 {
namespace {

class ValueLabelAccessible : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* label = static_cast<const QLabel*>(widget());
        const QString shown = label->text();
        switch (kind) {
            case QAccessible::Name:
                return label->accessibleName().isEmpty() ? shown : label->accessibleName();
            case QAccessible::Value:
                return shown;
            case QAccessible::Description:
                if (!label->accessibleDescription().isEmpty()) {
                    return label->accessibleDescription();
                }
                return label->accessibleName().isEmpty() ? QString() : shown;
            default:
                return QAccessibleWidget::text(kind);
        }
    }
};

QAccessibleInterface* createValueLabel(const QString& className, QObject* object) {
    if (className != QLatin1String("QLabel") || !object->isWidgetType()) {
        return nullptr;
    }
    auto* label = qobject_cast<QLabel*>(object);
    // Labels that show a picture or are a buddy's caption stay as Qt makes them.
    if (label == nullptr || label->accessibleName().isEmpty() || label->buddy() != nullptr) {
        return nullptr;
    }
    return new ValueLabelAccessible(label);
}

}  // namespace

void InstallValueLabelAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(createValueLabel); });
}

}  // namespace zr410
