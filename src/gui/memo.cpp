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
    // The toolkit lays the text out again at every change of the mode, and
    // lays new text out as it arrives: the mode for a long line is set before
    // it goes in, and the mode for ordinary text after the long line is gone.
    if (hasLongLine(text)) {
        memo->setWordWrapMode(QTextOption::WrapAnywhere);
        memo->setPlainText(text);
    } else {
        memo->setPlainText(text);
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}
