// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Printing a heading and a text, the output pane's content, on pages.
#include <QString>

class QFont;
class QPrinter;

namespace printout {

// Prints `text` in `font` on the pages of `printer`, with long lines wrapped
// to the page width, and the heading and "Strana N z M" at the top of every
// page. Honours a page range chosen in the print dialog. False when the
// printer cannot be started or fails (a PDF file that cannot be written).
bool print(QPrinter &printer, const QString &heading, const QString &text, const QFont &font);

} // namespace printout
