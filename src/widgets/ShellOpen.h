#pragma once

#include <QString>

class QWidget;

namespace zr410 {

// Opens a document, a program or a web address through the desktop, as the operator would by
// double-clicking it: help pages in the default browser, the viewer program by starting it,
// an http(s) address in the browser. When that fails, a message names the file and why,
// instead of leaving the operator with nothing. Returns whether it was opened.
bool ShellOpen(const QString& target, const QString& workingFolder, QWidget* parent);

}  // namespace zr410
