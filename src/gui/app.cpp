#include "app.h"

#include "boxes.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

static void initResources() { Q_INIT_RESOURCE(resources); }

namespace trakvid {

void initApplication(QApplication &app)
{
    initResources();
    app.setApplicationName(QStringLiteral("Trakvid"));
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
