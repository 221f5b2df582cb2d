#include "app.h"

#include "boxes.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#ifdef __GLIBC__
#include <malloc.h>
#endif

static void initResources() { Q_INIT_RESOURCE(resources); }

namespace trakvid {

void initApplication(QApplication &app)
{
    initResources();
#ifdef __GLIBC__
    // A database of a million lines is a million small blocks. Freed into
    // glibc's fast bins, they would be sorted out in one long pause at the
    // next big allocation, which is the next load of a database.
    mallopt(M_MXFAST, 0);
#endif
    app.setApplicationName(QStringLiteral("Trakvid"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("trakvid"));
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    // The toolkit's own texts (Ano/Ne/Storno, the edit menus) in Czech.
    static QTranslator qtTranslator;
    static bool loaded = false;
    if (!loaded) {
        loaded = qtTranslator.load(QStringLiteral("qtbase_cs"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))
              || qtTranslator.load(QStringLiteral("qtbase_cs"), QStringLiteral("/usr/share/qt6/translations"));
        if (loaded)
            app.installTranslator(&qtTranslator);
    }
    boxes::installActivationTracking();
}

} // namespace trakvid
