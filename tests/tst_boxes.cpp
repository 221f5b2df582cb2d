// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The real modal boxes: captions, icons, buttons (in Czech) and what each
// answer gives back.
#include "boxes.h"
#include "testutil.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

class TestBoxes : public QObject
{
    Q_OBJECT
private slots:
    void message();
    void confirm_data();
    void confirm();
    void threeWay_data();
    void threeWay();
    void input_data();
    void input();
    void errorBox();
    void responderTakesOver();

private:
    // Runs `inspect` on the modal box once it is up.
    void whenBoxShows(std::function<void(QWidget *)> inspect);
    static QStringList buttonTexts(QMessageBox *box);
    static void press(QMessageBox *box, const QString &text);
};

void TestBoxes::whenBoxShows(std::function<void(QWidget *)> inspect)
{
    auto *timer = new QTimer(this);
    timer->setInterval(10);
    connect(timer, &QTimer::timeout, this, [timer, inspect] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            inspect(box);
        }
    });
    timer->start();
}

QStringList TestBoxes::buttonTexts(QMessageBox *box)
{
    QStringList texts;
    for (QAbstractButton *b : box->buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

void TestBoxes::press(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *b : box->buttons())
        if (b->text() == text) {
            b->click();
            return;
        }
    QFAIL(qPrintable("no button " + text));
}

void TestBoxes::message()
{
    QString caption, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::Critical;
    whenBoxShows([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = buttonTexts(box);
        press(box, "OK");
    });
    boxes::message(QStringLiteral("není vybraná žádná položka"));
    QCOMPARE(caption, QStringLiteral("Trakvid"));
    QCOMPARE(text, QStringLiteral("není vybraná žádná položka"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QStringList{"OK"});
}

void TestBoxes::confirm_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Ano") << "&Ano" << true;
    QTest::newRow("Ne") << "&Ne" << false;
}

void TestBoxes::confirm()
{
    QFETCH(QString, press);
    QFETCH(bool, expected);
    QString caption;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxShows([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        caption = box->windowTitle();
        icon = box->icon();
        buttons = buttonTexts(box);
        TestBoxes::press(box, press);
    });
    QCOMPARE(boxes::confirm(QStringLiteral("chcete tuto položku z databáze smazat?")), expected);
    QCOMPARE(caption, boxes::confirmCaption());
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, (QStringList{"&Ano", "&Ne"}));
}

void TestBoxes::threeWay_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ano") << "&Ano" << int(boxes::Answer::Yes);
    QTest::newRow("Ne") << "&Ne" << int(boxes::Answer::No);
    QTest::newRow("Zrušit") << "Zrušit" << int(boxes::Answer::Cancel);
}

void TestBoxes::threeWay()
{
    QFETCH(QString, press);
    QFETCH(int, expected);
    QString caption, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxShows([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = buttonTexts(box);
        TestBoxes::press(box, press);
    });
    const boxes::Answer answer =
        boxes::threeWay(QStringLiteral("Uložit"), QStringLiteral("Chcete uložit změny v databázi? "));
    QCOMPARE(int(answer), expected);
    QCOMPARE(caption, QStringLiteral("Uložit"));
    QCOMPARE(text, QStringLiteral("Chcete uložit změny v databázi? "));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, (QStringList{"&Ano", "&Ne", "Zrušit"}));
}

void TestBoxes::input_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("OK") << true << "Plzeň" << "Plzeň";
    QTest::newRow("OK on empty") << true << "" << "";
    QTest::newRow("Cancel gives the initial text") << false << "Plzeň" << "xxx";
}

void TestBoxes::input()
{
    QFETCH(bool, accept);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QString caption, prompt, initial;
    whenBoxShows([&](QWidget *w) {
        auto *dialog = qobject_cast<QInputDialog *>(w);
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        prompt = dialog->labelText();
        auto *edit = dialog->findChild<QLineEdit *>();
        QVERIFY(edit);
        initial = edit->text();
        edit->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            typeText(edit, typed);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    const QString result =
        boxes::input(QStringLiteral("Databáze vyber lokomotivu řady"), QStringLiteral("Zadej řadu"), QStringLiteral("xxx"));
    QCOMPARE(result, expected);
    QCOMPARE(caption, QStringLiteral("Databáze vyber lokomotivu řady"));
    QCOMPARE(prompt, QStringLiteral("Zadej řadu"));
    QCOMPARE(initial, QStringLiteral("xxx"));
}

void TestBoxes::errorBox()
{
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    whenBoxShows([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = buttonTexts(box);
        press(box, "OK");
    });
    boxes::error(QStringLiteral("Soubor vozy.txt nelze zapsat."));
    QCOMPARE(caption, QStringLiteral("Trakvid"));
    QCOMPARE(text, QStringLiteral("Soubor vozy.txt nelze zapsat."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QStringList{"OK"});
}

void TestBoxes::responderTakesOver()
{
    ScriptedBoxes script;
    script.no().type("Plzeň").cancel();
    QVERIFY(!boxes::confirm("a"));
    QCOMPARE(boxes::input("c", "p", "init"), QStringLiteral("Plzeň"));
    QCOMPARE(boxes::input("c", "p", "init"), QStringLiteral("init")); // Cancel
    boxes::message("m");
    QCOMPARE(script.shown.size(), 4);
    QCOMPARE(script.shown[1].caption, QStringLiteral("c"));
    QCOMPARE(script.shown[1].text, QStringLiteral("p"));
    QCOMPARE(script.shown[1].initial, QStringLiteral("init"));
    QCOMPARE(script.messages(), QStringList{"m"});
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(int(boxes::threeWay("x", "y")), int(boxes::Answer::Cancel)); // nothing queued
    QCOMPARE(script.unexpected, 1);
}

TRAKVID_TEST_MAIN(TestBoxes)
#include "tst_boxes.moc"
