// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// JPEG pictures decoded through libjpeg's own decompression API.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace jpeg {
// Decodes JPEG bytes; a null image when they are not a JPEG libjpeg can read,
// or when they are cut short or damaged.
QImage decode(const QByteArray &data);
// Decodes a JPEG from a file or a ":/" resource path.
QImage load(const QString &path);
} // namespace jpeg
