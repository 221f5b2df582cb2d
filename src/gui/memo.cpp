#include "memo.h"

#include <QPlainTextEdit>

namespace {
constexpr qsizetype kLongLine = 10000;

bool hasLongLine(const QString &text)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if ((end < 0 ? text.size() : end) - start > kLongLine)
            return true;
        if (end < 0)
            return false;
        start = end + 1;
    }
}
} // namespace

void setMemoText(QPlainTextEdit *memo, const QString &text)
{
    // Set before the text goes in: the toolkit lays the lines out as they arrive.
    memo->setWordWrapMode(hasLongLine(text) ? QTextOption::WrapAnywhere
                                            : QTextOption::WrapAtWordBoundaryOrAnywhere);
    memo->setPlainText(text);
}
