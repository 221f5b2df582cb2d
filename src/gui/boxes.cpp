// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "boxes.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace boxes {

namespace {
Responder *g_responder = nullptr;

const char *const kBoxProperty = "trakvidBox";

// The window that a closed box hands the activation back to, until the next
// activation of any window but a box arrives; that activation is the return
// exactly when it is this window's. Decided by the window, never by the order
// in which activation and deactivation events of two windows come.
class ActivationTracker : public QObject
{
public:
    QPointer<QWidget> pendingReturn;
    bool returning = false; // the activation being delivered is that return
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::WindowActivate && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow() && !w->property(kBoxProperty).toBool()) {
                returning = pendingReturn && pendingReturn == w;
                pendingReturn = nullptr;
            }
        }
        return false;
    }
};
ActivationTracker *g_tracker = nullptr;

QWidget *parentWindow()
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    return QApplication::activeModalWidget();
}

QString title() { return QStringLiteral("Trakvid"); }

// A text with long runs without a blank (a quoted line) gets invisible break
// opportunities: the box then wraps them within its usual width, where the
// toolkit would make it as wide as a small or scaled screen, frame beyond it.
QString breakable(const QString &text)
{
    constexpr int kRun = 60;
    QString out;
    out.reserve(text.size() + text.size() / kRun);
    int run = 0;
    for (const QChar c : text) {
        out += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run >= kRun && !c.isHighSurrogate()) {
            out += QChar(0x200B);
            run = 0;
        }
    }
    return out;
}

Response ask(const Request &request)
{
    return g_responder->respond(request);
}

QMessageBox::StandardButton runBox(QMessageBox::Icon icon, const QString &caption,
                                   const QString &text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, breakable(text), buttons, parentWindow());
    // Our texts carry file lines and bookmarks: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(exec(box));
}
} // namespace

void setResponder(Responder *responder) { g_responder = responder; }

int exec(QDialog &dialog)
{
    dialog.setProperty(kBoxProperty, true);
    QPointer<QWidget> returnTo = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    const int result = dialog.exec();
    // A window the toolkit made active again while closing the box gets no
    // further activation to skip.
    if (g_tracker && returnTo && returnTo->isVisible() && !returnTo->isActiveWindow())
        g_tracker->pendingReturn = returnTo;
    return result;
}

QString confirmCaption() { return QStringLiteral("Potvrzení"); }

void message(const QString &text)
{
    if (g_responder) {
        ask({Kind::Message, title(), text, {}});
        return;
    }
    runBox(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool confirm(const QString &text)
{
    if (g_responder)
        return ask({Kind::Confirm, confirmCaption(), text, {}}).answer == Answer::Yes;
    return runBox(QMessageBox::Question, confirmCaption(), text,
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

Answer threeWay(const QString &caption, const QString &text)
{
    if (g_responder)
        return ask({Kind::ThreeWay, caption, text, {}}).answer;
    switch (runBox(QMessageBox::Information, caption, text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString input(const QString &caption, const QString &prompt, const QString &initial)
{
    if (g_responder) {
        const Response r = ask({Kind::Input, caption, prompt, initial});
        return r.answer == Answer::Yes ? r.text : initial;
    }
    QInputDialog dialog(parentWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (exec(dialog) == QDialog::Accepted)
        return dialog.textValue();
    return initial;
}

void error(const QString &text)
{
    if (g_responder) {
        ask({Kind::Error, title(), text, {}});
        return;
    }
    runBox(QMessageBox::Critical, title(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool print(QPrinter &printer)
{
    if (g_responder) {
        const Response r = ask({Kind::Print, QStringLiteral("Tisk"), printer.docName(), printer.outputFileName()});
        if (r.answer != Answer::Yes)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(r.text);
        return true;
    }
    QPrintDialog dialog(&printer, parentWindow());
    return exec(dialog) == QDialog::Accepted;
}

QString saveFile(const QString &caption, const QString &suggested, const QString &filter)
{
    if (g_responder) {
        const Response r = ask({Kind::SaveFile, caption, suggested, filter});
        return r.answer == Answer::Yes ? r.text : QString();
    }
    QFileDialog dialog(parentWindow(), caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (exec(dialog) != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool activationReturnsFromBox()
{
    return g_tracker && g_tracker->returning;
}

void installActivationTracking()
{
    if (g_tracker || !qApp)
        return;
    g_tracker = new ActivationTracker;
    g_tracker->setParent(qApp);
    qApp->installEventFilter(g_tracker);
}

} // namespace boxes
