// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "standardcodes.h"

#include <QSet>
#include <algorithm>

namespace standardcodes {

QList<Code> parse(QByteArrayView utf8)
{
    QList<Code> codes;
    const QString text = QString::fromUtf8(utf8);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
        if (tab != 2 || !digit(line[0]) || !digit(line[1]))
            continue;
        codes.append({line.first(2).toString(), line.sliced(3).toString()});
    }
    return codes;
}

QString addition(const QString &listText, QList<Code> codes)
{
    QSet<QStringView> present;
    for (QStringView line : QStringView(listText).split(QLatin1Char('\n')))
        if (line.size() >= 2)
            present.insert(line.first(2));
    std::stable_sort(codes.begin(), codes.end(), [](const Code &a, const Code &b) { return a.code < b.code; });
    QString added;
    for (const Code &code : codes) {
        if (present.contains(code.code))
            continue;
        present.insert(code.code); // a code listed twice is added once
        added += code.code + QLatin1Char(' ') + code.text + QLatin1Char('\n');
    }
    // Otherwise the first new line would be joined to the list's last line.
    if (!added.isEmpty() && !listText.isEmpty() && !listText.endsWith(QLatin1Char('\n')))
        added.prepend(QLatin1Char('\n'));
    return added;
}

} // namespace standardcodes
