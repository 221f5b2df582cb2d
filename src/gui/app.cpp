// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
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
    // A block of a megabyte or more (a database's buffer, a listing) is
    // given back to the system when it is freed. By default glibc raises
    // this bound to the largest block freed so far, and the next listing's
    // growing blocks then stay in the heap after they are freed.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
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
