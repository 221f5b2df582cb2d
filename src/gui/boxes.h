// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The program's modal boxes. Every box goes through here so that tests can
// answer them with a scripted stand-in (setResponder).
// A box that quotes a line of a database quotes it as the list shows it
// (DatabaseModel::shownLine): a line of megabytes would freeze the box and
// make it taller than any screen.
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace boxes {

enum class Kind { Message, Confirm, ThreeWay, Input, Error, Print, SaveFile };
enum class Answer { Yes, No, Cancel };

// Message box captioned "Trakvid" with OK.
void message(const QString &text);
// Confirmation box: question icon, Yes and No. True for Yes.
bool confirm(const QString &text);
// Three-way box: own caption, information icon, Yes, No and Cancel.
Answer threeWay(const QString &caption, const QString &text);
// Input box: caption, prompt, edit field with `initial`. Cancel gives `initial` back.
QString input(const QString &caption, const QString &prompt, const QString &initial);
// The application's general error box, captioned "Trakvid".
void error(const QString &text);
// The system print dialog for `printer`, printing to a PDF file included. True
// when the user chose to print. A stand-in answers OK with a file name: the
// printer then writes a PDF file of that name.
bool print(QPrinter &printer);
// A file dialog for saving, opening with `suggested`; the chosen file name, or
// an empty string when the user cancelled.
QString saveFile(const QString &caption, const QString &suggested, const QString &filter);

// Caption of the confirmation box.
QString confirmCaption();

// What a box asks; handed to a responder.
struct Request {
    Kind kind;
    QString caption;
    QString text; // message text, the prompt of an input box, the printed document's or the suggested file's name
    QString initial; // the initial text of an input box; the PDF file a print dialog offers
};
struct Response {
    Answer answer = Answer::Cancel; // Yes = OK for an input box
    QString text;                   // the text given back by OK of an input box, or the chosen file
};

// Stand-in for the real boxes (tests). nullptr restores the real boxes.
class Responder {
public:
    virtual ~Responder() = default;
    virtual Response respond(const Request &request) = 0;
};
void setResponder(Responder *responder);

// Runs a modal dialog of ours and remembers the window it hands the
// activation back to when it closes (see activationReturnsFromBox()).
int exec(QDialog &dialog);

// True while the window being activated is getting the activation back from
// one of our boxes that just closed. Windows skip their activation handler
// then: the handler that showed the box already set what it wanted, and under
// X that activation arrives after the handler went on. Only the first
// activation of any window after the box closed can be that return.
bool activationReturnsFromBox();
// Installs the application-wide tracking behind activationReturnsFromBox().
void installActivationTracking();

} // namespace boxes
