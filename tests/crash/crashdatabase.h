// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The two versions of the 1,000,000-line wagon database that the kill test
// saves in turn. Every line differs between them, and so does the length of
// the file, so a mixture or a cut-short file equals neither.
#include "storage.h"

#include <QStringList>

inline QStringList crashDatabase(int version, int lines = 1000000)
{
    static const QString dkv[2] = {QStringLiteral("Česká Třebová"), QStringLiteral("Ústí nad Labem")};
    static const QString domovka[2] = {QStringLiteral("Aš"), QStringLiteral("Hradec Králové")};
    QStringList result;
    result.reserve(lines);
    result << storage::header(storage::VOZY);
    for (int i = 1; i < lines; ++i)
        result << storage::wagonLine(storage::vehicleNumberText(QString::number(21800000000LL + i), i % 10),
                                     dkv[version], domovka[version]);
    return result;
}
