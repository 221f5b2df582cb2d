#pragma once
// The data folder given on the command line (`trakvid [FOLDER]`): created when
// missing, then made the working directory, where the seven files live.
// Knows nothing of windows.
#include <QString>

namespace datafolder {

// Creates `path` when it is missing (its parent must exist: nothing is created
// anywhere else) and makes it the working directory. Returns an empty string
// on success, otherwise a Czech sentence that names the folder and says why.
QString enter(const QString &path);

} // namespace datafolder
