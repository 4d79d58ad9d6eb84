#include "widgets/CommitLineEdit.h"

#include <QKeyEvent>

namespace zr410 {

CommitLineEdit::CommitLineEdit(QWidget* parent) : QLineEdit(parent) {}

void CommitLineEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit committed(text());
            event->accept();
            return;
        case Qt::Key_Escape:
            emit cancelled();
            event->accept();
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

}  // namespace zr410
