// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "atspi.h"

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

AtspiClient::AtspiClient(const QStringList &extraEvents, QObject *parent)
    : QObject(parent), m_extraEvents(extraEvents)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &AtspiClient::readLines);
    // The client's complaints belong in the test's log.
    connect(&m_process, &QProcess::readyReadStandardError, this, [this] {
        const QByteArray err = m_process.readAllStandardError().trimmed();
        if (!err.isEmpty())
            qWarning().noquote() << "atspi_client:" << QString::fromUtf8(err);
    });
    connect(&m_process, &QProcess::finished, this, &AtspiClient::received);
}

AtspiClient::~AtspiClient()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the client stops at the end of its input
    if (!waitUntil([this] { return m_process.state() == QProcess::NotRunning; }, 3000)) {
        m_process.kill();
        m_process.waitForFinished(1000); // killed: it asks nothing any more
    }
}

bool AtspiClient::start(int timeoutMs)
{
    m_error.clear();
    // A screen reader's start turns accessibility on. The toolkit decides once,
    // when first asked; asking now also puts this process on the bus for the
    // client to find.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000)) {
        m_error = QStringLiteral("accessibility stays off in this process: the toolkit decided before the "
                                 "AT-SPI client started; start it before the first window is shown");
        return false;
    }
    QStringList args{QStringLiteral(TRAKVID_ATSPI_CLIENT), QStringLiteral("--pid"),
                     QString::number(QCoreApplication::applicationPid()), QStringLiteral("--timeout"),
                     QString::number(timeoutMs / 1000.0)};
    if (!m_extraEvents.isEmpty())
        args << QStringLiteral("--events") << m_extraEvents.join(QLatin1Char(','));
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start the AT-SPI client: ") + m_process.errorString();
        return false;
    }
    waitUntil([this] { return !m_ready.isEmpty(); }, timeoutMs + 5000);
    if (!m_ready.value(QStringLiteral("ready")).toBool()) {
        m_error = m_ready.isEmpty() ? QStringLiteral("the AT-SPI client did not get ready")
                                    : m_ready.value(QStringLiteral("error")).toString();
        return false;
    }
    // The toolkit reads the registered listeners when it hears of them; a round
    // trip makes sure it has, before the test does what should be heard.
    sync();
    return m_error.isEmpty();
}

void AtspiClient::readLines()
{
    m_buffer += m_process.readAllStandardOutput();
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        QJsonParseError parseError;
        const QJsonObject obj = QJsonDocument::fromJson(line, &parseError).object();
        if (parseError.error != QJsonParseError::NoError) {
            qWarning().noquote() << "atspi_client said:" << QString::fromUtf8(line);
            continue;
        }
        if (obj.contains(QLatin1String("event")))
            m_events.append(obj);
        else if (obj.contains(QLatin1String("reply")))
            m_replies.append(obj);
        else if (obj.contains(QLatin1String("ready")))
            m_ready = obj;
    }
    emit received();
}

bool AtspiClient::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    // `done` may take what it found: it is asked again only after new lines.
    bool met = done();
    if (met)
        return true;
    // A loop that sleeps until something arrives: the client's calls into this
    // process are answered at once, not after a polling interval.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &AtspiClient::received, &loop, [&] {
        met = met || done();
        if (met || m_process.state() == QProcess::NotRunning)
            loop.quit();
    });
    timer.start(timeoutMs);
    if (m_process.state() != QProcess::NotRunning)
        loop.exec();
    return met;
}

bool AtspiClient::letKeysThrough(int timeoutMs)
{
    if (!QApplication::activeWindow())
        return true; // keys went nowhere the toolkit holds them for
    // A key let through comes back as a posted, not a spontaneous, event.
    struct ShiftBack : QObject {
        bool back = false;
        bool eventFilter(QObject *target, QEvent *event) override
        {
            if (event->type() == QEvent::KeyRelease && !event->spontaneous() && target->isWindowType()
                && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Shift)
                back = true;
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift")});
    const bool through = QTest::qWaitFor([&] { return watch.back; }, timeoutMs);
    qApp->removeEventFilter(&watch);
    return through;
}

QJsonValue AtspiClient::command(const QStringList &words, int timeoutMs)
{
    m_error.clear();
    if (m_process.state() != QProcess::Running) {
        m_error = QStringLiteral("the AT-SPI client is not running");
        return QJsonValue();
    }
    const int n = ++m_sent;
    m_process.write(QJsonDocument(QJsonArray::fromStringList(words)).toJson(QJsonDocument::Compact) + '\n');
    QJsonObject reply;
    const auto answered = [&] {
        for (qsizetype i = 0; i < m_replies.size(); ++i) {
            if (m_replies.at(i).value(QLatin1String("reply")).toInt() == n) {
                reply = m_replies.takeAt(i);
                return true;
            }
        }
        return false;
    };
    if (!waitUntil(answered, timeoutMs)) {
        m_error = QStringLiteral("no answer to %1").arg(words.join(QLatin1Char(' ')));
        if (m_process.state() == QProcess::NotRunning)
            m_error += QStringLiteral(": the AT-SPI client stopped with status %1").arg(m_process.exitCode());
        return QJsonValue();
    }
    if (!reply.value(QLatin1String("ok")).toBool()) {
        m_error = reply.value(QLatin1String("error")).toString();
        return QJsonValue();
    }
    return reply.value(QLatin1String("result"));
}

QJsonArray AtspiClient::tree(const QString &id, int maxChildren)
{
    return command({QStringLiteral("tree"), id, QString::number(maxChildren)}).toArray();
}

QJsonArray AtspiClient::findAll(const QString &role, const QString &name)
{
    QStringList words{QStringLiteral("find"), role};
    if (!name.isNull())
        words << name;
    return command(words).toArray();
}

QJsonObject AtspiClient::find(const QString &role, const QString &name)
{
    return findAll(role, name).first().toObject();
}

QJsonObject AtspiClient::focused() { return command({QStringLiteral("focused")}).toObject(); }

QJsonObject AtspiClient::text(const QString &id) { return command({QStringLiteral("text"), id}).toObject(); }

void AtspiClient::sync() { command({QStringLiteral("sync")}); }

QList<QJsonObject> AtspiClient::events(const Predicate &match) const
{
    QList<QJsonObject> out;
    for (const QJsonObject &e : m_events)
        if (match(e))
            out.append(e);
    return out;
}

QString AtspiClient::eventLog() const
{
    QStringList lines;
    for (const QJsonObject &e : m_events)
        lines << QString::fromUtf8(QJsonDocument(e).toJson(QJsonDocument::Compact));
    return lines.join(QLatin1Char('\n'));
}

QJsonObject AtspiClient::waitForEvent(const Predicate &match, int timeoutMs)
{
    QJsonObject found;
    qsizetype checked = 0;
    waitUntil(
        [&] {
            for (; checked < m_events.size(); ++checked) {
                if (match(m_events.at(checked))) {
                    found = m_events.at(checked);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

AtspiClient::Predicate AtspiClient::is(const QString &type, const QString &name)
{
    return [type, name](const QJsonObject &e) {
        return e.value(QLatin1String("event")).toString().startsWith(type)
               && (name.isNull() || e.value(QLatin1String("name")).toString() == name);
    };
}

bool e2e::showActive(QWidget *w)
{
    w->show();
    // A window mapped while the window manager starts may never be exposed: map it again.
    for (int attempt = 0; attempt < 3 && !QTest::qWaitForWindowExposed(w, 2000); ++attempt) {
        w->hide();
        w->show();
    }
    if (!w->windowHandle() || !w->windowHandle()->isExposed())
        return false;
    // The window manager may take a moment before it grants the focus.
    for (int attempt = 0; attempt < 5 && !w->isActiveWindow(); ++attempt) {
        w->raise();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w, 1000);
    }
    return w->isActiveWindow();
}
