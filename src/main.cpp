#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "app.h"
#include "boxes.h"
#include "datafolder.h"

#include <QApplication>
#include <cstdio>

namespace {
// A message for the terminal, and a box too when the program has a screen
// (started from the menu, stderr goes nowhere a clerk looks).
int fail(QApplication &app, const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("trakvid: ") + text + QLatin1Char('\n')), stderr);
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        trakvid::initApplication(app);
        boxes::error(text);
    }
    return 1;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    // trakvid [FOLDER]: the folder becomes the working directory, where the
    // seven files are read and created, before anything else happens.
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--help") || arguments.value(0) == QLatin1String("-h")) {
        std::fputs("Použití: trakvid [SLOŽKA]\n"
                   "Spustí Trakvid se soubory dat ve SLOŽCE (vytvoří ji, pokud chybí);\n"
                   "bez SLOŽKY v pracovní složce.\n", stdout);
        return 0;
    }
    if (arguments.size() > 1)
        return fail(app, QStringLiteral("Zadejte nejvýše jednu složku s daty (použití: trakvid [SLOŽKA])."));
    if (!arguments.isEmpty()) {
        const QString problem = datafolder::enter(arguments.first());
        if (!problem.isEmpty())
            return fail(app, problem);
    }

    // Pictures, Czech texts and the title "Trakvid" of the task-bar button and
    // of the error boxes.
    trakvid::initApplication(app);

    // Created first, the main window is the one whose closing ends the program.
    TForm1 form1;
    form1.show();
    // The add window stays hidden until a command asks for it.
    TForm_databaze form_databaze(&form1);
    form1.Form_databaze = &form_databaze;
    // The splash comes up above the main window; its timer is already running.
    TForm_uvod form_uvod(&form1);
    form_uvod.show();

    return app.exec();
}
