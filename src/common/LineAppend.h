#pragma once

#include <QByteArrayView>
#include <QString>

namespace zr410 {

// Appends one or more whole CR LF lines to a text file that other programs read while it
// grows (the data files, the communication log), so that a power cut or a full disk can
// never leave two records glued together:
//  - a file whose last byte is not LF (a line torn by a power cut) gets its line ended first:
//    LF after a lone CR, CR LF otherwise, so the new line starts on a line of its own;
//  - a write that the disk takes only in part is cut back to the old end of the file.
// The file is created when missing; the folder never is. Returns false when nothing was
// written. Never throws, never raises SIGXFSZ's default action when the caller ignores it.
bool AppendWholeLines(const QString& path, QByteArrayView lines);

}  // namespace zr410
