// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// End-to-end at a screen scale (QT_SCALE_FACTOR) on a screen of its size
// (TRAKVID_SCREEN, as Xvfb was started), under a window manager: the
// maximised window keeps its status bar on the screen, the splash stays on
// the screen beside a main window at its edge, and the bookmark question
// about a line of a megabyte comes at once and fits the screen.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "addwindow_util.h"
#include "testutil.h"
#include "ui_Unit1.h"
#include "ui_Unit2.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

class TestScale : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void maximisedWindowFits();
    void splashInsideTheScreen_data();
    void splashInsideTheScreen();
    void longBookmarkQuestion();

private:
    static QRect room() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // On the screen: logical pixels are rounded, a window filling the screen
    // may be reported a pixel beyond it.
    static bool onScreen(const QRect &r) { return room().adjusted(-1, -1, 1, 1).contains(r); }
    static QRect globalRect(QWidget *w) { return QRect(w->mapToGlobal(QPoint()), w->size()); }
    static void waitShown(QWidget *w)
    {
        QVERIFY(QTest::qWaitForWindowExposed(w, 5000));
        QTest::qWait(300); // the window manager's placing and frame
    }
};

void TestScale::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run under a real X server");
    // The scale and the screen this run is for, really in effect.
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    const QStringList screen = qEnvironmentVariable("TRAKVID_SCREEN", "1280x1024x24").split(u'x');
    QScreen *s = QGuiApplication::primaryScreen();
    QCOMPARE(s->devicePixelRatio(), scale);
    const QSizeF physical = QSizeF(s->geometry().size()) * scale;
    QVERIFY(qAbs(physical.width() - screen[0].toInt()) < scale && qAbs(physical.height() - screen[1].toInt()) < scale);
    qInfo("scale %g, screen %dx%d, %dx%d logical", scale, screen[0].toInt(), screen[1].toInt(),
          s->geometry().width(), s->geometry().height());
}

void TestScale::maximisedWindowFits()
{
    WorkDir dir;
    TForm1 form;
    // Not maximised, the smallest window with its title bar fits the screen.
    QVERIFY(form.minimumHeight() + 40 <= room().height());
    QVERIFY(form.minimumWidth() + 10 <= room().width());
    form.showMaximized();
    waitShown(&form);
    QTRY_VERIFY(form.windowState() & Qt::WindowMaximized);
    QTRY_VERIFY2(onScreen(form.frameGeometry()),
                 qPrintable(QString("%1 %2 %3 %4").arg(form.frameGeometry().x()).arg(form.frameGeometry().y())
                                .arg(form.frameGeometry().width()).arg(form.frameGeometry().height())));
    for (QWidget *w : {static_cast<QWidget *>(form.ui->StatusBar1), static_cast<QWidget *>(form.panelLabel(3)),
                       static_cast<QWidget *>(form.ui->lbx_databaze), static_cast<QWidget *>(form.ui->Memo1)}) {
        QVERIFY2(onScreen(globalRect(w)), qPrintable(w->objectName()));
        QVERIFY2(w->visibleRegion().boundingRect().size() == w->size(), qPrintable(w->objectName()));
    }
}

void TestScale::splashInsideTheScreen_data()
{
    QTest::addColumn<int>("edge"); // the main window flush with it
    QTest::newRow("left edge") << int(Qt::LeftEdge);
    QTest::newRow("right edge") << int(Qt::RightEdge);
}

void TestScale::splashInsideTheScreen()
{
    QFETCH(int, edge);
    WorkDir dir;
    TForm1 form;
    form.show();
    waitShown(&form);
    const int x = edge == Qt::LeftEdge ? room().left() : room().right() + 1 - form.frameGeometry().width();
    form.move(x, room().top());
    QTRY_COMPARE(form.frameGeometry().x(), x);

    TForm_uvod splash(&form);
    splash.Timer1->stop(); // it stays up while it is looked at
    splash.show();
    waitShown(&splash);
    // Frameless, it is its geometry (the toolkit may report its frame empty
    // at a scale); logical pixels are rounded.
    QTRY_VERIFY(qAbs(splash.geometry().width() - 899) <= 1 && qAbs(splash.geometry().height() - 224) <= 1);
    const QRect own = splash.geometry();
    QVERIFY2(onScreen(own), qPrintable(QString("%1 %2 %3 %4").arg(own.x()).arg(own.y()).arg(own.width())
                                                  .arg(own.height())));
    // As near the main window's centre as the screen lets it be.
    QVERIFY2(qAbs(own.center().y() - form.frameGeometry().center().y()) <= 1,
             qPrintable(QString("%1 %2").arg(own.center().y()).arg(form.frameGeometry().center().y())));
    QCOMPARE(edge == Qt::LeftEdge ? own.left() : own.right(), edge == Qt::LeftEdge ? room().left() : room().right());
    QVERIFY(onScreen(globalRect(splash.findChild<QWidget *>(QStringLiteral("lbl_stav")))));
}

// The question quotes the bookmark as the list shows it: it comes at once,
// and the box with its buttons is on the screen.
void TestScale::longBookmarkQuestion()
{
    WorkDir dir;
    const QString mark = QString(1024 * 1024, u'z');
    writeLines(QStringLiteral("lokomotivy.txt"), {QStringLiteral("Databáze lokomotivy"),
                                                  QStringLiteral("754001-6 dkv A pj B"), mark,
                                                  QStringLiteral("754005-7 dkv A pj B")});
    Windows windows;
    TForm1 *form = windows.form1.get();
    waitShown(form);
    form->Lokomotivy1Click();
    QVERIFY(addtest::openFor(windows, QStringLiteral("754003")));

    QElapsedTimer clock;
    qint64 shownAfter = -1;
    QRect box, buttons;
    QString text;
    QTimer watch;
    watch.setInterval(20);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *message = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!message || !message->windowHandle() || !message->windowHandle()->isExposed() || shownAfter >= 0)
            return;
        shownAfter = clock.elapsed();
        QTest::qWait(300); // placed by the window manager
        box = message->frameGeometry();
        buttons = globalRect(message->button(QMessageBox::No));
        text = message->text().remove(QChar(0x200B)); // where it may wrap
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
    });
    watch.start();
    clock.start();
    windows.form_databaze->ui->bitbtn_pridat->click();
    watch.stop();

    QVERIFY2(shownAfter >= 0 && shownAfter < 3000, qPrintable(QString::number(shownAfter)));
    QCOMPARE(text, QStringLiteral("Vozidlo bude zapsáno za záložku \"") + mark.left(1000) + QChar(0x2026)
                       + QStringLiteral("\". Chcete ho zapsat před ní?"));
    QVERIFY2(onScreen(box), qPrintable(QString("%1 %2 %3 %4").arg(box.x()).arg(box.y()).arg(box.width())
                                                  .arg(box.height())));
    QVERIFY(onScreen(buttons));
    // No: the line goes below the bookmark, which stays whole.
    QCOMPARE(form->databaze()->line(2), mark);
    QCOMPARE(form->databaze()->line(3), QStringLiteral("754003-2 dkv  pj "));
}

TRAKVID_TEST_MAIN(TestScale)
#include "e2e_scale.moc"
