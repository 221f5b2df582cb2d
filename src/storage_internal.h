// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// What the storage sources share with each other; not for the rest of the program.
#include "storage.h"

class QFile;
class QSaveFile;

namespace storage::internal {

// Opens a file for reading; sets status and error when it cannot.
bool openForReading(QFile &file, LoadStatus &status, QString &error);
QString readError(const QFile &file);
// Opens the sibling that will replace the file; not ok, with the error, when it cannot.
SaveResult openForWriting(QSaveFile &file);
// Puts the written file in place of the old one, unless a write failed.
SaveResult commit(QSaveFile &file, bool written);
// Writes the bytes of `text` to `out`; false when a character has none.
bool encodeTo(QStringView text, char *out);

} // namespace storage::internal
