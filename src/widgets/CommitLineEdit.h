#pragma once

#include <QLineEdit>

namespace zr410 {

// A text box that reports a confirmed entry: Enter commits the text, Escape cancels. Changes
// while typing are reported as usual through textChanged.
class CommitLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CommitLineEdit(QWidget* parent = nullptr);

signals:
    void committed(const QString& text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace zr410
