#pragma once
// Filling the output pane Memo1.
#include <QString>

class QPlainTextEdit;

// Replaces the pane's text. A line of many thousand characters without a
// blank would take the toolkit minutes to wrap at word boundaries (a 10 MB
// line of a data file in a report or a listing), so text with such a line is
// wrapped anywhere, and other text at word boundaries.
void setMemoText(QPlainTextEdit *memo, const QString &text);
