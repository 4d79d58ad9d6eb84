#pragma once

#include <QApplication>
#include <QSet>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Walks a window's tab order from `start` as a keyboard user would (Tab, over and over, until
// the focus comes round again) and names every visible, enabled control that takes the focus
// by Tab but was never reached. Empty when the whole window can be reached by keyboard.
inline QStringList UnreachedByTab(QWidget* window, QWidget* start) {
    QSet<QWidget*> reached;
    start->setFocus(Qt::TabFocusReason);
    QWidget* current = window->focusWidget();
    for (int step = 0; step < 2000 && current != nullptr; ++step) {
        reached.insert(current);
        QTest::keyClick(current, Qt::Key_Tab);
        QWidget* next = window->focusWidget();
        if (next == start) {
            break;
        }
        current = next;  // a grid moving from cell to cell keeps the focus a while
    }
    QStringList missing;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool tabbable = (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (tabbable && w->isVisibleTo(window) && w->isEnabled() && !reached.contains(w) &&
            w->focusProxy() == nullptr) {
            missing << (w->objectName().isEmpty()
                            ? QString::fromLatin1(w->metaObject()->className())
                            : w->objectName());
        }
    }
    return missing;
}
