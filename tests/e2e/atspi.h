// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The program as a screen reader meets it: an AT-SPI client (atspi_client.py)
// listens to this very process and answers queries about its accessible
// objects. The client's queries, and its reading of each event's source, call
// into this process over D-Bus and wait for the answer, so every wait here keeps
// the event loop running. A short block of the test (an xdotool run) only
// delays the client; one of more than 10 s makes its calls fail, and a wait for
// the client that does not run the loop (waitForReadyRead) hangs until then.
//
// Needs the accessibility bus of tests/e2e/a11y-session.sh (run-under-xvfb.sh
// starts it). Accessibility is on only in tests that start a client.
//
//     AtspiClient reader;
//     QVERIFY2(reader.start(), qPrintable(reader.error()));
//     const QJsonObject field = reader.find("text", "Režim");
//     reader.clearEvents();
//     QProcess::execute("xdotool", {"type", "21"});
//     QVERIFY(!reader.waitForEvent(AtspiClient::is("object:text-changed:insert", "Režim")).isEmpty());
//     QCOMPARE(reader.text(field["id"].toString())["text"].toString(), "21");
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class AtspiClient : public QObject
{
    Q_OBJECT
public:
    using Predicate = std::function<bool(const QJsonObject &event)>;

    // extraEvents: AT-SPI event types listened to beyond a screen reader's usual
    // ones, e.g. "object:children-changed".
    explicit AtspiClient(const QStringList &extraEvents = {}, QObject *parent = nullptr);
    ~AtspiClient() override;

    // Turns accessibility on in this process, as a screen reader's start does,
    // starts the client and waits until it listens and sees this process on
    // the accessibility bus. False, with error(), when it cannot. The toolkit
    // decides on accessibility once, when first asked: start the client before
    // the first window is shown (initTestCase), and keep it for the whole run.
    bool start(int timeoutMs = 20000);
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // What went wrong in the last start or command; empty after a success.
    QString error() const { return m_error; }

    // One command of the client (see atspi_client.py), the event loop running
    // until the answer. Its "result"; Null with error() set on a failure.
    QJsonValue command(const QStringList &words, int timeoutMs = 15000);

    // Every object under `id` ("app": the whole program), depth first, as
    // {id, parent, depth, index, role, name, description, states, child_count}.
    QJsonArray tree(const QString &id = QStringLiteral("app"), int maxChildren = 200);
    // The first object of this role ("*": any) and name (a null QString: any;
    // "": unnamed), hidden ones included, in tree order; {} when none.
    QJsonObject find(const QString &role, const QString &name = QString());
    QJsonArray findAll(const QString &role, const QString &name = QString());
    QJsonObject focused();
    // {text, caret, selections: [[start, end]...], length}
    QJsonObject text(const QString &id);
    // Returns once every event this process sent so far has been collected.
    void sync();
    // The toolkit holds back each key from X until the accessibility registry
    // has seen it, and never lets go of one held for a window that is gone by
    // then (a leak at exit). Returns once every key sent so far has gone
    // through, as a Shift sent after them to the active window has. Call it
    // before a window that took keys closes; a key that closes its own window
    // is pressed, and released only once that window is gone.
    bool letKeysThrough(int timeoutMs = 10000);

    // Events collected since the start or the last clearEvents(), in order.
    const QList<QJsonObject> &events() const { return m_events; }
    QList<QJsonObject> events(const Predicate &match) const;
    void clearEvents() { m_events.clear(); }
    // The collected events, one a line, for a failing check's message.
    QString eventLog() const;
    // The first collected event that matches, waiting up to timeoutMs for it
    // with the event loop running; {} when none came.
    QJsonObject waitForEvent(const Predicate &match, int timeoutMs = 5000);

    // Matches events whose type starts with `type` ("object:text-changed"
    // matches insert and delete) and, unless null, whose source has this name.
    static Predicate is(const QString &type, const QString &name = QString());

signals:
    void received(); // a line from the client was read

private:
    void readLines();
    // Runs the event loop until `done` holds, the client exits or the time is out.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);

    QProcess m_process;
    QStringList m_extraEvents;
    QByteArray m_buffer;
    QString m_error;
    QList<QJsonObject> m_events;
    QList<QJsonObject> m_replies;
    QJsonObject m_ready;
    int m_sent = 0;
};

namespace e2e {
// Shows a window and waits until it is exposed and active, mapping it again
// when the window manager missed it.
bool showActive(QWidget *w);
} // namespace e2e
