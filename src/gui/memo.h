// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Filling and reading the output pane Memo1.
#include <QString>

class QPlainTextEdit;

// Replaces the pane's text. A text of many lines is shown through the pane's
// lines view (memolines.h), which lays out only the lines it shows, until
// the user first edits it. A line of many thousand characters without a
// blank would take the toolkit minutes to wrap at word boundaries (a 10 MB
// line of a data file in a report or a listing), so text with such a line is
// wrapped anywhere, and other text at word boundaries.
void setMemoText(QPlainTextEdit *memo, const QString &text);

// The pane's text as it stands, lines separated by "\n", whichever of the
// two shows it. Memo1's textChanged tells of a change by either.
QString memoText(const QPlainTextEdit *memo);
bool memoIsEmpty(const QPlainTextEdit *memo);
