// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "testutil.h"

#include "outputpane.h"

#include "Unit1.h"
#include "Unit2.h"
#include "app.h"
#include "storage.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QFile>

WorkDir::WorkDir() : m_previous(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

WorkDir::~WorkDir() { QDir::setCurrent(m_previous); }

ScriptedBoxes::ScriptedBoxes() { boxes::setResponder(this); }
ScriptedBoxes::~ScriptedBoxes() { boxes::setResponder(nullptr); }

ScriptedBoxes &ScriptedBoxes::yes() { m_answers.append({boxes::Answer::Yes, {}}); return *this; }
ScriptedBoxes &ScriptedBoxes::no() { m_answers.append({boxes::Answer::No, {}}); return *this; }
ScriptedBoxes &ScriptedBoxes::cancel() { m_answers.append({boxes::Answer::Cancel, {}}); return *this; }
ScriptedBoxes &ScriptedBoxes::type(const QString &text)
{
    m_answers.append({boxes::Answer::Yes, text});
    return *this;
}

boxes::Response ScriptedBoxes::respond(const boxes::Request &request)
{
    shown.append(request);
    // Message and error boxes have only OK: they need no queued answer.
    if (request.kind == boxes::Kind::Message || request.kind == boxes::Kind::Error)
        return {boxes::Answer::Yes, {}};
    if (m_answers.isEmpty()) {
        ++unexpected;
        return {request.kind == boxes::Kind::Confirm ? boxes::Answer::No : boxes::Answer::Cancel, {}};
    }
    return m_answers.takeFirst();
}

QStringList ScriptedBoxes::texts(boxes::Kind kind) const
{
    QStringList result;
    for (const boxes::Request &r : shown)
        if (r.kind == kind)
            result << r.text;
    return result;
}

// The program's own conversion, which tst_storage compares with the
// toolkit's codec where the toolkit has one (not on Windows).
QByteArray cp1250(const QString &text)
{
    QByteArray bytes;
    if (!storage::appendWindows1250(text, bytes))
        qFatal("test text is not Windows-1250");
    return bytes;
}

QString fromCp1250(const QByteArray &bytes)
{
    return storage::fromWindows1250(bytes);
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
}

QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp1250(line) + "\r\n";
    return bytes;
}

void writeLines(const QString &name, const QStringList &lines) { writeFile(name, crlfLines(lines)); }

QByteArray readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            QTest::keyClicks(widget, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

Windows::Windows() : form1(std::make_unique<TForm1>())
{
    form_databaze = new TForm_databaze(form1.get());
    form1->Form_databaze = form_databaze;
    form1->show();
    form1->activateWindow();
    if (!QTest::qWaitForWindowActive(form1.get()))
        qWarning("main window did not become active");
}

Windows::~Windows() = default;

PaneControls::PaneControls(Windows &w)
    : form1(w.form1.get()),
      memo(child<OutputPane>(form1, "Memo1")),
      editor(child<QPlainTextEdit>(form1, "Memo1_editor")),
      heading(child<QLabel>(form1, "lbl_databaze_memo")),
      uloz(child<QPushButton>(form1, "btn_uloz")),
      next(child<QPushButton>(form1, "bitbtn_napoveda_dale")),
      back(child<QPushButton>(form1, "BitBtn_napoveda_zpet"))
{
}

void PaneControls::trigger(const QString &action) { child<QAction>(form1, qPrintable(action))->trigger(); }

void trakvidTestInit(QApplication &app) { trakvid::initApplication(app); }
