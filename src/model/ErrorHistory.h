#pragma once

#include <QAbstractTableModel>

#include <array>

namespace zr410 {

// The edit device's error history as the error list shows it: 20 rows (the controller's last
// 20 entries), each with the code and its name. Only entries with a code are written; rows
// of empty entries keep what they showed. It is open while the error list window is: opening
// starts from empty rows, and a history read that arrives after closing is not taken in.
class ErrorHistory : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kEntries = 20;

    explicit ErrorHistory(QObject* parent = nullptr);

    void Open();
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }

    // Row from 1, column 1 = code text, 2 = name.
    QString Text(int row, int column) const;
    void SetEntry(int row, int code);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Entry {
        QString code;
        QString name;
    };
    std::array<Entry, kEntries> entries_{};
    bool open_ = false;
};

}  // namespace zr410
