// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// What a blind clerk hears, checked with the screen reader itself: Orca runs
// beside the program on the test's X server and accessibility bus, speaking
// through speech-dispatcher with its sound sent nowhere, and its debug file
// records every utterance. Each moment of the table is played with real keys
// and real boxes, and the words the clerk must hear are looked for in what
// Orca said after it.
#include "Unit1.h"
#include "Unit2.h"
#include "outputpane.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestOrca : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void heard_data();
    void heard();

private:
    // What Orca said since the last mark, one utterance a line.
    QString spokenSinceMark() const;
    void mark() { m_mark = QFileInfo(m_log).size(); }
    bool waitToHear(const QStringList &words, int timeoutMs);
    // Presses a key in the next box once Orca has said `spoken` of it.
    void pressInNextBox(const QString &key, const QString &spoken);
    // Waits until Orca has said nothing new for two seconds.
    void settle();

    std::unique_ptr<WorkDir> m_dir;
    std::unique_ptr<TForm1> m_form;
    QTemporaryDir m_home;
    QString m_log;
    qint64 m_mark = 0;
    QProcess m_orca;
};

namespace {

// Shows a window and waits until it is exposed and active, mapping it again
// when the window manager missed it.
bool showActive(QWidget *w)
{
    w->show();
    for (int attempt = 0; attempt < 3 && !QTest::qWaitForWindowExposed(w, 2000); ++attempt) {
        w->hide();
        w->show();
    }
    for (int attempt = 0; attempt < 5 && !w->isActiveWindow(); ++attempt) {
        w->raise();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w, 1000);
    }
    return w->isActiveWindow();
}

void xdotool(const QStringList &arguments) { QProcess::execute(u"xdotool"_s, arguments); }

// Orca reads a number with blanks between its thousands; the log may hold
// either blank.
QString normalized(QString text) { return text.replace(QChar::Nbsp, u' '); }

} // namespace

void TestOrca::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run under a real X server");
    QVERIFY2(!QStandardPaths::findExecutable(u"orca"_s).isEmpty(), "Orca is installed (scripts/test.sh)");
    QVERIFY(m_home.isValid());
    // The windows are made before Orca listens: what it hears is the moments'.
    m_dir = std::make_unique<WorkDir>();
    QStringList vozy{u"Databáze vozy"_s, u"21802345123-8 dkv Plzeň domovska Cheb"_s};
    for (int i = 0; i < 999; ++i)
        vozy << u"3180%1-0 dkv Plzeň domovska Cheb"_s.arg(1000000 + i);
    writeLines(u"vozy.txt"_s, vozy);
    // The list shown is short: Orca counts a list's items when it comes to it.
    QStringList lokomotivy{u"Databáze lokomotivy"_s};
    for (int i = 1; i <= 9; ++i)
        lokomotivy << u"75400%1-0 dkv Praha pj Praha"_s.arg(i);
    writeLines(u"lokomotivy.txt"_s, lokomotivy);
    writeLines(u"rezim.txt"_s, {u"list režimů"_s, u"21 RIV"_s, u"31 vnitrostátní"_s});
    writeLines(u"vlastnik.txt"_s, {u"list vlastníků"_s, u"80 DB"_s});
    m_form = std::make_unique<TForm1>();
    m_form->Form_databaze = new TForm_databaze(m_form.get());
    QVERIFY(showActive(m_form.get()));
    // A home of its own: Orca's settings, and speech-dispatcher sending its
    // sound to libao's null driver.
    const QString home = m_home.path();
    QVERIFY(QDir(home).mkpath(u"config/speech-dispatcher"_s) && QDir(home).mkpath(u"orca"_s));
    QFile speechd(home + u"/config/speech-dispatcher/speechd.conf"_s);
    QVERIFY(speechd.open(QIODevice::WriteOnly));
    speechd.write("AudioOutputMethod \"libao\"\nLogDir \"" + home.toUtf8() + "\"\nLogLevel 1\n");
    speechd.close();
    QFile ao(home + u"/.libao"_s);
    QVERIFY(ao.open(QIODevice::WriteOnly));
    ao.write("default_driver=null\n");
    ao.close();
    // TRAKVID_ORCA_LOG=FILE keeps Orca's debug file for a look at what it heard.
    m_log = qEnvironmentVariable("TRAKVID_ORCA_LOG", home + u"/orca.log"_s);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, home);
    env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
    env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    m_orca.setProcessEnvironment(env);
    m_orca.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_orca.setStandardOutputFile(QProcess::nullDevice());
    m_orca.start(QStringLiteral(TRAKVID_ORCA_LAUNCHER), {u"--replace"_s, u"-u"_s, home + u"/orca"_s,
                                u"--debug-file"_s, m_log});
    QVERIFY2(m_orca.waitForStarted(10000), qPrintable(m_orca.errorString()));
    // Orca says it is on once it listens; it starts in a few seconds.
    QVERIFY2(waitToHear({u"Screen reader on"_s}, 60000), "Orca did not start speaking");
    settle();
}

void TestOrca::cleanupTestCase()
{
    m_form.reset();
    m_orca.terminate();
    if (!m_orca.waitForFinished(10000))
        m_orca.kill();
    m_orca.waitForFinished(5000);
    m_dir.reset();
}

QString TestOrca::spokenSinceMark() const
{
    QFile log(m_log);
    if (!log.open(QIODevice::ReadOnly) || !log.seek(m_mark))
        return QString();
    QStringList said;
    // "SPEECH OUTPUT: 'text'" and, after the closing quote, the voice used.
    const QString marker = u"SPEECH OUTPUT: '"_s;
    for (const QByteArray &bytes : log.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        const qsizetype at = line.indexOf(marker);
        if (at < 0)
            continue;
        QString text = line.mid(at + marker.size());
        const qsizetype voice = text.lastIndexOf(u"'{"_s);
        text.truncate(voice >= 0 ? voice : text.lastIndexOf(u'\''));
        said << normalized(text);
    }
    return said.join(u'\n');
}

bool TestOrca::waitToHear(const QStringList &words, int timeoutMs)
{
    auto heardAll = [&] {
        const QString said = spokenSinceMark();
        return std::all_of(words.begin(), words.end(), [&](const QString &w) { return said.contains(normalized(w)); });
    };
    QElapsedTimer clock;
    clock.start();
    while (!heardAll()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

void TestOrca::settle()
{
    QElapsedTimer clock, quiet;
    clock.start();
    quiet.start();
    qint64 size = QFileInfo(m_log).size();
    while (quiet.elapsed() < 2000 && clock.elapsed() < 120000) {
        QTest::qWait(200);
        if (const qint64 now = QFileInfo(m_log).size(); now != size) {
            size = now;
            quiet.restart();
        }
    }
}

void TestOrca::pressInNextBox(const QString &key, const QString &spoken)
{
    auto *timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer, key, spoken] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box)
            return;
        timer->stop();
        timer->deleteLater();
        // A clerk answers once the box has been read out.
        (void)waitToHear({spoken}, 120000);
        xdotool({u"key"_s, key});
    });
    timer->start();
}

void TestOrca::heard_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QStringList>("words"); // "LINE": the list's current line after the moment
    QTest::newRow("a report") << u"report"_s << QStringList{u"Vůz 21802345123-8, 4 řádky"_s};
    QTest::newRow("a listing") << u"listing"_s << QStringList{u"Databáze vozů z DKV Plzeň, 1 000 řádků"_s};
    QTest::newRow("a help page") << u"help"_s << QStringList{u"Nápověda k výpočtu kontrolní číslice, 1 řádek"_s};
    QTest::newRow("a reference list") << u"list"_s << QStringList{u"List režimů vozu, 3 řádky"_s};
    QTest::newRow("a deletion") << u"delete"_s << QStringList{u"LINE"_s};
    QTest::newRow("Escape from a box") << u"escape"_s << QStringList{u"LINE"_s};
    QTest::newRow("Smaž") << u"smaz"_s << QStringList{u"Smaže vybraný řádek, klávesa Delete"_s};
    // Last: the main window stays behind the add window.
    QTest::newRow("the add window") << u"add"_s << QStringList{u"21802345123-8"_s};
}

void TestOrca::heard()
{
    QFETCH(QString, moment);
    QFETCH(QStringList, words);
    TForm1 &form = *m_form;
    Ui::TForm1 *ui = form.ui;
    form.Form_databaze->hide();
    if (!form.isActiveWindow())
        QVERIFY(showActive(&form));
    auto number = [&] {
        ui->edt_rezim->setText(u"21"_s);
        ui->edt_vlastnik->setText(u"80"_s);
        ui->edt_charakteristika->setText(u"2345"_s);
        ui->edt_evidence->setText(u"123"_s);
    };
    auto showDatabase = [&](int row) {
        if (ui->lbl_databaze->text() != u"Databáze lokomotivy"_s)
            form.Lokomotivy1Click();
        form.selectRow(row);
        ui->lbx_databaze->setFocus();
        QTRY_VERIFY(ui->lbx_databaze->hasFocus());
    };
    // Each moment starts when Orca has told all that came before: a clerk
    // waits for it, and Orca drops news it is flooded with.
    if (moment == u"report" || moment == u"add") {
        number();
        ui->edt_evidence->setFocus();
        QTRY_VERIFY(ui->edt_evidence->hasFocus());
    } else if (moment == u"delete" || moment == u"escape") {
        showDatabase(2);
    } else if (moment == u"smaz") {
        showDatabase(1);
    }
    if (moment == u"add") {
        xdotool({u"key"_s, u"Return"_s});
        QTRY_COMPARE(ui->lbl_kontrolka->text(), u"8"_s);
    }
    settle();
    mark();
    if (moment == u"report") {
        xdotool({u"key"_s, u"Return"_s});
    } else if (moment == u"listing") {
        ScriptedBoxes boxes; // the value is given; what the pane says is heard
        boxes.type(u"Plzeň"_s);
        form.PodleDKV1Click();
    } else if (moment == u"help") {
        ui->n1->trigger();
    } else if (moment == u"list") {
        ui->Reimvozu2->trigger();
    } else if (moment == u"delete" || moment == u"escape") {
        if (moment == u"delete") {
            const int count = form.databaze()->count();
            pressInNextBox(u"Return"_s, u"chcete tuto položku z databáze smazat?"_s); // Yes is the default
            xdotool({u"key"_s, u"Delete"_s});
            QTRY_COMPARE_WITH_TIMEOUT(form.databaze()->count(), count - 1, 60000);
        } else {
            pressInNextBox(u"Escape"_s, u"Zadej text záložky"_s);
            form.btn_zalozkaClick();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget() && form.isActiveWindow(), 10000);
        const QString line = ui->lbx_databaze->currentIndex().data().toString();
        QVERIFY(!line.isEmpty());
        words.replaceInStrings(u"LINE"_s, line);
    } else if (moment == u"add") {
        ScriptedBoxes boxes; // the deletion before is not saved
        boxes.no();
        ui->uloitvozidlo1->trigger();
    } else if (moment == u"smaz") {
        ui->btn_smaz->setFocus(Qt::TabFocusReason);
    }
    // Orca takes some seconds over a moment here, more on a busy machine.
    const bool heard = waitToHear(words, 120000);
    QVERIFY2(heard, qPrintable(u"expected \""_s + words.join(u"\", \""_s) + u"\"; Orca said:\n"_s + spokenSinceMark()));
}

TRAKVID_TEST_MAIN(TestOrca)
#include "e2e_orca.moc"
