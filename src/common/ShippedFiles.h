#pragma once

#include <QString>

namespace zr410 {

// The files a program ships with (help pages, the other program) are looked for beside the
// executable first, as in the build tree or a copied program folder, and then in the install
// tree the executable sits in (prefix/bin with prefix/share/zr410).

// The install tree's shared folder of an executable in prefix/bin, or empty when the
// executable does not sit in an install tree.
QString InstalledSharedFolder(const QString& executableFolder);

// "Help" beside the executable, else the install tree's; when neither exists, the one beside
// the executable, so that the failure to open a page names where it was expected.
QString FindHelpFolder(const QString& executableFolder);

// Another program of the product: beside this one, else found on PATH; when it is nowhere,
// the path beside this one.
QString FindCompanionProgram(const QString& executableFolder, const QString& name);

// The same for the running program.
QString HelpFile(const QString& fileName);
QString CompanionProgram(const QString& name);

}  // namespace zr410
