// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Filling and reading the output pane Memo1.
#include <QString>

class QLabel;
class QPlainTextEdit;

// Gives the pane its lines view (memolines.h) and names the pane, for
// assistive technology, by its heading, whatever the heading says.
void setupMemo(QPlainTextEdit *memo, QLabel *heading);

// Replaces the pane's text. A text of many lines is shown through the pane's
// lines view, which lays out only the lines it shows, until the user first
// edits it. A line of many thousand characters without a blank would take
// the toolkit minutes to wrap at word boundaries (a 10 MB line of a data file
// in a report or a listing), so text with such a line is wrapped anywhere,
// and other text at word boundaries.
void setMemoText(QPlainTextEdit *memo, const QString &text);

// The pane's text as it stands, lines separated by "\n", whichever of the
// two shows it. Memo1's textChanged tells of a change by either.
QString memoText(const QPlainTextEdit *memo);
bool memoIsEmpty(const QPlainTextEdit *memo);
// Whether the user has changed the text since setMemoText.
bool memoIsModified(const QPlainTextEdit *memo);
// The editor holds the text from here on: for code that edits the pane
// through the editor's cursor.
void memoToEditor(QPlainTextEdit *memo);
