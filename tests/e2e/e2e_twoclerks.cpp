// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// End-to-end under a real X server: two Trakvid processes on one folder, each
// with its own windows and real boxes answered by xdotool keys, edit the
// locomotive database and save in turn. The test process is clerk A; clerk B
// is this binary started again with --clerk, taking one step at a time from
// its standard input and telling its panels back.
#include "Unit1.h"
#include "Unit2.h"
#include "outputpane.h"
#include "testutil.h"
#include "numbering.h"
#include "storage.h"
#include "ui_Unit1.h"
#include "ui_Unit2.h"

#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList kBase{u"Databáze lokomotivy"_s,        u"Řada 163"_s, u"163001-1 dkv Praha pj Praha"_s,
                        u"Řada 750"_s,                   u"750001-0 dkv Brno pj Brno"_s,
                        u"750002-8 dkv Brno pj Brno"_s,  u"Řada 754"_s,
                        u"754001-6 dkv Plzeň pj Cheb"_s, u"754002-4 dkv Plzeň pj Cheb"_s};

// A locomotive's number with its check digit.
QString locomotive(const QString &digits)
{
    return storage::vehicleNumberText(digits, numbering::checkDigitOf(digits));
}

// One clerk's windows; a step is "show", "add NUMBER DKV" (six digits, in
// the add window), "run NUMBER LAST DKV" (a run up to the serial LAST),
// "delete ROW", "bookmark ROW TEXT", "change ROW TEXT" (a bookmark's text)
// or "save y|n" (the answer to a merge).
class Clerk : public QObject
{
public:
    Clerk()
    {
        form.Form_databaze = new TForm_databaze(&form);
        form.show();
        m_answerer.setInterval(50);
        connect(&m_answerer, &QTimer::timeout, this, [this] { answerBox(); });
    }

    // What the other side checks after a step: the change count, the pane's heading and text.
    QString state() const
    {
        return form.panel(2) + u"|"_s + form.ui->lbl_databaze_memo->text() + u"|"_s
               + form.ui->Memo1->text().replace(u'\n', u'/');
    }

    void step(const QString &command)
    {
        const QStringList words = command.split(u' ');
        const int row = words.value(1).toInt();
        m_text = words.mid(2).join(u' ');
        m_merge = words.value(1) == u"y"_s;
        m_answerer.start();
        if (words[0] == u"show") {
            form.Lokomotivy1Click();
        } else if (words[0] == u"add" || words[0] == u"run") {
            TForm_databaze *add = form.Form_databaze;
            form.setPanel(3, locomotive(words[1]));
            add->FormActivate();
            add->ui->cmb_dkv->setEditText(words.last());
            add->ui->cmb_domovka->setEditText(words.last());
            if (words[0] == u"add") {
                add->ui->bitbtn_pridat->click();
            } else {
                add->ui->sedt_serie->setValue(words[2].toInt());
                add->ui->btn_serie->click();
            }
        } else if (words[0] == u"delete") {
            form.selectRow(row);
            form.ui->btn_smaz->click();
        } else if (words[0] == u"bookmark") {
            form.selectRow(row);
            form.ui->btn_zalozka->click();
        } else if (words[0] == u"change") {
            form.selectRow(row);
            form.ui->Btn_upravit->click();
        } else if (words[0] == u"save") {
            form.Uloitdatabzi1Click();
        }
        m_answerer.stop();
    }

    TForm1 form;

private:
    // Answers the box that has the keyboard: a text typed and Enter in an
    // input box, Escape (Storno) to a merge that is not wanted, else Enter
    // (Yes, OK).
    void answerBox()
    {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box)
            return;
        // A key that came before the box could take it is lost: a box still
        // there a while after its answer is answered again. A new box may
        // stand at the address of the last one, so the time decides too.
        if (box == m_answered && m_sinceAnswer.elapsed() < 2000)
            return;
        m_answered = box;
        m_sinceAnswer.start();
        if (qobject_cast<QInputDialog *>(box)) {
            QProcess::execute(u"xdotool"_s, {u"key"_s, u"ctrl+a"_s});
            QProcess::execute(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"20"_s, m_text});
        }
        const auto *message = qobject_cast<QMessageBox *>(box);
        const bool refuse = message && message->text().contains(u"Sloučit"_s) && !m_merge;
        QProcess::execute(u"xdotool"_s, {u"key"_s, refuse ? u"Escape"_s : u"Return"_s});
    }

    QTimer m_answerer;
    QPointer<QWidget> m_answered;
    QElapsedTimer m_sinceAnswer;
    QString m_text;
    bool m_merge = false;
};

// Clerk B: one step per line of the standard input, "done STATE" after each.
int runClerkB()
{
    Clerk clerk;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[512];
        if (!std::fgets(line, sizeof line, stdin)) {
            QApplication::quit();
            return;
        }
        input.setEnabled(false);
        clerk.step(QString::fromUtf8(line).trimmed());
        std::printf("done %s\n", clerk.state().toUtf8().constData());
        std::fflush(stdout);
        input.setEnabled(true);
    });
    return QApplication::exec();
}

} // namespace

class TestTwoClerks : public QObject
{
    Q_OBJECT
private slots:
    void clerksSaveInTurn_data();
    void clerksSaveInTurn();
};

void TestTwoClerks::clerksSaveInTurn_data()
{
    QTest::addColumn<QStringList>("steps");        // "A:step" or "B:step", in order
    QTest::addColumn<QStringList>("file");         // vozy... lokomotivy.txt at the end
    QTest::addColumn<QString>("lastState");        // of the clerk who saved last
    QStringList merged = kBase;
    merged.removeAt(4);
    merged.insert(6, u"== B"_s);
    merged[1] = u"Rada 163 B"_s;
    QTest::newRow("different lines: both kept")
        << QStringList{u"A:show"_s, u"B:show"_s, u"A:delete 4"_s, u"B:bookmark 7 == B"_s,
                       u"B:change 1 Rada 163 B"_s, u"A:save y"_s, u"B:save y"_s}
        << merged
        << u"0|Sloučení databáze lokomotiv|Použito změn: 2, nepoužito: 0, řádků jiného programu zachováno: 0"_s;
    QStringList first = kBase;
    first[3] = u"Rada 750 A"_s;
    first.insert(8, u"== B"_s);
    QTest::newRow("same line: the first saver's stays, the other's listed")
        << QStringList{u"A:show"_s, u"B:show"_s, u"A:change 3 Rada 750 A"_s, u"B:change 3 Rada 750 B"_s,
                       u"B:bookmark 8 == B"_s, u"A:save y"_s, u"B:save y"_s}
        << first
        << u"0|Sloučení databáze lokomotiv|Použito změn: 1, nepoužito: 1, řádků jiného programu zachováno: 1"
           "/nepoužito: Rada 750 B – řádek jiný program změnil"_s;
    // Adds land by their numbers (in front of the first greater one), wherever
    // the other clerk's lines moved them.
    QStringList adds = kBase;
    adds.append(storage::locomotiveLine(locomotive(u"754003"_s), u"Cheb"_s, u"Cheb"_s));
    adds.insert(7, storage::locomotiveLine(locomotive(u"750004"_s), u"Brno"_s, u"Brno"_s));
    adds.insert(7, storage::locomotiveLine(locomotive(u"750003"_s), u"Brno"_s, u"Brno"_s));
    adds.removeAt(2);
    QTest::newRow("an add and a run against a deletion: all kept")
        << QStringList{u"A:show"_s, u"B:show"_s, u"A:add 754003 Cheb"_s, u"B:run 750003 4 Brno"_s,
                       u"B:delete 2"_s, u"B:save y"_s, u"A:save y"_s}
        << adds
        << u"0|Sloučení databáze lokomotiv|Použito změn: 1, nepoužito: 0, řádků jiného programu zachováno: 2"_s;
    QStringList declined = kBase;
    declined.removeAt(2);
    QTest::newRow("merge declined: nothing written, changes kept")
        << QStringList{u"B:show"_s, u"A:show"_s, u"B:delete 2"_s, u"A:bookmark 3 == A"_s, u"B:save y"_s,
                       u"A:save n"_s}
        << declined << u"1|Trakvid|"_s;
}

void TestTwoClerks::clerksSaveInTurn()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, file);
    QFETCH(QString, lastState);
    QVERIFY2(QGuiApplication::platformName() == u"xcb"_s, "run under a real X server");
    WorkDir dir;
    writeLines(storage::LOKOMOTIVY, kBase);
    Clerk a;
    a.form.ui->lbl_databaze_memo->setText(u"Trakvid"_s);
    QProcess b;
    b.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    b.setWorkingDirectory(dir.path());
    b.start(QCoreApplication::applicationFilePath(), {u"--clerk"_s});
    QVERIFY(b.waitForStarted());
    QString state;
    for (const QString &s : steps) {
        if (s.startsWith(u"A:")) {
            a.step(s.mid(2));
            state = a.state();
            continue;
        }
        b.write(s.mid(2).toUtf8() + '\n');
        while (!b.canReadLine())
            QVERIFY2(b.waitForReadyRead(30000), qPrintable(u"clerk B did not finish "_s + s));
        const QByteArray reply = b.readLine();
        QVERIFY2(reply.startsWith("done "), reply.constData());
        state = QString::fromUtf8(reply.mid(5)).trimmed();
    }
    b.closeWriteChannel();
    QVERIFY(b.waitForFinished(10000));
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(file));
    QCOMPARE(state, lastState);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    trakvidTestInit(app);
    if (argc > 1 && std::strcmp(argv[1], "--clerk") == 0)
        return runClerkB();
    TestTwoClerks tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "e2e_twoclerks.moc"
