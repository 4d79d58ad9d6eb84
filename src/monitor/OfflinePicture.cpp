#include "monitor/OfflinePicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zr410 {

QPixmap DrawOfflinePicture(const QSize& size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0x1c, 0x24, 0x33));
    sky.setColorAt(1, QColor(0x0b, 0x10, 0x1a));
    p.fillRect(pixmap.rect(), sky);

    // The controller cabinet.
    const QRectF cabinet(w * 0.30, h * 0.20, w * 0.40, h * 0.55);
    QLinearGradient steel(cabinet.topLeft(), cabinet.topRight());
    steel.setColorAt(0, QColor(0x9a, 0xa4, 0xb0));
    steel.setColorAt(0.5, QColor(0xd8, 0xdd, 0xe3));
    steel.setColorAt(1, QColor(0x8a, 0x94, 0xa0));
    p.setPen(QPen(QColor(0x30, 0x38, 0x44), 2));
    p.setBrush(steel);
    p.drawRoundedRect(cabinet, 10, 10);

    // Its display with two value rows.
    const QRectF display(cabinet.left() + cabinet.width() * 0.12, cabinet.top() + 24,
                         cabinet.width() * 0.76, cabinet.height() * 0.32);
    p.setBrush(QColor(0x10, 0x18, 0x10));
    p.drawRoundedRect(display, 6, 6);
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setPixelSize(static_cast<int>(display.height() * 0.34));
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(0xff, 0x50, 0x30));
    p.drawText(display.adjusted(0, 4, -12, -display.height() / 2),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("---.-"));
    p.setPen(QColor(0x40, 0xff, 0x60));
    p.drawText(display.adjusted(0, display.height() / 2, -12, -4),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("---.-"));

    // Buttons under the display.
    for (int i = 0; i < 4; ++i) {
        const QRectF key(display.left() + i * display.width() / 4 + 6, display.bottom() + 18,
                         display.width() / 4 - 12, 22);
        p.setPen(QPen(QColor(0x30, 0x38, 0x44), 1));
        p.setBrush(QColor(0xe0, 0xe0, 0xe0));
        p.drawRoundedRect(key, 4, 4);
    }

    // Hoses to the mold, ending level with the foot of the cabinet: clear of the hint below.
    QPainterPath hose;
    hose.moveTo(cabinet.right(), cabinet.bottom() - 40);
    hose.cubicTo(w * 0.80, cabinet.bottom() - 40, w * 0.80, cabinet.bottom() - 2, w * 0.94,
                 cabinet.bottom() - 2);
    p.setPen(QPen(QColor(0xc0, 0x40, 0x30), 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hose);
    p.setPen(QPen(QColor(0x30, 0x70, 0xc0), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(hose.translated(0, 14));

    // Name and hint.
    QFont title = p.font();
    title.setPixelSize(static_cast<int>(h * 0.07));
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0xe8, 0xee, 0xf6));
    p.drawText(QRectF(0, h * 0.04, w, h * 0.12), Qt::AlignCenter, QStringLiteral("ZR410"));
    QFont hint = p.font();
    hint.setPixelSize(static_cast<int>(h * 0.035));
    hint.setBold(false);
    p.setFont(hint);
    p.setPen(QColor(0xb0, 0xbc, 0xcc));
    p.drawText(QRectF(0, h * 0.80, w, h * 0.14), Qt::AlignCenter,
               QStringLiteral("통신포트를 열면 (F5) 선택된 기기와의 연결을 검사합니다."));
    return pixmap;
}

}  // namespace zr410
