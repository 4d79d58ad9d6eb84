#pragma once

#include <QString>

namespace zr410 {

// The folder every settings and log file of a program lives in: the folder of the executable,
// as the operators know it. When that folder is not writable (installed system-wide), the
// per-user data folder is used instead so that settings and logs are never silently lost.
QString ProgramFolder();

// The folder of the executable itself, where shipped files (help pages, the viewer) are found.
QString ExecutableFolder();

// Joins a folder and a relative file path with the platform separator.
QString InProgramFolder(const QString& relativePath);

// Tests point the programs at a scratch folder; an empty path restores the normal choice.
void SetProgramFolderOverride(const QString& folder);

}  // namespace zr410
