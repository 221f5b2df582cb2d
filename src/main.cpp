// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "app.h"
#include "boxes.h"
#include "datafolder.h"
#include "platform.h"
#include "storage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const char kUsage[] =
    "Použití: trakvid [SLOŽKA]\n"
    "         trakvid --home-folder [SLOŽKA]\n"
    "Spustí Trakvid se soubory dat ve SLOŽCE (vytvoří ji, pokud chybí),\n"
    "bez SLOŽKY v pracovní složce.\n"
    "\n"
    "  --home-folder  soubory dat ve složce %1 (vytvoří ji, pokud chybí),\n"
    "                 není-li zadána SLOŽKA; tak Trakvid spouští nabídka prostředí\n"
    "                 (se SLOŽKOU, když složku otevře správce souborů)\n"
    "  -h, --help     vypíše tuto nápovědu\n"
    "  --version      vypíše verzi programu\n"
    "  --             další slovo je SLOŽKA, i když začíná znakem „-“\n";

// The usage with the menu entry's own data folder of this system and user.
QByteArray usage()
{
    return QString::fromUtf8(kUsage).arg(QDir::toNativeSeparators(datafolder::homeFolder())).toUtf8();
}

// A line for the terminal, in UTF-8 as the usage is: the local code page of
// Windows has no "ř".
void printError(const QString &text)
{
    std::fputs((QStringLiteral("trakvid: ") + text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

// A message for the terminal, and a box too when the program has a screen
// (started from the menu, stderr goes nowhere a clerk looks). Without one the
// toolkit is not started at all: it would only abort.
int fail(int &argc, char **argv, bool screen, const QString &text)
{
    printError(text);
    if (!screen)
        return 1;
    QApplication app(argc, argv);
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        trakvid::initApplication(app);
        boxes::error(text);
    }
    return 1;
}

// A mistake on the command line: no window, the usage, status 2.
int usageError(const QString &text)
{
    printError(text);
    std::fputs(usage().constData(), stderr);
    return 2;
}

// The toolkit's own options (window system, style, layout direction), which
// it takes off the command line itself; true for those followed by a value.
const std::pair<const char *, bool> kToolkitOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"style", true}, {"stylesheet", true}, {"display", true}, {"geometry", true}, {"name", true},
    {"title", true}, {"qmljsdebugger", true}, {"reverse", false}, {"widgetcount", false},
    {"nograb", false}, {"dograb", false}, {"sync", false}};

// How many words `word` (with the one after it) takes as a toolkit option; 0 when it is none.
int toolkitOption(const QByteArray &word)
{
    QByteArray name = word.mid(word.startsWith("--") ? 2 : 1);
    const qsizetype equals = name.indexOf('=');
    const bool hasValue = equals >= 0;
    if (hasValue)
        name.truncate(equals);
    for (const auto &[option, takesValue] : kToolkitOptions)
        if (name == option)
            return takesValue && !hasValue ? 2 : 1;
    return 0;
}

struct CommandLine {
    enum Action { Run, Help, Version, Mistake } action = Run;
    std::optional<QString> folder; // none: the working directory
    bool home = false;
    QString mistake;
    std::vector<char *> toolkitArguments; // the program's name and the toolkit's options
};

CommandLine parse(int argc, char *argv[])
{
    CommandLine line;
    line.toolkitArguments.push_back(argv[0]);
    // The words as the user typed them, whatever the system's code page.
    const QStringList words = platform::arguments(argc, argv);
    QStringList folders;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray word(argv[i]);
        if (optionsEnd || !word.startsWith('-')) {
            folders << words.value(i);
        } else if (word == "--") {
            optionsEnd = true;
        } else if (word == "--help" || word == "-h") {
            line.action = CommandLine::Help;
            return line;
        } else if (word == "--version") {
            line.action = CommandLine::Version;
            return line;
        } else if (word == "--home-folder") {
            line.home = true;
        } else if (const int taken = toolkitOption(word); taken > 0 && i + taken <= argc) {
            for (int k = 0; k < taken; ++k)
                line.toolkitArguments.push_back(argv[i + k]);
            i += taken - 1;
        } else {
            line.action = CommandLine::Mistake;
            line.mistake = QStringLiteral("neznámá volba „%1“").arg(words.value(i));
            return line;
        }
    }
    // A folder given wins over the home folder: the menu entry's command is
    // also what a file manager's "Open with" runs, with the folder after it.
    if (folders.size() > 1) {
        line.action = CommandLine::Mistake;
        line.mistake = QStringLiteral("zadejte nejvýše jednu složku s daty");
        return line;
    }
    if (!folders.isEmpty())
        line.folder = folders.first();
    else if (line.home)
        line.folder = datafolder::homeFolder();
    return line;
}

// The value of the toolkit's option `name` as the toolkit reads it ("-name
// value" or "--name value"), or an empty array.
QByteArray toolkitValue(const std::vector<char *> &arguments, const char *name)
{
    for (size_t i = 1; i + 1 < arguments.size(); ++i) {
        const QByteArray word(arguments[i]);
        if (word.mid(word.startsWith("--") ? 2 : 1) == name)
            return QByteArray(arguments[i + 1]);
    }
    return QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    // A window program started from a console answers in that console.
    platform::attachConsole();
    // Read before the toolkit starts: --help and --version need no screen.
    CommandLine line = parse(argc, argv);
    switch (line.action) {
    case CommandLine::Help:
        std::fputs(usage().constData(), stdout);
        return 0;
    case CommandLine::Version:
        std::fputs("Trakvid " TRAKVID_VERSION "\n", stdout);
        return 0;
    case CommandLine::Mistake:
        return usageError(line.mistake);
    case CommandLine::Run:
        break;
    }

    // Asked before the toolkit starts: without a screen it would abort with
    // its own advice in English. The folder is still checked first, so that a
    // mistyped folder gets its own message either way.
    QByteArray windowSystems = toolkitValue(line.toolkitArguments, "platform");
    if (windowSystems.isEmpty())
        windowSystems = qgetenv("QT_QPA_PLATFORM");
    const bool screen = platform::hasScreen(windowSystems, toolkitValue(line.toolkitArguments, "display"));
    int toolkitArgc = int(line.toolkitArguments.size());
    line.toolkitArguments.push_back(nullptr);
    char **toolkitArgv = line.toolkitArguments.data();

    // The folder becomes the working directory, where the seven files are read
    // and created; before any window, the files must be creatable or writable
    // there, or the splash would only report one failure after another.
    const QString shownFolder = line.folder.value_or(QDir::currentPath());
    bool created = false;
    if (line.folder) {
        const QFileInfo before(*line.folder);
        const bool existed = before.exists() || before.isSymLink();
        if (const QString problem = datafolder::enter(*line.folder); !problem.isEmpty())
            return fail(toolkitArgc, toolkitArgv, screen, problem);
        created = !existed;
    }
    if (const QString problem = datafolder::checkFiles(shownFolder, storage::dataFiles()); !problem.isEmpty())
        return fail(toolkitArgc, toolkitArgv, screen, problem);
    if (!screen) {
        // Nothing is left behind by a start that cannot show a window.
        if (created)
            QDir().rmdir(QDir::currentPath());
        return fail(toolkitArgc, toolkitArgv, false,
                    QStringLiteral("Ke spuštění je potřeba grafické prostředí (X11 nebo Wayland), "
                                   "žádné ale nebylo nalezeno. Spusťte Trakvid z plochy."));
    }
    QApplication app(toolkitArgc, toolkitArgv);

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
