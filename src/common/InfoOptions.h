#pragma once

#include <QString>

#include <optional>

namespace zr410 {

// --version and --help (-h) of the windowed programs, answered before the window system is
// touched so that both work without a display. In usage, %1 stands for the folder of the
// settings and logs and %2 for the help folder, as this installation resolves them. Returns
// the exit code when an option was answered; every other argument is left to Qt.
std::optional<int> AnswerInfoOption(int argc, char** argv, const QString& programName,
                                    const QString& usage);

}  // namespace zr410
