#pragma once

#include <QString>

#include "logging/DataFile.h"

namespace zr410 {

// The status line after loading a file, in Korean: how many records were read, how many lines
// were skipped and why (first one named by its line number), or why nothing could be read.
QString DescribeLoadResult(const QString& fileName, const DataFileLoadResult& result);

// Whether the result is a failure to show in red.
bool IsLoadFailure(const DataFileLoadResult& result);

}  // namespace zr410
