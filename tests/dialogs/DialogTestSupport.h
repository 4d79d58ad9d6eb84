#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <QTableWidget>
#include <QTimer>

#include <functional>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Names of the operator-facing widgets of a window that a screen reader could not announce.
inline QStringList WidgetsWithoutAccessibleName(const QWidget& window) {
    QStringList missing;
    if (window.accessibleName().isEmpty()) {
        missing << window.objectName();
    }
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const bool operatorFacing = qobject_cast<const QLabel*>(w) != nullptr ||
                                    qobject_cast<const QComboBox*>(w) != nullptr ||
                                    qobject_cast<const QAbstractButton*>(w) != nullptr ||
                                    qobject_cast<const QTableWidget*>(w) != nullptr;
        if (operatorFacing && !w->objectName().startsWith(QLatin1String("qt_")) &&
            w->accessibleName().isEmpty()) {
            missing << w->objectName() + QLatin1Char(':') + w->metaObject()->className();
        }
    }
    return missing;
}

// Runs `examine` on the next modal message box once it is up, then presses its OK button, so
// a test can look at a real message box without an operator. Returns whether one appeared.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(std::function<void(QMessageBox&)> examine)
        : examine_(std::move(examine)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            timer_.stop();
            seen_ = true;
            examine_(*box);
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
            } else {
                box->reject();
            }
        });
        timer_.start();
    }

    bool seen() const { return seen_; }

private:
    std::function<void(QMessageBox&)> examine_;
    QTimer timer_;
    bool seen_ = false;
};
