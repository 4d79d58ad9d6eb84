#include "monitor/frmZR410_About.h"

#include "ui_frmZR410_About.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "common/BuildInfo.h"
#include "common/ProgramFolder.h"
#include "widgets/ShellOpen.h"

namespace zr410 {
namespace {

void drawButton(QPainter& p, QPointF centre, const QColor& colour, const QString& caption) {
    QRadialGradient shine(centre - QPointF(3, 3), 11);
    shine.setColorAt(0, colour.lighter(170));
    shine.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(shine);
    p.drawEllipse(centre, 9, 9);
    QFont small = p.font();
    small.setPixelSize(9);
    small.setBold(true);
    p.setFont(small);
    p.setPen(QColor(0x33, 0x3a, 0x44));
    p.drawText(QRectF(centre.x() - 16, centre.y() + 10, 32, 12), Qt::AlignCenter, caption);
}

void drawReadout(QPainter& p, const QRectF& row, const QString& name, const QString& value,
                 const QColor& colour) {
    QFont label = p.font();
    label.setPixelSize(10);
    label.setBold(true);
    p.setFont(label);
    p.setPen(QColor(0x9a, 0xa4, 0xb0));
    p.drawText(row.adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setPixelSize(22);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(colour);
    p.drawText(row.adjusted(0, 0, -24, 0), Qt::AlignRight | Qt::AlignVCenter, value);
    label.setPixelSize(11);
    p.setFont(label);
    p.drawText(row.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("℃"));
}

// The front of a ZR410 controller as our own drawing: name plate, PV/SV readout, keys, and
// the hot and cold lines of the circulating medium.
QPixmap drawAboutPicture(qreal ratio) {
    const QSize size(184, 236);
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // Hot and cold lines leave the cabinet at the bottom.
    p.setPen(Qt::NoPen);
    const QRectF hot(44, 196, 22, 38), cold(118, 196, 22, 38);
    QLinearGradient hotPipe(hot.topLeft(), hot.topRight());
    hotPipe.setColorAt(0, QColor(0xb0, 0x20, 0x20));
    hotPipe.setColorAt(0.5, QColor(0xff, 0x7a, 0x5c));
    hotPipe.setColorAt(1, QColor(0xb0, 0x20, 0x20));
    p.setBrush(hotPipe);
    p.drawRoundedRect(hot, 4, 4);
    QLinearGradient coldPipe(cold.topLeft(), cold.topRight());
    coldPipe.setColorAt(0, QColor(0x1c, 0x4f, 0xa8));
    coldPipe.setColorAt(0.5, QColor(0x6c, 0xb4, 0xff));
    coldPipe.setColorAt(1, QColor(0x1c, 0x4f, 0xa8));
    p.setBrush(coldPipe);
    p.drawRoundedRect(cold, 4, 4);

    const QRectF body(8, 4, 168, 200);
    QLinearGradient steel(body.topLeft(), body.bottomRight());
    steel.setColorAt(0, QColor(0xf2, 0xf4, 0xf7));
    steel.setColorAt(1, QColor(0xa9, 0xb2, 0xbd));
    p.setPen(QPen(QColor(0x5f, 0x69, 0x75), 1.5));
    p.setBrush(steel);
    p.drawRoundedRect(body, 12, 12);

    const QRectF plate(18, 14, 148, 38);
    QLinearGradient blue(plate.topLeft(), plate.bottomLeft());
    blue.setColorAt(0, QColor(0x25, 0x86, 0xe8));
    blue.setColorAt(1, QColor(0x0a, 0x34, 0x80));
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(plate, 7, 7);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(26);
    name.setBold(true);
    name.setItalic(true);
    QPainterPath lettering;
    lettering.addText(0, 0, name, QStringLiteral("ZR410"));
    const QRectF bounds = lettering.boundingRect();
    lettering.translate(plate.center() - bounds.center());
    QLinearGradient shine(0, plate.top() + 6, 0, plate.bottom() - 6);
    shine.setColorAt(0, Qt::white);
    shine.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    p.setBrush(shine);
    p.drawPath(lettering);

    const QRectF screen(20, 62, 144, 76);
    p.setPen(QPen(QColor(0x2b, 0x30, 0x36), 3));
    p.setBrush(QColor(0x10, 0x14, 0x18));
    p.drawRoundedRect(screen, 5, 5);
    const qreal half = screen.height() / 2;
    drawReadout(p, QRectF(screen.left(), screen.top() + 2, screen.width(), half - 2),
                QStringLiteral("PV"), QStringLiteral("120.0"), QColor(0xff, 0x3b, 0x30));
    drawReadout(p, QRectF(screen.left(), screen.top() + half, screen.width(), half - 2),
                QStringLiteral("SV"), QStringLiteral("120.0"), QColor(0x3c, 0xe0, 0x5a));

    drawButton(p, QPointF(38, 160), QColor(0xd9, 0x2b, 0x2b), QStringLiteral("PWR"));
    drawButton(p, QPointF(74, 160), QColor(0x2f, 0xa8, 0x45), QStringLiteral("RUN"));
    drawButton(p, QPointF(110, 160), QColor(0x8a, 0x94, 0xa0), QStringLiteral("▲"));
    drawButton(p, QPointF(146, 160), QColor(0x8a, 0x94, 0xa0), QStringLiteral("▼"));
    return pixmap;
}

}  // namespace

const QString frmZR410_About::kHomePage = QString::fromLatin1(kHomePageUrl);

frmZR410_About::frmZR410_About(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmZR410_About>()) {
    ui->setupUi(this);
    ui->picLogo->setPixmap(drawAboutPicture(devicePixelRatioF()));
    const QString version = QString::fromLatin1(kVersion);
    ui->lblTitle->setText(QStringLiteral("<b style=\"font-size:15pt\">ZR410 V%1</b><br>"
                                         "금형온도조절기 모니터링 프로그램")
                              .arg(version));
    ui->lblInfo->setText(
        QStringLiteral("이 프로그램은 버전%1으로 수정, 보완되는 버전은 홈페이지를 통해 확인할 수 "
                       "있습니다.")
            .arg(version));
    // An installed program keeps its settings in the per-user folder: tell where.
    ui->lblFolders->setText(
        QStringLiteral("설정 파일(Comm.CFG, CFG 폴더)과 통신 기록(RecvData.txt)의 위치:\n%1")
            .arg(QDir::toNativeSeparators(ProgramFolder())));
    ui->lblFolders->setAccessibleDescription(ui->lblFolders->text());
    ui->lblHomePage->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(kHomePage));
    ui->lblHomePage->setToolTip(QStringLiteral("누르면 웹 브라우저로 홈페이지를 엽니다."));

    connect(ui->lblHomePage, &QLabel::linkActivated, this, [this] { lblHomePage_Click(); });
    connect(ui->btnClose, &QPushButton::clicked, this, &frmZR410_About::btnClose_Click);
}

frmZR410_About::~frmZR410_About() = default;

void frmZR410_About::lblHomePage_Click() {
    OpenHomePage(kHomePage);
}

bool frmZR410_About::OpenHomePage(const QString& address) {
    return ShellOpen(address, QDir::currentPath(), this);
}

void frmZR410_About::btnClose_Click() {
    accept();
}

}  // namespace zr410
