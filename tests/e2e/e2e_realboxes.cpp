// End-to-end under a real X server: real modal boxes answered by xdotool key
// presses. A real box hands the activation back to its window when it closes;
// these tests make sure that returning activation cannot undo what the handler
// wrote after the box.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "testutil.h"
#include "ui_Unit1.h"
#include "ui_Unit2.h"

#include <QMessageBox>
#include <QProcess>
#include <QTimer>

class TestRealBoxes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void deleteKeepsItsLineCount();
    void laterActivationStillRefreshes();
    void addWindowKeepsItsButtonsDisabled();
    void typingRightAfterTheSplash();
    void printAndSaveThroughTheRealDialogs();

private:
    // Presses `key` in the next modal box once it has the keyboard.
    void pressInNextBox(const QString &key);
    // Runs xdotool with each of `commands` in the next modal box.
    void inNextBox(const QList<QStringList> &commands);
    static void waitActive(QWidget *w);
    int m_boxesAnswered = 0;
};

void TestRealBoxes::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run under a real X server");
}

void TestRealBoxes::waitActive(QWidget *w)
{
    // A window mapped while the window manager starts may never be exposed: map it again.
    for (int attempt = 0; attempt < 3 && !QTest::qWaitForWindowExposed(w, 2000); ++attempt) {
        w->hide();
        w->show();
    }
    QVERIFY(w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed());
    // The window manager may take a moment before it grants the focus.
    for (int attempt = 0; attempt < 5 && !w->isActiveWindow(); ++attempt) {
        w->raise();
        w->activateWindow();
        QTest::qWaitForWindowActive(w, 1000);
    }
    QVERIFY(w->isActiveWindow());
}

void TestRealBoxes::pressInNextBox(const QString &key) { inNextBox({{QStringLiteral("key"), key}}); }

void TestRealBoxes::inNextBox(const QList<QStringList> &commands)
{
    auto *timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer, commands] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box)
            return;
        timer->stop();
        timer->deleteLater();
        QTest::qWait(300); // the dialog's own focus settles
        for (const QStringList &command : commands)
            QProcess::execute(QStringLiteral("xdotool"), command);
        ++m_boxesAnswered;
    });
    timer->start();
}

void TestRealBoxes::deleteKeepsItsLineCount()
{
    WorkDir dir;
    QStringList lines{QStringLiteral("Databáze lokomotivy")};
    for (int i = 1; i <= 9; ++i)
        lines << QStringLiteral("75400%1-0 dkv Praha pj Praha").arg(i);
    writeLines(QStringLiteral("lokomotivy.txt"), lines);

    TForm1 form;
    form.show();
    waitActive(&form);
    form.Lokomotivy1Click();
    QCOMPARE(form.panel(0), QStringLiteral("Počet řádků 10"));
    form.selectRow(2);

    const int before = m_boxesAnswered;
    pressInNextBox(QStringLiteral("Return")); // Yes is the default button
    form.ui->btn_smaz->click();
    QCOMPARE(m_boxesAnswered, before + 1);
    QCOMPARE(form.databaze()->count(), 9);
    // Let the activation that returns from the box arrive.
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), 5000);
    QTest::qWait(300);
    QCOMPARE(form.panel(0), QStringLiteral("Počet řádků 8"));
}

void TestRealBoxes::laterActivationStillRefreshes()
{
    WorkDir dir;
    writeLines(QStringLiteral("vozy.txt"), {QStringLiteral("Databáze vozy"), QStringLiteral("a"), QStringLiteral("b")});
    TForm1 form;
    form.show();
    waitActive(&form);
    form.Vozy1Click();
    form.selectRow(1);
    pressInNextBox(QStringLiteral("Return"));
    form.ui->btn_smaz->click();
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), 5000);
    QTest::qWait(300);
    QCOMPARE(form.panel(0), QStringLiteral("Počet řádků 1"));

    // Another window and back: an ordinary activation refreshes the count.
    QWidget other;
    other.resize(100, 100);
    other.show();
    waitActive(&other);
    waitActive(&form);
    QCOMPARE(form.panel(0), QStringLiteral("Počet řádků 2"));
}

// The overwrite question is asked from the add window; when it closes, the
// add window gets the activation back, and its buttons must stay disabled
// so the same press cannot be repeated by accident.
void TestRealBoxes::addWindowKeepsItsButtonsDisabled()
{
    WorkDir dir;
    writeLines(QStringLiteral("lokomotivy.txt"),
               {QStringLiteral("Databáze lokomotivy"), QStringLiteral("754001-6 dkv Praha pj Praha")});
    Windows windows;
    TForm1 *form = windows.form1.get();
    waitActive(form);
    form->ui->rbtn_lokomotivy->setChecked(true);
    form->ui->edt_rezim->setText(QStringLiteral("754"));
    form->ui->edt_vlastnik->setText(QStringLiteral("001"));
    form->ui->BitBtn_zadano->click();
    QCOMPARE(form->ui->lbl_kontrolka->text(), QStringLiteral("6"));

    form->uloitvozidlo1Click();
    TForm_databaze *add = windows.form_databaze;
    waitActive(add);
    QVERIFY(add->ui->bitbtn_pridat->isEnabled());

    pressInNextBox(QStringLiteral("Return")); // Yes: overwrite
    add->ui->bitbtn_pridat->click();
    QCOMPARE(form->databaze()->lines(),
             (QStringList{QStringLiteral("Databáze lokomotivy"), QStringLiteral("754001-6 dkv  pj ")}));
    QTRY_VERIFY_WITH_TIMEOUT(add->isActiveWindow(), 5000);
    QTest::qWait(300);
    QVERIFY(!add->ui->bitbtn_pridat->isEnabled());
    QVERIFY(!add->ui->btn_serie->isEnabled());
    QCOMPARE(add->ui->lbl_databaze->text(), QStringLiteral("hnací vozidlo zapsáno"));
}

// Real key presses right after the splash has closed: the first digit replaces
// the placeholder of the field that gets the focus back.
void TestRealBoxes::typingRightAfterTheSplash()
{
    WorkDir dir;
    // As program entry does it: the splash is shown before the main window
    // was ever active.
    TForm1 form;
    form.show();
    TForm_databaze add(&form);
    form.Form_databaze = &add;
    TForm_uvod splash(&form);
    splash.show();
    QTRY_COMPARE_WITH_TIMEOUT(splash.krok, 10, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), 5000);
    QTest::qWait(1500); // a user's pause before typing
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                  QStringLiteral("30"), QStringLiteral("21802345123")});
    QTRY_COMPARE_WITH_TIMEOUT(form.ui->edt_evidence->text(), QStringLiteral("123"), 5000);
    QCOMPARE(form.ui->edt_rezim->text(), QStringLiteral("21"));
    QCOMPARE(form.ui->edt_vlastnik->text(), QStringLiteral("80"));
    QCOMPARE(form.ui->edt_charakteristika->text(), QStringLiteral("2345"));
    QCOMPARE(QApplication::focusWidget(), form.ui->BitBtn_zadano);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QTRY_COMPARE_WITH_TIMEOUT(form.ui->lbl_kontrolka->text(), QStringLiteral("8"), 5000);
}

// Ctrl+P on the keyboard opens the real print dialog; with no printer set up
// it offers a PDF file, which Enter writes. The real file dialog saves under
// the name typed into it.
void TestRealBoxes::printAndSaveThroughTheRealDialogs()
{
    WorkDir dir;
    // The print dialog offers a PDF file in the home folder.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
    Windows windows;
    TForm1 *form = windows.form1.get();
    waitActive(form);
    form->n5Click();
    const QString heading = form->ui->lbl_databaze_memo->text();
    const int before = m_boxesAnswered;

    inNextBox({{QStringLiteral("key"), QStringLiteral("Return")}});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+p")});
    QTRY_COMPARE_WITH_TIMEOUT(m_boxesAnswered, before + 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(heading + QStringLiteral(".pdf")).size() > 1000, 10000);

    inNextBox({{QStringLiteral("key"), QStringLiteral("ctrl+a")},
               {QStringLiteral("type"), QStringLiteral("vypis.txt")},
               {QStringLiteral("key"), QStringLiteral("Return")}});
    form->ui->Uloitvpis1->trigger();
    QCOMPARE(m_boxesAnswered, before + 2);
    QVERIFY(readFile(QStringLiteral("vypis.txt")).startsWith(heading.toUtf8() + "\n5. Z databáze"));
}

TRAKVID_TEST_MAIN(TestRealBoxes)
#include "e2e_realboxes.moc"
