// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The data folder chosen on the command line (`trakvid [FOLDER]`, or
// `--home-folder`): created when missing, then made the working directory,
// where the seven files live.
// Knows nothing of windows.
#include <QString>

namespace datafolder {

// Creates `path` when it is missing (its parent must exist: nothing is created
// anywhere else) and makes it the working directory. Returns an empty string
// on success, otherwise a Czech sentence that names the folder and says why.
QString enter(const QString &path);

// ~/Trakvid, the data folder of the menu entry (`trakvid --home-folder`).
QString homeFolder();

// Whether start-up can do its work in the working directory: every file of
// `fileNames` that is missing must be creatable there, and every one that
// exists writable. An empty string when so, otherwise one Czech sentence that
// names `shownPath` (the folder as the user gave it), the files and why.
QString checkFiles(const QString &shownPath, const QStringList &fileNames);

} // namespace datafolder
