// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The output pane under its heading: what the program writes (the report,
// the listings, help, About, a merge's report) is shown read-only, of any
// length; the four reference lists are shown in the editor, the only text a
// clerk edits and saves. A find bar under it searches either.
#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class OutputView;

// The pane's line rule, the editor's: LF, CR LF, a lone CR and the paragraph
// separator end a line; a line separator stays inside its line. Gives the
// text with every line ended by "\n" alone and, when asked, where each line
// starts in it. Every reader of the pane's lines goes through here.
QString paneLines(const QString &text, std::vector<qsizetype> *starts = nullptr);
// The line (from 0) that holds `position` of such starts.
qsizetype paneLineOf(const std::vector<qsizetype> &starts, qsizetype position);

class OutputPane : public QWidget
{
    Q_OBJECT
public:
    explicit OutputPane(QWidget *parent = nullptr);

    // The label above the pane that names what it holds.
    void setHeadingLabel(QLabel *heading);
    QString heading() const;
    // Names what the pane holds; the pane's text stays.
    void setHeading(const QString &heading);

    // What the program writes, under its heading: read-only.
    void showOutput(const QString &heading, const QString &text);
    // A reference list, to be edited.
    void showList(const QString &heading, const QString &text);
    bool isList() const;
    // Lets go of the text, heading and all else kept: before a long listing is read.
    void clear();

    // The text as it stands, every line ended by "\n".
    QString text() const;
    bool isEmpty() const;
    // Whether the clerk changed the list since it was shown.
    bool isModified() const;
    // Adds text at the end of the list, as an edit of the clerk's that can be undone.
    void appendToList(const QString &text);

    OutputView *view() const { return m_view; }
    QPlainTextEdit *editor() const { return m_editor; }
    QLineEdit *findField() const { return m_findField; }
    // The bar under the pane with the search text; Escape closes it.
    void openFind();
    // Selects the next (previous) match of the bar's text; false when none.
    bool findNext(bool backward = false);

signals:
    // The pane's text was replaced or edited.
    void textChanged();
    void headingChanged(const QString &heading);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Tells a screen reader, wherever the focus is, what now fills the pane.
    void announce();
    QWidget *shown() const;

    QLabel *m_heading = nullptr;
    OutputView *m_view;
    QPlainTextEdit *m_editor;
    QWidget *m_findBar;
    QLineEdit *m_findField;
    QLabel *m_findStatus;
    QWidget *m_news;
};
