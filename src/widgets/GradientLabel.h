#pragma once

#include <QColor>
#include <QLabel>

namespace zr410 {

// A caption on a left-to-right colour gradient, used for group headers, value titles and the
// value displays. It reports clicks, because some displays open an entry when clicked.
class GradientLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor leftcolor READ leftColor WRITE setLeftColor)
    Q_PROPERTY(QColor rightcolor READ rightColor WRITE setRightColor)

public:
    explicit GradientLabel(const QString& caption = {}, QWidget* parent = nullptr);

    QColor leftColor() const { return left_; }
    QColor rightColor() const { return right_; }
    void setLeftColor(const QColor& color);
    void setRightColor(const QColor& color);
    void setColors(const QColor& left, const QColor& right);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor left_{0x00, 0x00, 0x80};
    QColor right_{0x40, 0x80, 0xFF};
};

// A round indicator lamp (send/receive activity, reservation state).
class Lamp : public QWidget {
    Q_OBJECT

public:
    enum class Shape { Circle, Square };
    explicit Lamp(QWidget* parent = nullptr, Shape shape = Shape::Circle);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    // An unlit square lamp shows only its outline.
    void setLit(bool lit, const QColor& litColor);
    bool isLit() const { return lit_; }
    void setOutline(const QColor& color);
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape shape_;
    QColor color_{Qt::black};
    QColor outline_{0x40, 0x40, 0x40};
    bool lit_ = true;
};

// A small colour square that reports clicks (series colours of a chart).
class ColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit ColorSwatch(const QColor& color = Qt::black, QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return {16, 16}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor color_;
};

}  // namespace zr410
