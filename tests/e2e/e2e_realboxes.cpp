// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// End-to-end under a real X server: real modal boxes answered by xdotool key
// presses. A real box hands the activation back to its window when it closes;
// these tests make sure that returning activation cannot undo what the handler
// wrote after the box.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "outputpane.h"
#include "outputview.h"
#include "testutil.h"
#include "ui_Unit1.h"
#include "ui_Unit2.h"

#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
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
    void bigListingByTheKeyboard();
    void clerkSession_data();
    void clerkSession();
    void keyboardCommands_data();
    void keyboardCommands();

private:
    // Runs the steps of a session row, then checks what it expects.
    void runSession(const QString &steps, const QStringList &expect);
    // Presses `key` in the next modal box once it has the keyboard.
    void pressInNextBox(const QString &key);
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
        (void)QTest::qWaitForWindowActive(w, 1000); // checked after the attempts
    }
    QVERIFY(w->isActiveWindow());
}

void TestRealBoxes::pressInNextBox(const QString &key)
{
    auto *timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer, key] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box)
            return;
        timer->stop();
        timer->deleteLater();
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
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
    QCOMPARE(form->databaze()->texts(),
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
    // Centred over the main window while it loads.
    QTRY_VERIFY_WITH_TIMEOUT(splash.isVisible() && splash.windowHandle()->isExposed(), 5000);
    const QPoint offCentre = splash.frameGeometry().center() - form.frameGeometry().center();
    QVERIFY2(offCentre.manhattanLength() < 40, qPrintable(QString("%1 %2").arg(offCentre.x()).arg(offCentre.y())));
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

// A listing of thousands of lines is shown by the pane's lines view: real
// keys select and copy in it, Tab leaves it, and the first typed letter
// gives the text to the editor, replacing the selection as the editor would.
void TestRealBoxes::bigListingByTheKeyboard()
{
    WorkDir dir;
    QStringList lines{QStringLiteral("Databáze vozy")};
    QStringList listed;
    for (int i = 0; i < 4000; ++i) {
        lines << QStringLiteral("2180%1-0 dkv Plzeň domovska %2").arg(1000000 + i).arg(i % 2 ? u"Cheb" : u"Brno");
        if (i % 2)
            listed << lines.last();
    }
    writeLines(QStringLiteral("vozy.txt"), lines);
    TForm1 form;
    form.show();
    waitActive(&form);
    auto *timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [timer] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box)
            return;
        timer->stop();
        timer->deleteLater();
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("Cheb")});
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    });
    timer->start();
    form.PodleDomovskstanice1Click();
    const QString all = listed.join(QLatin1Char('\n'));
    QCOMPARE(form.ui->Memo1->text(), all);
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), 5000);
    QWidget *view = form.ui->Memo1->view();
    view->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), 5000);

    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("key"), QStringLiteral("ctrl+End"), QStringLiteral("shift+Home"),
                       QStringLiteral("ctrl+c")});
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), listed.last(), 5000);
    // A listing is read, not written: a letter typed changes nothing (the
    // Tab after it moves on only once the letter was handled).
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("x")});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Tab")});
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), form.ui->lbx_databaze, 5000);
    QCOMPARE(form.ui->Memo1->text(), all);
}

// A clerk's session, step by step, with real boxes answered through X in the
// order queued ("ans:KEY", "ans:text:TEXT" types TEXT and Enter). The add
// window must always show and write the vehicle of panel 3, at its place.
void TestRealBoxes::clerkSession_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("expect"); // "what=value"; "list=" is the shown list, lines split by "|"

    // Each kind of box after an earlier opening for another vehicle; the kind
    // question comes with the opening for the wagon itself.
    const QString before = "vozy; calc:21802345002; open; close; ";
    const QString kind = "loko; calc:754003; open; close; calc:21802345003; ";
    struct BoxRow {
        const char *name;
        QString box;      // up to the opening for 21802345003
        QString toEdit;   // from there to the edit of line 2
    };
    const BoxRow boxRows[] = {
        {"delete confirmation", before + "select:4; ans:Return; delete; calc:21802345003; ", ""},
        {"bookmark box", before + "select:4; ans:text:Z; bookmark; calc:21802345003; ", ""},
        {"save message", before + "ans:Return; ans:Return; save; calc:21802345003; ", ""},
        {"validation message", before + "ans:Return; bad; calc:21802345003; ", ""},
        {"kind question Yes", kind + "ans:Return; ans:Return; ", "open; close; vozy; "},
        {"kind question No", kind + "ans:n; ", "open; close; vozy; "},
    };
    const QString v1 = "21802345001-6 dkv A domovska B", v5 = "21802345005-7 dkv A domovska B",
                  v7 = "21802345007-3 dkv A domovska B";
    const QString n3 = "21802345003-2 dkv  domovska ", n4 = "21802345004-0 dkv  domovska ",
                  e5 = "21802345005-7 dkv Brno domovska ";
    for (const BoxRow &row : boxRows) {
        const QString name = row.name, steps = row.box;
        // What the box step left in the list around the written lines.
        QString tail = "konec";
        if (name.startsWith("delete"))
            tail.clear();
        else if (name.startsWith("bookmark"))
            tail = "Z|konec";
        const auto list = [&](const QString &written, const QString &rest) {
            QStringList lines{"Databáze vozy", v1};
            lines += written.split('|');
            lines += rest.split('|');
            if (!tail.isEmpty())
                lines += tail.split('|');
            return "list=" + lines.join('|');
        };
        QTest::newRow(qPrintable(name + ", uložit vozidlo, Přidat vozidlo"))
            << steps + "open; add" << QStringList{list(n3, v5 + "|" + v7), "p2=1"};
        QTest::newRow(qPrintable(name + ", uložit vozidlo, Přidat sérii do"))
            << steps + "open; run:4" << QStringList{list(n3 + "|" + n4, v5 + "|" + v7), "p2=1"};
        // The edit raises the count, a box step may have raised it before.
        const bool raised = name.startsWith("delete") || name.startsWith("bookmark");
        QTest::newRow(qPrintable(name + ", Upravit, Přidat vozidlo"))
            << steps + row.toEdit + "select:2; dkv:Brno; edit; add"
            << QStringList{list(e5, v7), raised ? "p2=3" : "p2=2"};
    }

    const QString file = "Databáze vozy|" + v1 + "|" + v5 + "|" + v7 + "|konec";
    // An edit written after a save raises the change count again.
    QTest::newRow("save between Upravit and Přidat vozidlo")
        << "vozy; select:2; dkv:Brno; edit; ans:Return; ans:Return; save; add"
        << QStringList{"list=Databáze vozy|" + v1 + "|" + e5 + "|" + v7 + "|konec", "p2=1"};
    QTest::newRow("second press on the kept marker after a save")
        << "vozy; select:2; dkv:Brno; edit; add; ans:Return; ans:Return; save; select:2; dkv:Praha; reactivate; add"
        << QStringList{"list=Databáze vozy|" + v1 + "|21802345005-7 dkv Praha domovska |" + v7 + "|konec", "p2=1"};
    // A box in the add window, then the main window activated by the user.
    QTest::newRow("box in the add window, then the main window")
        << "vozy; calc:21802345005; open; ans:Return; add; main" << QStringList{"p0=Počet řádků 5", "p2=1"};

    // Another program wrote the file since it was read.
    const QString deleted = "vozy; select:4; ans:Return; delete; touch:vozy.txt; ";
    const QString touched = "file=vozy.txt:" + file + "|cizí řádek";
    QTest::newRow("changed file, Uložit databázi, No")
        << deleted + "ans:Return; ans:n; save" << QStringList{touched, "p2=1"};
    QTest::newRow("changed file, Uložit databázi, Cancel")
        << deleted + "ans:Return; ans:Escape; save" << QStringList{touched, "p2=1"};
    // Yes merges: the deletion is made and the other program's line stays.
    QTest::newRow("changed file, Uložit databázi, Yes")
        << deleted + "ans:Return; ans:Return; ans:Return; save"
        << QStringList{"file=vozy.txt:Databáze vozy|" + v1 + "|" + v5 + "|" + v7 + "|cizí řádek", "p2=0"};
    QTest::newRow("changed file, switch question, No")
        << deleted + "ans:Return; ans:n; loko" << QStringList{touched, "p2=1", "caption=Databáze vozy"};
    QTest::newRow("changed file, close question, Cancel")
        << deleted + "ans:Return; ans:Escape; quit" << QStringList{touched, "p2=1", "visible=1"};
    QTest::newRow("changed file, Ulož, No")
        << "rezim; touch:rezim.txt; ans:n; uloz" << QStringList{"file=rezim.txt:Režim|cizí řádek"};
    QTest::newRow("unchanged file, Ulož") << "rezim; ans:Return; uloz" << QStringList{"file=rezim.txt:Režim"};
    // The print dialog offers a PDF file named after the heading in the data
    // folder, not in the home folder; the file dialog takes a typed name.
    QTest::newRow("Ctrl+P, Enter in the print dialog") << "rezim; ans:Return; xkey:ctrl+p"
                                                       << QStringList{"pdf=List režimů vozu.pdf"};
    QTest::newRow("Uložit výpis..., a name typed") << "rezim; ans:text:vypis.txt; saveas"
                                                   << QStringList{"utf8=vypis.txt:List režimů vozu|Režim"};

    // A file that exists but cannot be read is never taken for a missing one.
    const QString intact = "file=vozy.txt:" + file;
    QTest::newRow("unreadable vozy.txt, Databázi vozy")
        << "unreadable:vozy.txt; ans:Return; vozy; quit"
        << QStringList{intact, "caption=Databáze", "list=", "visible=0"};
    QTest::newRow("unreadable vozy.txt, a wagon added while locomotives are shown")
        << "loko; unreadable:vozy.txt; calc:21802345003; ans:n; open; ans:Return; add; quit"
        << QStringList{intact, "caption=Databáze lokomotivy", "list=Databáze lokomotivy|754001-6 dkv A pj B",
                       "visible=0"};

    // Keys as X delivers them.
    QTest::newRow("keypad Enter computes")
        << "focus:edt_rezim; xtype:21802345003; xkey:KP_Enter" << QStringList{"kontrolka=2"};
    QTest::newRow("keypad Enter in the add window")
        << "vozy; calc:21802345003; open; xkey:KP_Enter" << QStringList{"p2=1", "p0=Počet řádků: 5", "beside=1"};
    QTest::newRow("arrow key switches kind, digits follow")
        << "focus:rbtn_vozy; xkey:Down; xtype:754003; xkey:KP_Enter" << QStringList{"kontrolka=2"};
    QTest::newRow("right click keeps the field")
        << "focus:edt_rezim; xtype:21; xclick:edt_rezim:3; xkey:Escape" << QStringList{"edt_rezim=21"};

    // A whole number pasted into a field ("clip:" and "selection:" set the
    // clipboard and the X selection): the kind switches, the fields fill, Zadáno computes.
    QTest::newRow("Ctrl+V, wrong check digit")
        << "focus:edt_vlastnik; clip:754 001-0; ans:Return; xkey:ctrl+v"
        << QStringList{"kontrolka=6", "fields=754 001",
                       "box=Trakvid: Zadaná kontrolní číslice 0 nesouhlasí, správná je 6."};
    QTest::newRow("Shift+Insert after the arrow key switched kind")
        << "focus:rbtn_vozy; xkey:Down; focus:edt_rezim; clip:21 80 2345 123-8; xkey:shift+Insert"
        << QStringList{"kontrolka=8", "fields=21 80 2345 123", "box="};
    QTest::newRow("middle button, the X selection")
        << "focus:edt_vlastnik; selection:21.80.2345.123; xclick:edt_vlastnik:2"
        << QStringList{"kontrolka=8", "fields=21 80 2345 123"};
}

// Every command of the menus and of the list by keys alone: the menus by
// their underlined letters, the list's commands by Delete, by Tab to its
// buttons and by its context menu (Shift+F10, the Menu key). Steps and
// expectations as in the clerk's session.
void TestRealBoxes::keyboardCommands_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("expect");
    const QString v1 = "21802345001-6 dkv A domovska B", v5 = "21802345005-7 dkv A domovska B",
                  v7 = "21802345007-3 dkv A domovska B";
    const auto keys = [](const QString &s) {
        QString steps;
        for (const QString &key : s.split(' '))
            steps += "xkey:" + key + "; ";
        return steps;
    };
    QTest::newRow("keys: Databáze, uložit vozidlo")
        << "focus:edt_rezim; xtype:21802345003; xkey:Return; " + keys("alt+d v")
        << QStringList{"active=Form_databaze", "p3=21802345003-2"};
    QTest::newRow("keys: Databáze, Zobrazit Databázi, Uložit databázi")
        << keys("alt+d d l") + "check:caption=Databáze lokomotivy; " + keys("alt+d d v")
               + "ans:Return; ans:Return; " + keys("alt+d u")
        << QStringList{"caption=Databáze vozy", "p2=0",
                       "box=Potvrzení: Chcete uložit změny v souboru Databáze vozy|Trakvid: Změněná databáze vozů uložena"};
    QTest::newRow("keys: Databáze, Výpis z databáze vozů")
        << "ans:Escape; ans:Return; " + keys("alt+d o c")
               + "check:box=Databáze vyber vůz podle charakteristiky: Zadej čtyři čísla charakteristiky vozu|"
                 "Trakvid: nekorektní zadání charakteristiky !!; "
               + "ans:text:A; " + keys("alt+d o d") + "check:heading=Databáze vozů z DKV A; ans:text:B; "
               + keys("alt+d o s") + "check:heading=Výpis z databáze vozů z domovské stanice  B; " + keys("alt+d o k")
        << QStringList{"heading=Kontrola čísel databáze vozů"};
    QTest::newRow("keys: Databáze, Zobrazit list")
        << keys("alt+d l r") + "check:heading=List režimů vozu; ans:Return; " + keys("alt+d l v") + "ans:Return; "
               + keys("alt+d l 5") + "ans:Return; " + keys("alt+d l 7")
        << QStringList{"box=Trakvid: List vlastníků neexistuje !!|Trakvid: databáze charakteristiky číslice 5-6 "
                       "neexistuje !!|Trakvid: List charakteristiky číslice 7-8 neexistuje !!"};
    QTest::newRow("keys: Databáze, Výpis z databáze lokomotiv")
        << "ans:Escape; ans:Return; " + keys("alt+d k a") + "check:box=Databáze vyber lokomotivu řady: Zadej řadu|"
                                                          "Trakvid: nekorektní zadání řady !!; "
               + "ans:text:A; " + keys("alt+d k d") + "check:heading=Databáze hnacích vozidel z DKV A; ans:text:B; "
               + keys("alt+d k p") + "check:heading=Výpis z databáze hnacích vozidel z Provozní jednotky  B; "
               + keys("alt+d k k")
        << QStringList{"heading=Kontrola čísel databáze lokomotiv"};
    QTest::newRow("keys: Databáze, Tisk výpisu, Uložit výpis")
        << "rezim; ans:Escape; " + keys("alt+d t") + "check:printed=1; ans:text:v.txt; " + keys("alt+d p")
        << QStringList{"utf8=v.txt:List režimů vozu|Režim"};
    QTest::newRow("keys: Nastavení")
        << keys("alt+n t") + "check:settings=10; " + keys("alt+n d") << QStringList{"settings=11"};
    QTest::newRow("keys: Nápověda, F1")
        << keys("alt+v v") + "check:heading=Nápověda k výpočtu kontrolní číslice; " + keys("alt+v p")
               + "check:heading=Nápověda k uložení zadaného vozidla do databáze; " + keys("alt+v u")
               + "check:heading=Nápověda k uložení databáze; " + keys("alt+v d")
               + "check:heading=Nápověda k práci s databází; " + keys("alt+v s") + "check:heading=Nápověda k Výpisům; "
               + keys("alt+v l") + "check:heading=Nápověda k Listům; " + keys("alt+v n")
               + "check:heading=Nápověda k Nastavení; " + keys("alt+v o") + "check:heading=O programu; "
               + "vozy; focus:lbx_databaze; xkey:F1"
        << QStringList{"heading=Nápověda k výpočtu kontrolní číslice"};
    QTest::newRow("keys: F10 opens the menu bar") << keys("F10 d l") << QStringList{"caption=Databáze lokomotivy"};
    // The place stays where the deleted line was, the next line then the last.
    QTest::newRow("keys: Delete, keypad Delete")
        << "vozy; focus:lbx_databaze; " + keys("Down Down") + "check:p1=Řádek: 3; ans:Return; xkey:Delete; "
               + "check:current=2; check:p1=Řádek: 3; xkey:Down; ans:Return; xkey:KP_Delete"
        << QStringList{"list=Databáze vozy|" + v1 + "|" + v7, "current=2", "p1=Řádek: 4", "p2=2",
                       "box=Potvrzení: chcete tuto položku z databáze smazat?|"
                       "Potvrzení: chcete tuto položku z databáze smazat?"};
    QTest::newRow("keys: Tab to Upravit, Smaž")
        << "vozy; focus:lbx_databaze; " + keys("Down Tab") + "check:buttons=111; check:focus=Btn_upravit; "
               + "xkey:Tab; check:focus=btn_smaz; ans:Return; xkey:space"
        << QStringList{"list=Databáze vozy|" + v5 + "|" + v7 + "|konec", "buttons=000", "focus=lbx_databaze"};
    QTest::newRow("keys: Tab to Záložka and on, back, Záložka")
        << "vozy; focus:lbx_databaze; " + keys("Down Tab Tab Tab") + "check:focus=btn_zalozka; check:buttons=111; "
               + "xkey:Tab; check:buttons=000; xkey:shift+Tab; check:focus=lbx_databaze; " + keys("Down Tab Tab Tab")
               + "ans:text:Z; xkey:space"
        << QStringList{"list=Databáze vozy|" + v1 + "|Z|" + v5 + "|" + v7 + "|konec",
                       "box=Přidej záložku: Zadej text záložky"};
    QTest::newRow("keys: Shift+F10 in the list, Záložka, Upravit")
        << "vozy; focus:lbx_databaze; " + keys("Down shift+F10") + "check:popup=PopupMenu_databaze; ans:text:Z; "
               + keys("z shift+F10 u")
        << QStringList{"list=Databáze vozy|Z|" + v1 + "|" + v5 + "|" + v7 + "|konec", "active=Form_databaze",
                       "p3=21802345001-6 Upravit"};
    QTest::newRow("keys: Menu key in the list, Smaž")
        << "vozy; focus:lbx_databaze; " + keys("Down Menu") + "check:popup=PopupMenu_databaze; ans:Return; xkey:s"
        << QStringList{"list=Databáze vozy|" + v5 + "|" + v7 + "|konec"};
    QTest::newRow("keys: Shift+F10 in a number field")
        << "focus:edt_vlastnik; xkey:shift+F10; check:popup=1; xkey:Escape" << QStringList{"popup=0"};
}

void TestRealBoxes::clerkSession()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, expect);
    runSession(steps, expect);
}

void TestRealBoxes::keyboardCommands()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, expect);
    runSession(steps, expect);
}

void TestRealBoxes::runSession(const QString &steps, const QStringList &expect)
{
    WorkDir dir;
    // A home folder apart from the data folder: what a dialog offers shows which it took.
    QTemporaryDir otherHome;
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(otherHome.path()));
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
    const QStringList vozy{"Databáze vozy", "21802345001-6 dkv A domovska B", "21802345005-7 dkv A domovska B",
                           "21802345007-3 dkv A domovska B", "konec"};
    writeLines("vozy.txt", vozy);
    writeLines("lokomotivy.txt", {"Databáze lokomotivy", "754001-6 dkv A pj B"});
    writeLines("rezim.txt", {"Režim"});
    writeLines("nastaveni.txt", {"te false", "ud false"});
    Windows windows;
    TForm1 *form = windows.form1.get();
    TForm_databaze *add = windows.form_databaze;
    waitActive(form);

    // Answers each box with the next queued key once it has the keyboard.
    QStringList answers, shownBoxes;
    bool printDialogShown = false;
    QTimer answering;
    answering.setInterval(50);
    bool answeringNow = false;
    connect(&answering, &QTimer::timeout, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (answeringNow || !box || QApplication::activeWindow() != box || answers.isEmpty())
            return;
        answeringNow = true;
        if (auto *message = qobject_cast<QMessageBox *>(box))
            shownBoxes << message->windowTitle() + ": " + message->text();
        else if (auto *input = qobject_cast<QInputDialog *>(box))
            shownBoxes << input->windowTitle() + ": " + input->labelText();
        else if (box->inherits("QPrintDialog"))
            printDialogShown = true;
        const QString answer = answers.takeFirst();
        if (answer.startsWith("text:")) {
            QProcess::execute("xdotool", {"type", "--delay", "20", answer.mid(5)});
            QProcess::execute("xdotool", {"key", "Return"});
        } else {
            QProcess::execute("xdotool", {"key", answer});
        }
        // The box takes the key before the next one is sent.
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != box, 5000);
        answeringNow = false;
    });
    answering.start();
    const auto settle = [] { QTest::qWait(250); };
    const auto xdo = [](const QStringList &args) { QProcess::execute("xdotool", args); };
    // A user's click on a place of a window that starts no command.
    const auto clickOn = [&](QWidget *w, const QString &button = "1") {
        const QPoint at = w->mapToGlobal(w->rect().center());
        xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
        xdo({"click", button});
    };

    // What the windows show, as "what=value".
    const auto verify = [&](const QString &e) {
        const QString what = e.section('=', 0, 0), value = e.section('=', 1);
        if (what == "list")
            QCOMPARE(form->databaze()->texts().join('|'), value);
        else if (what == "p0")
            QCOMPARE(form->panel(0), value);
        else if (what == "p1")
            QCOMPARE(form->panel(1), value);
        else if (what == "p2")
            QCOMPARE(form->panel(2), value);
        else if (what == "p3")
            QCOMPARE(form->panel(3), value);
        else if (what == "caption")
            QCOMPARE(form->ui->lbl_databaze->text(), value);
        else if (what == "heading")
            QCOMPARE(form->ui->lbl_databaze_memo->text(), value);
        else if (what == "visible")
            QCOMPARE(form->isVisible(), value == "1");
        else if (what == "active")
            QTRY_COMPARE(QApplication::activeWindow() ? QApplication::activeWindow()->objectName() : QString(), value);
        else if (what == "focus")
            QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), value);
        else if (what == "popup") // "1" any, "0" none, else the menu's name
            QTRY_COMPARE(QApplication::activePopupWidget() ? (value.size() == 1 ? QString("1") : QApplication::activePopupWidget()->objectName())
                                                            : QString("0"),
                         value);
        else if (what == "current")
            QCOMPARE(form->ui->lbx_databaze->currentIndex().row(), value.toInt());
        else if (what == "buttons") { // Upravit, Smaž, Záložka enabled
            QString flags;
            for (QPushButton *b : {form->ui->Btn_upravit, form->ui->btn_smaz, form->ui->btn_zalozka})
                flags += b->isEnabled() ? '1' : '0';
            QCOMPARE(flags, value);
        }
        else if (what == "settings")
            QCOMPARE(QString("%1%2").arg(int(form->ui->technika->isChecked())).arg(int(form->ui->udrzba->isChecked())), value);
        else if (what == "printed")
            QCOMPARE(printDialogShown, value == "1");
        else if (what == "beside") { // the next number can be typed without moving the add window
            for (QWidget *w : {(QWidget *)form->ui->GroupBox1, (QWidget *)form->ui->Panel_editace,
                               (QWidget *)form->ui->BitBtn_zadano})
                QVERIFY(!add->frameGeometry().intersects(QRect(w->mapToGlobal(QPoint()), w->size())));
            QVERIFY(form->screen()->availableGeometry().contains(add->frameGeometry()));
        }
        else if (what == "kontrolka")
            QTRY_COMPARE(form->ui->lbl_kontrolka->text(), value);
        else if (what == "edt_rezim")
            QCOMPARE(form->ui->edt_rezim->text(), value);
        else if (what == "fields") { // the fields of the kind selected
            QStringList fields{form->ui->edt_rezim->text(), form->ui->edt_vlastnik->text()};
            if (form->ui->rbtn_vozy->isChecked())
                fields << form->ui->edt_charakteristika->text() << form->ui->edt_evidence->text();
            QCOMPARE(fields.join(' '), value);
        }
        else if (what == "box")
            QCOMPARE(shownBoxes.join('|'), value);
        else if (what == "pdf")
            QTRY_VERIFY(readFile(value).startsWith("%PDF"));
        else if (what == "utf8")
            QCOMPARE(readFile(value.section(':', 0, 0)), (value.section(':', 1).split('|').join('\n') + '\n').toUtf8());
        else if (what == "file")
            QCOMPARE(fromCp1250(readFile(value.section(':', 0, 0))),
                     value.section(':', 1).split('|').join("\r\n") + "\r\n");
        else
            QFAIL(qPrintable("unknown expectation " + e));
    };

    for (QString step : steps.split(';', Qt::SkipEmptyParts)) {
        step = step.trimmed();
        if (step.isEmpty())
            continue;
        const QString op = step.section(':', 0, 0), arg = step.section(':', 1);
        if (op == "ans") {
            answers << arg;
            continue;
        }
        if (op == "check") {
            verify(arg);
            if (QTest::currentTestFailed())
                return;
            continue;
        }
        if (op == "vozy" || op == "loko") {
            (op == "vozy" ? form->ui->Vozy1 : form->ui->Lokomotivy1)->trigger();
        } else if (op == "calc") {
            (arg.size() == 11 ? form->ui->rbtn_vozy : form->ui->rbtn_lokomotivy)->setChecked(true);
            const QList<QLineEdit *> fields{form->ui->edt_rezim, form->ui->edt_vlastnik,
                                            form->ui->edt_charakteristika, form->ui->edt_evidence};
            const QList<int> widths = arg.size() == 11 ? QList<int>{2, 2, 4, 3} : QList<int>{3, 3};
            for (int i = 0, at = 0; i < widths.size(); at += widths[i++])
                fields[i]->setText(arg.mid(at, widths[i]));
            form->ui->BitBtn_zadano->click();
        } else if (op == "bad") {
            form->ui->edt_evidence->setText("1");
            form->ui->BitBtn_zadano->click();
        } else if (op == "open") {
            form->ui->uloitvozidlo1->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(add->isActiveWindow(), 5000);
        } else if (op == "close") {
            add->ui->BitBtn_zavrit->click();
        } else if (op == "select") {
            form->selectRow(arg.toInt());
        } else if (op == "delete") {
            form->ui->btn_smaz->click();
        } else if (op == "bookmark") {
            form->ui->btn_zalozka->click();
        } else if (op == "edit") {
            form->ui->Btn_upravit->click();
        } else if (op == "save") {
            form->ui->Uloitdatabzi1->trigger();
        } else if (op == "dkv") {
            add->ui->cmb_dkv->setEditText(arg);
        } else if (op == "add" || op == "run") {
            QTRY_VERIFY_WITH_TIMEOUT(add->isActiveWindow(), 5000);
            settle();
            // The vehicle of panel 3, whatever box came before.
            QCOMPARE(add->ui->lbl_vozidlo->text(), form->panel(3));
            if (op == "run") {
                add->ui->sedt_serie->setValue(arg.toInt());
                add->ui->btn_serie->click();
            } else {
                add->ui->bitbtn_pridat->click();
            }
        } else if (op == "reactivate") {
            clickOn(form->panelLabel(0));
            QTRY_VERIFY_WITH_TIMEOUT(form->isActiveWindow(), 5000);
            clickOn(add->ui->lbl_vozidlo);
            QTRY_VERIFY_WITH_TIMEOUT(add->isActiveWindow(), 5000);
        } else if (op == "main") {
            clickOn(form->panelLabel(0));
            QTRY_VERIFY_WITH_TIMEOUT(form->isActiveWindow(), 5000);
        } else if (op == "touch") {
            QFile f(arg);
            QVERIFY(f.open(QIODevice::Append));
            f.write(cp1250("cizí řádek\r\n"));
        } else if (op == "unreadable") {
            QVERIFY(QFile::setPermissions(arg, QFile::WriteOwner));
            QVERIFY2(!QFile(arg).open(QIODevice::ReadOnly), "run without the capabilities that bypass permissions");
        } else if (op == "rezim") {
            form->ui->Reimvozu2->trigger();
        } else if (op == "uloz") {
            form->ui->btn_uloz->click();
        } else if (op == "saveas") {
            form->ui->Uloitvpis1->trigger();
        } else if (op == "quit") {
            form->close();
        } else if (op == "focus") {
            waitActive(form);
            form->findChild<QWidget *>(arg)->setFocus(Qt::TabFocusReason);
        } else if (op == "xtype") {
            xdo({"type", "--delay", "30", arg});
        } else if (op == "xkey") {
            xdo({"key", arg});
        } else if (op == "clip" || op == "selection") {
            QGuiApplication::clipboard()->setText(arg, op == "clip" ? QClipboard::Clipboard : QClipboard::Selection);
        } else if (op == "xclick") {
            clickOn(form->findChild<QWidget *>(arg.section(':', 0, 0)), arg.section(':', 1));
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
        settle();
    }
    QVERIFY2(answers.isEmpty(), qPrintable("boxes not shown: " + answers.join(',')));
    QFile::setPermissions("vozy.txt", QFile::ReadOwner | QFile::WriteOwner);

    for (const QString &e : expect) {
        verify(e);
        if (QTest::currentTestFailed())
            return;
    }
}

TRAKVID_TEST_MAIN(TestRealBoxes)
#include "e2e_realboxes.moc"
