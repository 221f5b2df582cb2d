// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Shared test helpers: a fresh working directory per test, a scripted
// stand-in for the modal boxes, Windows-1250 file helpers, and the main window.
#include "boxes.h"
#include "databasemodel.h"
#include "outputpane.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TForm1;
class TForm_databaze;

// Every test runs in its own empty temporary working directory.
class WorkDir
{
public:
    WorkDir();
    ~WorkDir();
    QString path() const { return m_dir.path(); }
    bool ok() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Answers the boxes in the order they are queued and records every box shown.
// A box with no queued answer is recorded as unexpected and gets No / Cancel /
// the initial text.
class ScriptedBoxes : public boxes::Responder
{
public:
    ScriptedBoxes();
    ~ScriptedBoxes() override;

    // Queue answers for confirmation, three-way and input boxes (message and
    // error boxes need none: OK is their only button).
    ScriptedBoxes &yes();
    ScriptedBoxes &no();
    ScriptedBoxes &cancel();
    ScriptedBoxes &type(const QString &text);  // input box answered with OK and this text

    boxes::Response respond(const boxes::Request &request) override;

    QList<boxes::Request> shown;   // every box, in order
    int unexpected = 0;            // boxes that found no queued answer
    int pending() const { return int(m_answers.size()); }
    // Texts of the boxes of one kind, in order.
    QStringList texts(boxes::Kind kind) const;
    QStringList messages() const { return texts(boxes::Kind::Message); }
    QStringList errors() const { return texts(boxes::Kind::Error); }
    void clear() { shown.clear(); unexpected = 0; }

private:
    QList<boxes::Response> m_answers;
};

// ---- what only some systems let a test do: testutil_posix.cpp, testutil_windows.cpp ----

// Whether the test may act as other users and mount file systems.
bool isRoot();

// A file system mounted for one test ("tmpfs", or "ext4" that keeps times to
// the second); `why` says why not when it cannot be.
struct Mount {
    QString dir;
    QString why;
    bool ok = false;
    Mount(const QString &folder, const QString &kind);
    ~Mount();
};

// Clerks of one depot, users without any privilege.
constexpr uint kClerk = 4242;
constexpr uint kOtherClerk = 4243;
constexpr uint kDepot = 4300;

// Runs `fn` in a child process as another user (member of kDepot) with its
// own cache folder, as a clerk without any privilege; its exit code, 99 when
// the machine would not let it become that user.
int asUser(uint uid, const QString &cacheHome, const std::function<int()> &fn);

bool setOwner(const QString &path, uint owner, uint group);
bool setMode(const QString &path, uint mode);
// Sets a file's access and modification times (nanoseconds since the epoch).
bool setTimes(const QString &path, qint64 ns);
// A second name for a file.
bool hardLink(const QString &existing, const QString &newName);

// Writes of more than `bytes` fail for this process, root included, while it
// lives: the way to make a save fail when permission bits do not stop root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    // False where the system has no such limit: the test is skipped there.
    static bool available();

private:
    qint64 m_old = -1;
    void (*m_oldHandler)(int) = nullptr;
};

// Windows-1250 helpers for file contents.
QByteArray cp1250(const QString &text);
QString fromCp1250(const QByteArray &bytes);
void writeFile(const QString &name, const QByteArray &bytes);
// Lines joined with CR LF after every line, in Windows-1250.
void writeLines(const QString &name, const QStringList &lines);
QByteArray readFile(const QString &name);
QByteArray crlfLines(const QStringList &lines);

// The main window and the add window as program entry makes them, shown and active.
struct Windows {
    Windows();
    ~Windows();
    std::unique_ptr<TForm1> form1;
    TForm_databaze *form_databaze = nullptr; // owned by form1
};

// Types text as key presses, Czech letters included (QTest::keyClicks takes
// only ASCII).
void typeText(QWidget *widget, const QString &text);

template <typename T>
T *child(QObject *parent, const char *name);

// The output pane of the main window and the buttons around it.
struct PaneControls {
    explicit PaneControls(Windows &w);
    void trigger(const QString &action);
    TForm1 *form1;
    OutputPane *memo;
    QPlainTextEdit *editor; // the pane's editor of the reference lists
    QLabel *heading;
    QPushButton *uloz;
    QPushButton *next;
    QPushButton *back;
};

template <typename T>
T *child(QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

// Sets up the application the way the program does, then runs the test object.
#define TRAKVID_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        trakvidTestInit(app);                                                                      \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

void trakvidTestInit(QApplication &app);
