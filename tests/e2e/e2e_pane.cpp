// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The output pane's read-only view behaves as the toolkit's plain text editor
// does when it is read-only and its cursor moves by keys: each script of real
// keys and clicks, sent through X by xdotool, is played on a long text as a
// listing shows it and on the same text in such an editor, and what the user
// can see and take away is compared; what would write changes neither. Run
// with TRAKVID_PANE_ATSPI=1, an AT-SPI client listens as a screen reader
// does, and the pane must tell it the same kinds of news in both.
#include "Unit1.h"
#include "atspi.h"
#include "outputpane.h"
#include "outputview.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>

using namespace Qt::StringLiterals;

class TestPane : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameAsTheEditor_data();
    void sameAsTheEditor();

private:
    std::unique_ptr<AtspiClient> m_reader; // with TRAKVID_PANE_ATSPI=1
};

namespace {

// 1,500 lines as a listing shows them, with a line holding a lone CR and
// lines long enough to wrap.
QString paneText()
{
    QStringList lines;
    for (int i = 0; i < 1500; ++i) {
        QString line = QStringLiteral("2180%1-0 dkv Plzeň domovska %2").arg(1000000 + i).arg(i % 3 ? "Cheb" : "Žďár nad Sázavou");
        if (i % 100 == 4)
            line += QStringLiteral(" poznámka").repeated(30);
        if (i == 2)
            line += QStringLiteral("\rdruhá část");
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

// What the user sees of the pane and can take from it.
struct PaneState {
    QString text;
    int anchor = 0;
    int position = 0;
    int firstLine = 0; // the vertical scroll bar, which counts lines
    QSize viewport;    // the same place in the window for both
    QString clipboard;
    QString selection; // the X selection
    QStringList news;  // the kinds of text events a screen reader got from the pane
    bool operator==(const PaneState &) const = default;
};

QString describe(const PaneState &s)
{
    return QStringLiteral("text %1 chars (hash %2), anchor %3, position %4, first line %5, clipboard \"%6\", "
                          "selection \"%7\", viewport %8x%9")
        .arg(s.text.size())
        .arg(qHash(s.text))
        .arg(s.anchor)
        .arg(s.position)
        .arg(s.firstLine)
        .arg(s.clipboard.left(60), s.selection.left(60))
        .arg(s.viewport.width())
        .arg(s.viewport.height())
        + QStringLiteral(", events: ") + s.news.join(QLatin1Char(' '));
}

} // namespace

void TestPane::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run under a real X server");
    if (qEnvironmentVariableIntValue("TRAKVID_PANE_ATSPI") == 1) {
        m_reader = std::make_unique<AtspiClient>();
        QVERIFY2(m_reader->start(), qPrintable(m_reader->error()));
    }
}

void TestPane::sameAsTheEditor_data()
{
    // Steps, separated by ";": "key:K K ..." (xdotool key names), "type:TEXT",
    // "click:X,Y" (in the viewport; ",shift" holds Shift), "dclick:X,Y",
    // "tclick:X,Y", "drag:X,Y,X,Y,MS" (held MS ms at the end), "wheel:N" (N
    // notches down), "arrow:N" (clicks on the scroll bar's down arrow),
    // "track" (a click on the track below the slider), "slider:DY" (the
    // slider dragged DY pixels), "middle:X,Y" (pastes "vložený text" from
    // the X selection), "press:X,Y" / "move:X,Y" / "release" / "wait:MS".
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("exact");
    const struct {
        const char *name;
        const char *script;
        bool exact = true; // false: timing decides how far the drag goes
    } rows[] = {
        {"arrows and Shift", "key:Down Down Down shift+Down shift+Down shift+Right"},
        {"Left ends a selection at its start", "key:Down shift+Right shift+Right shift+Right Left"},
        {"Right ends a selection at its end", "key:Down End shift+Left shift+Left Right"},
        {"words", "key:ctrl+Right ctrl+Right ctrl+Right ctrl+shift+Left ctrl+shift+Left"},
        {"Page Down twice, Page Up", "key:Next Next Prior"},
        {"Shift and Page Down", "key:Down shift+Next"},
        {"Home and End", "key:Down Down Down Down End Home shift+End"},
        {"Ctrl+End, Shift+Home, Ctrl+C", "key:ctrl+End shift+Home ctrl+c"},
        {"Ctrl+A, Down", "key:ctrl+a Down"},
        {"Ctrl+A, Up", "key:ctrl+a Up"},
        {"Ctrl+A, Ctrl+C", "key:ctrl+a ctrl+c"},
        {"Ctrl+End, Page Up, Up", "key:ctrl+End Prior Up shift+ctrl+Home"},
        {"down the wrapped line", "key:Down Down Down Down Down Down End Up Up"},
        {"Down at the end", "key:ctrl+End Down shift+Down"},
        {"click, Shift+click", "click:60,50;click:120,90,shift"},
        {"double click", "dclick:80,35"},
        {"triple click", "tclick:80,35"},
        {"drag", "drag:30,20,150,100,100"},
        {"drag with auto-scroll", "drag:30,20,120,400,6000"},
        {"wheel", "wheel:5"},
        {"scroll bar arrow", "arrow:4"},
        {"scroll bar track", "track;track"},
        {"slider drag", "slider:40"},
        {"Page Down and a click", "key:Next Next;click:40,60"},
        {"middle click", "key:Down Down;middle:70,50"},
        {"typing", "key:Down Down End;type:x"},
        {"keypad Enter", "key:Down KP_Enter"},
        {"Backspace after a selection", "key:shift+Down BackSpace"},
        {"Ctrl+V, Ctrl+X, Delete", "key:shift+Down ctrl+v ctrl+x Delete"},
        {"space turns pages", "key:space space shift+space"},
        {"find, next, previous, Escape", "key:ctrl+f;type:Cheb;key:Return Return F3 shift+F3 Escape Down"},
        {"find nothing", "key:Down ctrl+f;type:Praha;key:Return Escape"},
        {"typing while dragging beyond the edge", "press:40,20;move:40,400;wait:400;type:x;release", false},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromUtf8(row.script) << row.exact;
}

void TestPane::sameAsTheEditor()
{
    QFETCH(QString, script);
    QFETCH(bool, exact);
    WorkDir dir;
    const QString text = paneText();
    PaneState states[2];
    for (int run = 0; run < 2; ++run) {
        const bool viaView = run == 0;
        TForm1 form;
        form.resize(820, 640);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), 5000);
        OutputPane *pane = form.ui->Memo1;
        const QString heading = QStringLiteral("Výpis z databáze vozů z domovské stanice  Cheb");
        QPlainTextEdit *editor = pane->editor();
        if (viaView) {
            pane->showOutput(heading, text);
        } else {
            // The plain editor in the same place, read-only, its cursor moved by keys.
            pane->showList(heading, text);
            editor->setReadOnly(true);
            editor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        }
        QAbstractScrollArea *shown = viaView ? static_cast<QAbstractScrollArea *>(pane->view())
                                             : static_cast<QAbstractScrollArea *>(editor);
        shown->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(shown->hasFocus(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(shown->viewport()->isVisible(), 5000);
        QGuiApplication::clipboard()->setText(QStringLiteral("schránka"));
        QGuiApplication::clipboard()->setText(QStringLiteral("vložený text"), QClipboard::Selection);
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(QClipboard::Selection),
                                  QStringLiteral("vložený text"), 5000);
        if (m_reader) {
            m_reader->sync();
            m_reader->clearEvents();
            // One text object where the pane is, named by its heading.
            int showing = 0;
            for (const QJsonValue &object : m_reader->findAll(QStringLiteral("text")))
                if (object[QLatin1String("states")].toArray().contains(QLatin1String("showing"))
                    && object[QLatin1String("states")].toArray().contains(QLatin1String("multi-line")))
                    ++showing;
            QCOMPARE(showing, 1);
            QCOMPARE(m_reader->find(QStringLiteral("text"), form.ui->lbl_databaze_memo->text()).isEmpty(), false);
        }

        auto global = [&](const QString &x, const QString &y) {
            return shown->viewport()->mapToGlobal(QPoint(x.toInt(), y.toInt()));
        };
        auto moveTo = [&](QPoint p) {
            xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())});
            QTest::qWait(100);
        };
        auto scrollBarPoint = [&](QStyle::SubControl control) {
            QScrollBar *bar = shown->verticalScrollBar();
            QStyleOptionSlider option;
            option.initFrom(bar);
            option.orientation = bar->orientation();
            option.minimum = bar->minimum();
            option.maximum = bar->maximum();
            option.sliderPosition = bar->sliderPosition();
            option.sliderValue = bar->value();
            option.singleStep = bar->singleStep();
            option.pageStep = bar->pageStep();
            option.subControls = QStyle::SC_All;
            const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar);
            return bar->mapToGlobal(r.center());
        };
        for (const QString &step : script.split(QLatin1Char(';'))) {
            const QString kind = step.section(QLatin1Char(':'), 0, 0);
            const QStringList args = step.section(QLatin1Char(':'), 1).split(QLatin1Char(','));
            if (kind == u"key") {
                for (const QString &key : args[0].split(QLatin1Char(' '))) {
                    xdotool({"key", key});
                    QTest::qWait(60);
                }
            } else if (kind == u"type") {
                xdotool({"type", args[0]});
            } else if (kind == u"click" || kind == u"dclick" || kind == u"tclick") {
                moveTo(global(args[0], args[1]));
                const QString repeat = kind == u"click" ? "1" : kind == u"dclick" ? "2" : "3";
                if (args.size() > 2)
                    xdotool({"keydown", "shift"});
                xdotool({"click", "--repeat", repeat, "--delay", "80", "1"});
                if (args.size() > 2)
                    xdotool({"keyup", "shift"});
            } else if (kind == u"drag") {
                moveTo(global(args[0], args[1]));
                xdotool({"mousedown", "1"});
                QTest::qWait(100);
                moveTo(global(args[2], args[3]));
                QTest::qWait(args[4].toInt());
                // Auto-scroll goes at the pace the machine allows: held below
                // the pane, both are held until they reach the end of the text.
                if (args[3].toInt() > shown->viewport()->height()) {
                    const QScrollBar *bar = shown->verticalScrollBar();
                    QTRY_VERIFY_WITH_TIMEOUT(bar->value() == bar->maximum(), 60000);
                }
                xdotool({"mouseup", "1"});
            } else if (kind == u"press") {
                moveTo(global(args[0], args[1]));
                xdotool({"mousedown", "1"});
            } else if (kind == u"move") {
                moveTo(global(args[0], args[1]));
            } else if (kind == u"release") {
                xdotool({"mouseup", "1"});
            } else if (kind == u"wait") {
                QTest::qWait(args[0].toInt());
            } else if (kind == u"wheel") {
                moveTo(global("100", "60"));
                xdotool({"click", "--repeat", args[0], "--delay", "80", "5"});
            } else if (kind == u"arrow") {
                moveTo(scrollBarPoint(QStyle::SC_ScrollBarAddLine));
                xdotool({"click", "--repeat", args[0], "--delay", "150", "1"});
            } else if (kind == u"track") {
                moveTo(scrollBarPoint(QStyle::SC_ScrollBarAddPage));
                xdotool({"click", "1"});
            } else if (kind == u"slider") {
                const QPoint from = scrollBarPoint(QStyle::SC_ScrollBarSlider);
                moveTo(from);
                xdotool({"mousedown", "1"});
                QTest::qWait(100);
                moveTo(from + QPoint(0, args[0].toInt()));
                xdotool({"mouseup", "1"});
            } else if (kind == u"middle") {
                moveTo(global(args[0], args[1]));
                xdotool({"click", "2"});
            } else {
                QFAIL(qPrintable(u"unknown step "_s + step));
            }
            QTest::qWait(250);
        }
        QTest::qWait(300);
        PaneState &s = states[run];
        s.text = pane->text();
        if (viaView) {
            s.anchor = int(pane->view()->anchor());
            s.position = int(pane->view()->cursorPosition());
        } else {
            s.anchor = editor->textCursor().anchor();
            s.position = editor->textCursor().position();
        }
        s.firstLine = shown->verticalScrollBar()->value();
        s.viewport = shown->viewport()->size();
        if (m_reader) {
            // Kinds, not counts: the editor tells of a long drag in fewer steps.
            m_reader->sync();
            const QString heading = form.ui->lbl_databaze_memo->text();
            for (const QJsonObject &event : m_reader->events(AtspiClient::is(QStringLiteral("object:text"), heading))) {
                const QString kind = event[QLatin1String("event")].toString();
                if (!s.news.contains(kind))
                    s.news << kind;
            }
            s.news.sort();
            QVERIFY2(m_reader->isRunning(), qPrintable(m_reader->eventLog()));
        }
        s.clipboard = QGuiApplication::clipboard()->text();
        s.selection = QGuiApplication::clipboard()->text(QClipboard::Selection);
        // The pane is named by its heading, whichever of the two shows it.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(shown);
        QCOMPARE(accessible->text(QAccessible::Name), heading);
        if (m_reader)
            QVERIFY(m_reader->letKeysThrough());
    }
    // Nothing a script does writes into either.
    const QString before = QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QCOMPARE(states[0].text, before);
    QCOMPARE(states[1].text, before);
    if (!exact)
        return;
    QVERIFY2(states[0] == states[1], qPrintable(u"view: "_s + describe(states[0]) + u"\neditor: "_s + describe(states[1])));
}

TRAKVID_TEST_MAIN(TestPane)
#include "e2e_pane.moc"
