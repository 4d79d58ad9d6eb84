#pragma once

#include <QPixmap>
#include <QSize>

namespace zr410 {

// The picture that fills the monitoring area while no controller is on line: a drawing of a
// mold temperature controller on the line, made in code so it scales and needs no asset.
QPixmap DrawOfflinePicture(const QSize& size);

}  // namespace zr410
