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

// Remembers whether the last top-level window that lost the activation was
// one of our boxes.
class ActivationTracker : public QObject
{
public:
    bool lastDeactivatedWasBox = false;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::WindowDeactivate && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow())
                lastDeactivatedWasBox = w->property(kBoxProperty).toBool();
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

Response ask(const Request &request)
{
    return g_responder->respond(request);
}

QMessageBox::StandardButton runBox(QMessageBox::Icon icon, const QString &caption,
                                   const QString &text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, parentWindow());
    box.setDefaultButton(defaultButton);
    box.setProperty(kBoxProperty, true);
    return QMessageBox::StandardButton(box.exec());
}
} // namespace

void setResponder(Responder *responder) { g_responder = responder; }

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
    dialog.setProperty(kBoxProperty, true);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (dialog.exec() == QDialog::Accepted)
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
        const Response r = ask({Kind::Print, QStringLiteral("Tisk"), printer.docName(), {}});
        if (r.answer != Answer::Yes)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(r.text);
        return true;
    }
    QPrintDialog dialog(&printer, parentWindow());
    dialog.setProperty(kBoxProperty, true);
    return dialog.exec() == QDialog::Accepted;
}

QString saveFile(const QString &caption, const QString &suggested, const QString &filter)
{
    if (g_responder) {
        const Response r = ask({Kind::SaveFile, caption, suggested, filter});
        return r.answer == Answer::Yes ? r.text : QString();
    }
    QFileDialog dialog(parentWindow(), caption, suggested, filter);
    dialog.setProperty(kBoxProperty, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool activationReturnsFromBox()
{
    return g_tracker && g_tracker->lastDeactivatedWasBox;
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
