// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "outputpane.h"

#include "outputview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

QString paneLines(const QString &text, std::vector<qsizetype> *starts)
{
    auto ends = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator; };
    QString lines = text; // shared, and copied only where a line end is not "\n"
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c == u'\r' || c == QChar::ParagraphSeparator; })) {
        lines.clear();
        lines.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                continue;
            lines.append(ends(text[i]) ? QChar(QLatin1Char('\n')) : text[i]);
        }
    }
    if (starts) {
        starts->clear();
        starts->push_back(0);
        for (qsizetype at = lines.indexOf(QLatin1Char('\n')); at >= 0; at = lines.indexOf(QLatin1Char('\n'), at + 1))
            starts->push_back(at + 1);
    }
    return lines;
}

qsizetype paneLineOf(const std::vector<qsizetype> &starts, qsizetype position)
{
    return std::max<qsizetype>(0, std::upper_bound(starts.begin(), starts.end(), position) - starts.begin() - 1);
}

namespace {

constexpr qsizetype kLongLine = 10000;

// "1 000 000 řádků": the count as a Czech reader says it.
QString linesSpoken(qsizetype count)
{
    QString number = QString::number(count);
    for (qsizetype at = number.size() - 3; at > 0; at -= 3)
        number.insert(at, QLatin1Char(' '));
    const char16_t *word = count == 1 ? u"řádek" : count >= 2 && count <= 4 ? u"řádky" : u"řádků";
    return number + QLatin1Char(' ') + QString::fromUtf16(word);
}

// An invisible notice that a screen reader reads out whenever it appears,
// wherever the focus is.
class NewsAccessible : public QAccessibleWidget
{
public:
    explicit NewsAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}
};

QAccessibleInterface *newsFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->objectName() == QLatin1String("Memo1_news"))
        return new NewsAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

OutputPane::OutputPane(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(newsFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    m_view = new OutputView(this);
    m_view->setObjectName(QStringLiteral("Memo1_view"));
    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("Memo1_editor"));
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editor->setTabChangesFocus(true);
    m_editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    m_editor->hide();

    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("Memo1_find"));
    auto *label = new QLabel(QStringLiteral("Hledat:"), m_findBar);
    m_findField = new QLineEdit(m_findBar);
    m_findField->setObjectName(QStringLiteral("Memo1_findField"));
    m_findField->setAccessibleName(QStringLiteral("Hledat"));
    label->setBuddy(m_findField);
    m_findStatus = new QLabel(m_findBar);
    m_findStatus->setObjectName(QStringLiteral("Memo1_findStatus"));
    m_findStatus->setTextFormat(Qt::PlainText);
    auto *bar = new QHBoxLayout(m_findBar);
    bar->setContentsMargins(0, 4, 0, 0);
    bar->addWidget(label);
    bar->addWidget(m_findField, 1);
    bar->addWidget(m_findStatus, 1);
    m_findBar->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_editor, 1);
    layout->addWidget(m_findBar);

    m_news = new QWidget(this);
    m_news->setObjectName(QStringLiteral("Memo1_news"));
    m_news->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_news->setFocusPolicy(Qt::NoFocus);
    m_news->setGeometry(0, 0, 0, 0);

    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] {
        if (isList())
            emit textChanged();
    });
    connect(m_view, &OutputView::findRequested, this, &OutputPane::openFind);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = m_editor->createStandardContextMenu(pos);
        menu->addSeparator();
        menu->addAction(QStringLiteral("Hledat…"), QKeySequence::Find, this, &OutputPane::openFind);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_editor->viewport()->mapToGlobal(pos));
    });
    connect(m_findField, &QLineEdit::textEdited, m_findStatus, &QLabel::clear);
    for (QWidget *w : {static_cast<QWidget *>(m_editor), static_cast<QWidget *>(m_view),
                       static_cast<QWidget *>(m_findField)})
        w->installEventFilter(this);
    setFocusPolicy(Qt::NoFocus);
}

void OutputPane::setHeadingLabel(QLabel *heading)
{
    m_heading = heading;
    setHeading(heading->text());
}

QString OutputPane::heading() const { return m_heading ? m_heading->text() : QString(); }

void OutputPane::setHeading(const QString &heading)
{
    if (m_heading)
        m_heading->setText(heading);
    // Both are named by the heading, for assistive technology.
    for (QWidget *w : {static_cast<QWidget *>(m_view), static_cast<QWidget *>(m_editor)})
        if (w->accessibleName() != heading)
            w->setAccessibleName(heading);
    emit headingChanged(heading);
}

QWidget *OutputPane::shown() const { return isList() ? static_cast<QWidget *>(m_editor) : m_view; }

bool OutputPane::isList() const { return !m_editor->isHidden(); }

void OutputPane::clear()
{
    m_editor->clear();
    m_view->setText(QString());
    emit textChanged();
}

void OutputPane::showOutput(const QString &heading, const QString &text)
{
    const bool hadFocus = m_editor->hasFocus();
    // The list's document is let go: a big list and a big listing are never held together.
    m_editor->clear();
    m_editor->hide();
    m_view->show();
    if (hadFocus)
        m_view->setFocus();
    m_view->setText(text);
    setHeading(heading);
    emit textChanged();
    announce();
}

void OutputPane::showList(const QString &heading, const QString &text)
{
    const bool hadFocus = m_view->hasFocus();
    m_view->setText(QString());
    // A line of many thousand characters without a blank would take the
    // editor minutes to wrap at word boundaries: such text wraps anywhere,
    // set before the text goes in, and other text after.
    std::vector<qsizetype> starts;
    const QString lines = paneLines(text, &starts);
    starts.push_back(lines.size() + 1);
    qsizetype longest = 0;
    for (size_t i = 1; i < starts.size(); ++i)
        longest = std::max(longest, starts[i] - starts[i - 1] - 1);
    m_editor->show();
    m_view->hide();
    if (hadFocus)
        m_editor->setFocus();
    {
        const QSignalBlocker quiet(m_editor);
        if (longest > kLongLine) {
            m_editor->setWordWrapMode(QTextOption::WrapAnywhere);
            m_editor->setPlainText(lines);
        } else {
            m_editor->setPlainText(lines);
            m_editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
    }
    m_editor->document()->setModified(false);
    setHeading(heading);
    emit textChanged();
    announce();
}

QString OutputPane::text() const
{
    // A line separator inside a line is a line break in the pane's text; the
    // raw text keeps no-break spaces, which the plain text would make blanks.
    QString text = isList() ? m_editor->document()->toRawText() : m_view->text();
    if (text.contains(QChar::ParagraphSeparator) || text.contains(QChar::LineSeparator)) {
        text.replace(QChar::ParagraphSeparator, u'\n');
        text.replace(QChar::LineSeparator, u'\n');
    }
    return text;
}

bool OutputPane::isEmpty() const { return isList() ? m_editor->document()->isEmpty() : m_view->text().isEmpty(); }

bool OutputPane::isModified() const { return isList() && m_editor->document()->isModified(); }

void OutputPane::appendToList(const QString &text)
{
    if (!isList())
        return;
    QTextCursor cursor(m_editor->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
    m_editor->setFocus();
}

void OutputPane::announce()
{
    // Lines as a reader counts them: a last line break starts no line.
    qsizetype lines = 0;
    if (isList()) {
        const QTextDocument *document = m_editor->document();
        lines = document->isEmpty() ? 0 : document->blockCount() - (document->lastBlock().text().isEmpty() ? 1 : 0);
    } else if (const QString &text = m_view->text(); !text.isEmpty()) {
        lines = text.count(u'\n') + (text.endsWith(u'\n') ? 0 : 1);
    }
    m_news->setAccessibleName(heading() + QStringLiteral(", ") + linesSpoken(lines));
    // Appearing is what a screen reader reads out, wherever the focus is.
    m_news->hide();
    m_news->show();
}

// ---- find -------------------------------------------------------------------------

void OutputPane::openFind()
{
    m_findBar->show();
    const QString selected = isList() ? m_editor->textCursor().selectedText() : m_view->selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && !selected.contains(u'\n'))
        m_findField->setText(selected);
    m_findField->selectAll();
    m_findField->setFocus(Qt::ShortcutFocusReason);
}

bool OutputPane::findNext(bool backward)
{
    const QString needle = m_findField->text();
    bool found = false;
    QString line;
    if (needle.isEmpty()) {
    } else if (!isList()) {
        found = m_view->find(needle, backward);
        if (found)
            line = m_view->line(m_view->lineOf(m_view->anchor())).toString();
    } else {
        // From the selection on, then from the other end.
        QTextDocument::FindFlags flags = QTextDocument::FindCaseSensitively;
        if (backward)
            flags |= QTextDocument::FindBackward;
        found = m_editor->find(needle, flags);
        if (!found) {
            const QTextCursor kept = m_editor->textCursor();
            QTextCursor from(m_editor->document());
            from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
            m_editor->setTextCursor(from);
            found = m_editor->find(needle, flags);
            if (!found)
                m_editor->setTextCursor(kept);
        }
        if (found)
            line = m_editor->textCursor().block().text();
    }
    m_findStatus->setText(found || needle.isEmpty() ? QString() : QStringLiteral("Nenalezeno"));
    // The field keeps the focus: a screen reader hears the line found, or that there is none.
    m_findField->setAccessibleDescription(found ? line.left(500) : m_findStatus->text());
    return found;
}

bool OutputPane::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride)
        return QWidget::eventFilter(watched, e);
    auto *key = static_cast<QKeyEvent *>(e);
    const bool f3 = key->key() == Qt::Key_F3 && !(key->modifiers() & ~Qt::ShiftModifier);
    const bool inField = watched == m_findField;
    const bool enter = inField && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    const bool escape = inField && key->key() == Qt::Key_Escape;
    const bool find = key->matches(QKeySequence::Find);
    if (!(f3 || enter || escape || find))
        return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();
        return true;
    }
    if (find) {
        openFind();
    } else if (escape) {
        m_findBar->hide();
        m_findStatus->clear();
        shown()->setFocus(Qt::OtherFocusReason);
    } else if (m_findBar->isVisible() || f3) {
        if (m_findField->text().isEmpty())
            openFind();
        else
            findNext(key->modifiers() & Qt::ShiftModifier);
    }
    return true;
}
