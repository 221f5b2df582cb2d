// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "printout.h"

#include "outputpane.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

namespace printout {

namespace {
// A line longer than this is laid out in pieces of this size: wrapping a
// 10 MB line in one piece takes the toolkit minutes.
constexpr qsizetype kPiece = 10000;

// The printed lines of `text`: each line of the text wrapped to `width`, at
// word boundaries where it can be.
QStringList wrap(const QString &given, const QFont &font, QPaintDevice *device, qreal width)
{
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    std::vector<qsizetype> starts;
    const QString text = paneLines(given, &starts);
    // The text's last line break ends a line; it starts no empty one.
    if (starts.size() > 1 && starts.back() == text.size())
        starts.pop_back();
    for (size_t i = 0; i < starts.size(); ++i) {
        const qsizetype start = starts[i];
        const qsizetype end = i + 1 < starts.size() ? starts[i + 1] - 1 : text.size();
        if (end == start)
            lines << QString();
        for (qsizetype from = start; from < end; from += kPiece) {
            // A tab would stand where the layout did not measure it.
            QString piece = text.mid(from, qMin(kPiece, end - from));
            piece.replace(QLatin1Char('\t'), QLatin1Char(' '));
            QTextLayout layout(piece, font, device);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                lines << piece.mid(line.textStart(), line.textLength());
            }
            layout.endLayout();
        }
    }
    return lines;
}
} // namespace

bool print(QPrinter &printer, const QString &heading, const QString &text, const QFont &font)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    const QFont body(font, &printer);
    QFont headingFont(body);
    headingFont.setBold(true);
    const QFontMetricsF bodyMetrics(body, &printer);
    const QFontMetricsF headingMetrics(headingFont, &printer);
    const qreal lineHeight = bodyMetrics.lineSpacing();
    // The heading, a rule under it, and a blank line's room before the text.
    const qreal top = headingMetrics.lineSpacing() + lineHeight;
    const int linesPerPage = qMax(1, int((page.height() - top) / lineHeight));

    const QStringList lines = wrap(text, body, &printer, page.width());
    const int pages = qMax(1, int((lines.size() + linesPerPage - 1) / linesPerPage));
    int first = 1, last = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qMax(first, printer.fromPage());
        last = qMin(last, printer.toPage() > 0 ? printer.toPage() : pages);
    }
    for (int number = first; number <= last; ++number) {
        if (number > first && !printer.newPage())
            return false;
        const QString pageText = QStringLiteral("Strana %1 z %2").arg(number).arg(pages);
        const qreal pageTextWidth = headingMetrics.horizontalAdvance(pageText);
        painter.setFont(headingFont);
        painter.drawText(QPointF(0, headingMetrics.ascent()),
                         headingMetrics.elidedText(heading, Qt::ElideRight, page.width() - pageTextWidth - lineHeight));
        painter.drawText(QPointF(page.width() - pageTextWidth, headingMetrics.ascent()), pageText);
        const qreal rule = headingMetrics.lineSpacing() + lineHeight / 4;
        painter.drawLine(QPointF(0, rule), QPointF(page.width(), rule));

        painter.setFont(body);
        const qsizetype from = qsizetype(number - 1) * linesPerPage;
        const qsizetype to = qMin(lines.size(), from + linesPerPage);
        for (qsizetype i = from; i < to; ++i)
            painter.drawText(QPointF(0, top + (i - from) * lineHeight + bodyMetrics.ascent()), lines[i]);
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace printout
