#pragma once

#include <QString>

namespace zr410 {

// The folder every settings and log file of a program lives in: the folder of the executable,
// as the operators know it. An installed program (its bin folder belongs to the package and
// to every user) and one whose folder is not writable use the per-user folder instead, so
// that settings and logs are never silently lost nor left in the system's folders.
QString ProgramFolder();

// The per-user folder, shared by both programs as their common program folder would be:
// $XDG_DATA_HOME/ZR410, normally ~/.local/share/ZR410. Not created here.
QString PerUserFolder();

// The choice ProgramFolder() makes for an executable in that folder, without creating
// anything; --help reports it.
QString ChooseProgramFolder(const QString& executableFolder);

// The folder of the executable itself.
QString ExecutableFolder();

// Joins a folder and a relative file path with the platform separator.
QString InProgramFolder(const QString& relativePath);

// Tests point the programs at a scratch folder; an empty path restores the normal choice.
void SetProgramFolderOverride(const QString& folder);

}  // namespace zr410
