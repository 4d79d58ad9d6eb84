#include "common/InfoOptions.h"

#include <cstdio>
#include <cstring>

#include "common/BuildInfo.h"
#include "common/ProgramFolder.h"
#include "common/ShippedFiles.h"

namespace zr410 {

std::optional<int> AnswerInfoOption(int argc, char** argv, const QString& programName,
                                    const QString& usage) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", programName.toLocal8Bit().constData(), kVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const QString folder = ExecutableFolder();
            const QString text = usage.arg(ChooseProgramFolder(folder), FindHelpFolder(folder));
            std::fputs(text.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace zr410
