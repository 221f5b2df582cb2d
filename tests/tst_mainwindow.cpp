// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The main window as built: controls, texts, hints, menus, tool bar, context
// menus, status bar and initial state.
#include "Unit1.h"
#include "outputpane.h"
#include "outputview.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void texts_data();
    void texts();
    void toolTips_data();
    void toolTips();
    void initialState();
    void statusBar();
    void mainMenu();
    void mnemonicsInEveryMenu();
    void toolBar();
    void contextMenus();
    void pictures();
    void everyControlReachableByTab();
    void growsWithTheWindow();
    void textsWholeAtSmallestSize();

private:
    WorkDir *m_dir = nullptr;
    Windows *m_windows = nullptr;
    TForm1 *form() { return m_windows->form1.get(); }
    static QStringList actionTexts(const QList<QAction *> &actions);
};

void TestMainWindow::init()
{
    m_dir = new WorkDir;
    m_windows = new Windows;
}

void TestMainWindow::cleanup()
{
    delete m_windows;
    delete m_dir;
}

QStringList TestMainWindow::actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (QAction *a : actions)
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

void TestMainWindow::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("group") << "GroupBox1" << "Vozidlo";
    QTest::newRow("vozy") << "rbtn_vozy" << "vozy";
    QTest::newRow("lokomotivy") << "rbtn_lokomotivy" << "lokomotivy";
    QTest::newRow("lbl_rezim") << "lbl_rezim" << "Režim";
    QTest::newRow("lbl_vlastnik") << "lbl_vlastnik" << "Vlastník";
    QTest::newRow("lbl_charakteristika") << "lbl_charakteristika" << "Charakteristika";
    QTest::newRow("lbl_evidence") << "lbl_evidence" << "evidence";
    QTest::newRow("edt_rezim") << "edt_rezim" << "XX";
    QTest::newRow("edt_vlastnik") << "edt_vlastnik" << "XX";
    QTest::newRow("edt_charakteristika") << "edt_charakteristika" << "XXXX";
    QTest::newRow("edt_evidence") << "edt_evidence" << "XXX";
    QTest::newRow("Kontrolka") << "lbl_kontrolka_nazev" << "Kontrolka";
    QTest::newRow("pomlcka") << "lbl_pomlcka" << "  -  ";
    QTest::newRow("kontrolka") << "lbl_kontrolka" << "X";
    QTest::newRow("Zadáno") << "BitBtn_zadano" << "Zadáno";
    QTest::newRow("Výpisy") << "lbl_databaze_memo" << "Výpisy";
    QTest::newRow("Ulož") << "btn_uloz" << "Ulož";
    QTest::newRow("Databáze") << "lbl_databaze" << "Databáze";
    QTest::newRow("Upravit") << "Btn_upravit" << "Upravit";
    QTest::newRow("Smaž") << "btn_smaz" << "Smaž";
    QTest::newRow("Záložka") << "btn_zalozka" << "Záložka";
}

void TestMainWindow::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget *w = form()->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    const QString actual = w->property(w->inherits("QGroupBox") ? "title" : "text").toString();
    QCOMPARE(actual, text);
    QVERIFY(w->isVisible());
}

void TestMainWindow::toolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("spoken"); // the accessible description, where it is not the tip
    QTest::newRow("vozy") << "rbtn_vozy" << "přepni na vozy" << QString();
    QTest::newRow("lokomotivy") << "rbtn_lokomotivy" << "Přepni na lokomotivy" << QString();
    QTest::newRow("editace") << "Panel_editace" << "Editace vozidla" << QString();
    QTest::newRow("Zadáno") << "BitBtn_zadano" << "Spočítej kontrolní číslici" << QString();
    QTest::newRow("Ulož") << "btn_uloz" << "ulož upravený výpis" << QString();
    QTest::newRow("nápověda") << "Panel_napoveda" << "Posun v nápovědě" << QString();
    QTest::newRow("zpět") << "BitBtn_napoveda_zpet" << "Zpět v nápovědě" << QString();
    QTest::newRow("další") << "bitbtn_napoveda_dale" << "Další nápověda" << QString();
    QTest::newRow("panel databáze") << "Panel_databaze" << "Tlačítka úpravy databáze" << QString();
    QTest::newRow("Upravit") << "Btn_upravit" << "Upravit označenou položku v databázi" << QString();
    QTest::newRow("Smaž") << "btn_smaz" << "Stačí poklepat položku" << "Smaže vybraný řádek, klávesa Delete";
    QTest::newRow("Záložka") << "btn_zalozka" << "Vlož záložku před označenou položku" << QString();
    QTest::newRow("tb vozidlo") << "ulozit_vozidlo" << "uložit zadané vozidlo" << QString();
    QTest::newRow("tb databáze") << "uoloz_databazi" << "Ulož databázi" << QString();
    QTest::newRow("tb loko") << "tbtn_loko" << "Databáze lokomotivy" << QString();
    QTest::newRow("tb vozy") << "tbtb_vozy" << "Databáze vozy" << QString();
    QTest::newRow("tb režim") << "tbtn_reimv_ozu" << "List režimů vozu" << QString();
    QTest::newRow("tb vlastník") << "tbtn_vlastnik" << "List vlastníků vozů" << QString();
    QTest::newRow("tb 5-6") << "tbtn_charakteristika" << "List charakteristika 5-6" << QString();
    QTest::newRow("tb 7-8") << "tbtn_charakter01" << "List charakteristika číslice 7-8" << QString();
    QTest::newRow("tb výpisy") << "tbtn_vypisy" << "Výpisy z databáze" << QString();
}

void TestMainWindow::toolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    QFETCH(QString, spoken);
    // Tool buttons are found among the tool bar's widgets, everything else by name.
    QWidget *w = nullptr;
    for (QWidget *candidate : form()->findChildren<QWidget *>(name))
        if (!w || candidate->inherits("QToolButton"))
            w = candidate;
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->toolTip(), tip);
    // A screen reader tells the tip, or where a key does it, the key.
    QCOMPARE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description), spoken.isNull() ? tip : spoken);
}

void TestMainWindow::initialState()
{
    Ui::TForm1 *ui = form()->ui;
    QCOMPARE(form()->windowTitle(), QStringLiteral("Trakvid"));
    QVERIFY(ui->rbtn_vozy->isChecked());
    QVERIFY(!ui->rbtn_lokomotivy->isChecked());
    QCOMPARE(ui->Memo1->text(), QString());
    QCOMPARE(form()->databaze()->count(), 0);
    for (QWidget *w : {static_cast<QWidget *>(ui->btn_uloz), static_cast<QWidget *>(ui->BitBtn_napoveda_zpet),
                       static_cast<QWidget *>(ui->bitbtn_napoveda_dale), static_cast<QWidget *>(ui->Btn_upravit),
                       static_cast<QWidget *>(ui->btn_smaz), static_cast<QWidget *>(ui->btn_zalozka)})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(ui->lbx_tridit->isHidden());
    QCOMPARE(QApplication::focusWidget(), ui->edt_rezim);
    QCOMPARE(ui->edt_rezim->selectedText(), QStringLiteral("XX"));
    QVERIFY(!ui->technika->isChecked());
    QVERIFY(!ui->udrzba->isChecked());
    QCOMPARE(form()->strana_napovedy, 0);
    QCOMPARE(form()->pocet_cislic, 11);
    for (QWidget *w : form()->findChildren<QWidget *>()) // Shift+F1 shows no stray hint
        QVERIFY2(w->whatsThis().isEmpty(), qPrintable(w->objectName()));
}

void TestMainWindow::statusBar()
{
    // FormActivate has run once, on the first showing.
    QCOMPARE(form()->panel(0), QStringLiteral("Počet řádků 0"));
    QCOMPARE(form()->panel(1), QStringLiteral("Řádek:"));
    QCOMPARE(form()->panel(2), QStringLiteral("Editace"));
    QCOMPARE(form()->panel(3), QStringLiteral("Nové vozidlo"));
    QVERIFY(form()->panelLabel(0)->x() < form()->panelLabel(1)->x());
    QVERIFY(form()->panelLabel(1)->x() < form()->panelLabel(2)->x());
    QVERIFY(form()->panelLabel(2)->x() < form()->panelLabel(3)->x());
}

void TestMainWindow::mainMenu()
{
    Ui::TForm1 *ui = form()->ui;
    QCOMPARE(actionTexts(ui->MainMenu1->actions()), (QStringList{"&Databáze", "&Nastavení", "Nápo&věda"}));
    QCOMPARE(actionTexts(ui->Databze1->actions()),
             (QStringList{"uložit &vozidlo...", "&Uložit databázi", "Zobrazit &Databázi...", "Výpis z databáze v&ozů",
                          "Zobrazit &list...", "Výpis z databáze lo&komotiv", "&Tisk výpisu...", "Uložit vý&pis..."}));
    const QList<QAction *> databaze = ui->Databze1->actions();
    QVERIFY(databaze.value(databaze.indexOf(ui->Tiskvpisu1) - 1)->isSeparator());
    QCOMPARE(ui->Tiskvpisu1->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(actionTexts(ui->ZobrazitDatabzi1->actions()), (QStringList{"Databázi &lokomotivy", "Databázi &vozy"}));
    QCOMPARE(actionTexts(ui->Vpiszdatabzevoz1->actions()),
             (QStringList{"&Charakteristika...", "&DKV...", "Domovská &stanice...", "&Kontrola čísel"}));
    QCOMPARE(actionTexts(ui->Zobrazitlist1->actions()),
             (QStringList{"&Režim vozu", "&Vlastník vozu", "Charakteristika &5-6", "Charakteristika &7-8",
                          "&Doplnit standardní kódy"}));
    QVERIFY(ui->Zobrazitlist1->actions().value(4)->isSeparator());
    QCOMPARE(actionTexts(ui->Vpiszdatabzelokomotiv1->actions()),
             (QStringList{"Řad&a...", "&DKV...", "&Provozní jednotka...", "&Kontrola čísel"}));
    QCOMPARE(actionTexts(ui->Nastaven1->actions()), (QStringList{"&Technické parametry", "Ú&držba"}));
    QVERIFY(ui->technika->isCheckable() && ui->udrzba->isCheckable());
    QCOMPARE(actionTexts(ui->Npovda1->actions()),
             (QStringList{"&Výpočet kontrolní číslice", "&Přidat vozidlo do databáze", "&Uložení databáze",
                          "Práce s &databázi", "Výpi&sy", "&Listy", "&Nastavení", "&O programu"}));
    QCOMPARE(ui->n1->shortcut(), QKeySequence(Qt::Key_F1));
    // Images from the image list: 0, 2, 4, 3.
    for (QAction *a : {ui->uloitvozidlo1, ui->Uloitdatabzi1, ui->Lokomotivy1, ui->Vozy1})
        QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
}

// Every item of every menu, the menu bar's included, has one underlined
// letter, none used twice in one menu: so does an item added later.
void TestMainWindow::mnemonicsInEveryMenu()
{
    QList<QWidget *> menus{form()->menuBar(), form()->pmenu_vypisy, form()->PopupMenu_databaze,
                           form()->PopupMenu_form1};
    for (int i = 0; i < menus.size(); ++i) {
        QSet<QChar> letters;
        for (QAction *a : menus[i]->actions()) {
            if (a->isSeparator())
                continue;
            if (a->menu())
                menus << a->menu();
            const QString text = QString(a->text()).replace(QStringLiteral("&&"), QString());
            const qsizetype at = text.indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < text.size() && text.indexOf(u'&', at + 1) < 0, qPrintable(a->text()));
            QVERIFY2(!letters.contains(text[at + 1].toLower()), qPrintable(a->text()));
            letters.insert(text[at + 1].toLower());
        }
        QVERIFY(!letters.isEmpty());
    }
    QVERIFY(menus.size() >= 13);
}

void TestMainWindow::toolBar()
{
    Ui::TForm1 *ui = form()->ui;
    QStringList names;
    for (QAction *a : ui->tbr_databaze->actions()) {
        names << a->objectName();
        QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
        QCOMPARE(a->icon().actualSize(QSize(16, 16)), QSize(16, 16));
    }
    QCOMPARE(names, (QStringList{"ulozit_vozidlo", "uoloz_databazi", "tbtn_loko", "tbtb_vozy", "tbtn_reimv_ozu",
                                 "tbtn_vlastnik", "tbtn_charakteristika", "tbtn_charakter01", "tbtn_vypisy"}));
    auto *dropDown = qobject_cast<QToolButton *>(ui->tbr_databaze->widgetForAction(ui->tbtn_vypisy));
    QVERIFY(dropDown);
    QCOMPARE(dropDown->defaultAction()->menu(), form()->pmenu_vypisy);
    QCOMPARE(dropDown->popupMode(), QToolButton::InstantPopup);
    const QList<QAction *> top = form()->pmenu_vypisy->actions();
    QCOMPARE(actionTexts(top), (QStringList{"&Vozy", "&Lokomotivy"}));
    QCOMPARE(actionTexts(top[0]->menu()->actions()),
             (QStringList{"&Charakteristika...", "&DKV...", "Domov. &stanice", "&Kontrola čísel"}));
    QCOMPARE(actionTexts(top[1]->menu()->actions()), (QStringList{"Řad&a", "&DKV...", "&PJ...", "&Kontrola čísel"}));
}

void TestMainWindow::contextMenus()
{
    QCOMPARE(actionTexts(form()->PopupMenu_databaze->actions()), (QStringList{"&Smaž", "&Upravit", "&Záložka"}));
    for (QAction *a : form()->PopupMenu_databaze->actions())
        QVERIFY(!a->icon().isNull());
    QCOMPARE(actionTexts(form()->PopupMenu_form1->actions()),
             (QStringList{"Uložit &vozidlo", "Zobrazit databázi &lokomotivy", "Zobrazit databázi v&ozy",
                          "Zobrazit databázi &režim", "&Uložit databázi"}));
    QCOMPARE(form()->ui->lbx_databaze->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestMainWindow::pictures()
{
    const QPixmap logo = form()->ui->Image1->pixmap();
    QCOMPARE(logo.size(), QSize(95, 45));
    QVERIFY(!form()->windowIcon().isNull());
    QVERIFY(!form()->ui->BitBtn_zadano->icon().isNull());
    QVERIFY(!form()->ui->BitBtn_napoveda_zpet->icon().isNull());
    QVERIFY(!form()->ui->bitbtn_napoveda_dale->icon().isNull());
}

// Tab walks through every control a user works with.
void TestMainWindow::everyControlReachableByTab()
{
    Ui::TForm1 *ui = form()->ui;
    const QList<QWidget *> wanted{ui->rbtn_vozy, ui->edt_rezim, ui->edt_vlastnik, ui->edt_charakteristika,
                                  ui->edt_evidence, ui->BitBtn_zadano, ui->Memo1->view(), ui->lbx_databaze};
    QSet<QWidget *> seen;
    ui->edt_rezim->setFocus();
    for (int i = 0; i < 40; ++i) {
        seen.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget *w : wanted)
        QVERIFY2(seen.contains(w), qPrintable(w->objectName()));
}

// Where a widget is, in window coordinates.
static QRect place(QWidget *w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// The window starts at the classic size. Grown, it gives the list most of the
// added height and the pane some, both all the added width; the button panels
// stay beside them and the number row at the top. Shrunk for a small or
// scaled screen, the list and the pane give way, and nothing else.
void TestMainWindow::growsWithTheWindow()
{
    // The pixel sizes below come from the Linux desktop's font rendering.
    if (QSysInfo::kernelType() == QLatin1String("winnt"))
        QSKIP("the sizes are those of the fonts as Linux renders them");
    Ui::TForm1 *ui = form()->ui;
    const QSize start(708, 542 + form()->menuBar()->height());
    QCOMPARE(form()->size(), start);
    QCOMPARE(form()->minimumWidth(), start.width());
    QVERIFY2(form()->minimumHeight() <= 400, qPrintable(QString::number(form()->minimumHeight())));
    QVERIFY(form()->maximumWidth() > 4000 && form()->maximumHeight() > 4000);
    QWidget *const moving[] = {ui->lbx_databaze, ui->Memo1, ui->Panel_databaze, ui->btn_uloz, ui->Panel_napoveda,
                               ui->Image1, ui->Panel_editace};
    QList<QRect> before;
    for (QWidget *w : moving)
        before << place(w);
    QCOMPARE(before[0].size(), QSize(569, 201));
    QCOMPARE(before[1].size(), QSize(569, 121));

    form()->resize(1200, 900);
    QTRY_COMPARE(place(ui->lbx_databaze).width(), 569 + 1200 - 708);
    QCOMPARE(place(ui->Memo1).width(), 569 + 1200 - 708);
    const int listGain = place(ui->lbx_databaze).height() - 201, paneGain = place(ui->Memo1).height() - 121;
    QVERIFY2(paneGain > 0 && listGain > paneGain, qPrintable(QStringLiteral("%1 %2").arg(listGain).arg(paneGain)));
    // Beside the list, beside the pane, beside the heading panel, at the top.
    QCOMPARE(place(ui->Panel_databaze).topLeft(), before[2].topLeft() + place(ui->lbx_databaze).topRight() - before[0].topRight());
    for (int i : {3, 4})
        QCOMPARE(place(moving[i]).topLeft(), before[i].topLeft() + place(ui->Memo1).topRight() - before[1].topRight());
    QCOMPARE(place(ui->Image1).topLeft(), before[5].topLeft() + QPoint(1200 - 708, 0));
    QCOMPARE(place(ui->Panel_editace), before[6]);

    form()->resize(form()->minimumSize());
    QTRY_COMPARE(form()->size(), form()->minimumSize());
    const int lost = start.height() - form()->height();
    QCOMPARE(place(ui->Panel_editace), before[6]);
    QCOMPARE(place(ui->Panel4).height(), 41);
    QCOMPARE((201 - place(ui->lbx_databaze).height()) + (121 - place(ui->Memo1).height()), lost);
    QVERIFY(place(ui->lbx_databaze).height() >= 5 * QFontMetrics(ui->lbx_databaze->font()).height());
    QVERIFY(place(ui->Memo1).height() >= 4 * QFontMetrics(ui->Memo1->font()).height());
    for (QWidget *w : {static_cast<QWidget *>(ui->Panel_databaze), static_cast<QWidget *>(ui->Panel_napoveda),
                       static_cast<QWidget *>(ui->btn_uloz)})
        QVERIFY2(w->visibleRegion().boundingRect().size() == w->size(), qPrintable(w->objectName()));
}

// At the smallest size every text fits the part of its control that shows.
// The window's picture is kept beside the test (mainwindow-smallest.png).
void TestMainWindow::textsWholeAtSmallestSize()
{
    QVERIFY(form()->grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/mainwindow-smallest.png")));
    int checked = 0;
    for (QWidget *w : form()->findChildren<QWidget *>()) {
        // The text and the room the control itself takes beside it.
        QString text;
        int extra = 4;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            text = label->text().trimmed(); // "  -  ": its blanks may lie outside
            extra = 2 * label->frameWidth();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->inherits("QToolButton")) {
            text = button->text().remove(QLatin1Char('&')); // the tool bar shows pictures only
            extra = (button->icon().isNull() ? 0 : button->iconSize().width() + 4) + (button->inherits("QRadioButton") ? 20 : 12);
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            text = edit->text(); // the frame; the field scrolls by a pixel for its cursor
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            text = group->title();
        }
        if (text.isEmpty() || !w->isVisible())
            continue;
        const QFontMetrics metrics(w->font());
        const QSize need(metrics.tightBoundingRect(text).width() + extra, metrics.height());
        const QSize shown = w->visibleRegion().boundingRect().size();
        QVERIFY2(need.width() <= shown.width() && need.height() <= shown.height(),
                 qPrintable(QStringLiteral("%1 \"%2\"").arg(w->objectName(), text)));
        ++checked;
    }
    QVERIFY(checked >= 20);
}

TRAKVID_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
