#include "widgets/GradientLabel.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace zr410 {

GradientLabel::GradientLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(false);
}

void GradientLabel::setLeftColor(const QColor& color) {
    if (left_ != color) {
        left_ = color;
        update();
    }
}

void GradientLabel::setRightColor(const QColor& color) {
    if (right_ != color) {
        right_ = color;
        update();
    }
}

void GradientLabel::setColors(const QColor& left, const QColor& right) {
    left_ = left;
    right_ = right;
    update();
}

void GradientLabel::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        QLinearGradient gradient(rect().topLeft(), rect().topRight());
        gradient.setColorAt(0.0, left_);
        gradient.setColorAt(1.0, right_);
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(0, 0, 0, 90));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (hasFocus()) {
            // A display reached by Tab shows it has the keyboard.
            painter.setPen(QPen(QColor(0xff, 0xd0, 0x40), 2, Qt::DotLine));
            painter.drawRect(rect().adjusted(1, 1, -2, -2));
        }
    }
    QLabel::paintEvent(event);
}

void GradientLabel::keyPressEvent(QKeyEvent* event) {
    // A display that opens an entry when clicked opens it by Enter or Space too, once it can
    // take the focus.
    if (focusPolicy() != Qt::NoFocus &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
         event->key() == Qt::Key_Space)) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void GradientLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

Lamp::Lamp(QWidget* parent, Shape shape) : QWidget(parent), shape_(shape) {
    setMinimumSize(14, 14);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setColor(const QColor& color) {
    color_ = color;
    lit_ = true;
    update();
}

void Lamp::setLit(bool lit, const QColor& litColor) {
    lit_ = lit;
    color_ = litColor;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(outline_, 1.2));
    painter.setBrush(lit_ ? QBrush(color_) : Qt::NoBrush);
    if (shape_ == Shape::Circle) {
        painter.drawEllipse(box);
    } else {
        painter.drawRect(box);
    }
}

void Lamp::setOutline(const QColor& color) {
    outline_ = color;
    update();
}

ColorSwatch::ColorSwatch(const QColor& color, QWidget* parent) : QWidget(parent), color_(color) {
    setFixedSize(16, 16);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::setColor(const QColor& color) {
    color_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace zr410
