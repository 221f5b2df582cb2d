// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The test helpers that need the system's own calls: Windows, which has no
// limit on the size of the files a process writes.
#include "testutil.h"

bool FileSizeLimit::available()
{
    return false;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    Q_UNUSED(bytes);
}

FileSizeLimit::~FileSizeLimit() = default;
