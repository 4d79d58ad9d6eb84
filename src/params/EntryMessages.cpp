#include "params/EntryMessages.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "model/WriteScaling.h"

namespace zr410 {

QString OutOfRangeText(int address, const QString& entry, int dp) {
    return QStringLiteral(
               "입력한 값 %1 은(는) 기기에 보낼 수 없어 쓰지 않았습니다.\n"
               "%2 범위의 값을 입력하시오.")
        .arg(entry.trimmed(), WritableRangeText(address, dp));
}

void ShowEntryMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.setAccessibleName(QStringLiteral("입력 확인 메시지"));
    box.exec();
}

}  // namespace zr410
