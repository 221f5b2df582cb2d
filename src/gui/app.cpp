// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "app.h"

#include "accessible.h"
#include "boxes.h"
#include "platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QTranslator>

static void initResources() { Q_INIT_RESOURCE(resources); }

namespace {
// Keys of the desktop that the toolkit leaves to the program: Shift+F10 opens
// the context menu of the focused control as the Menu key does, for
// keyboards without that key; F10 opens the window's menu bar.
class MenuKeys : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(e)->key() != Qt::Key_F10)
            return false;
        // Once, as it reaches the focused control; an open menu takes its keys itself.
        QWidget *focus = QApplication::focusWidget();
        if (watched != focus || QApplication::activePopupWidget())
            return false;
        const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent *>(e)->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::ShiftModifier) {
            // Where the Menu key puts it: at the text cursor or the current item.
            const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at), modifiers);
            QCoreApplication::sendEvent(focus, &menu);
            return true;
        }
        auto *window = qobject_cast<QMainWindow *>(focus->window());
        if (modifiers == Qt::NoModifier && window && !window->menuBar()->actions().isEmpty()) {
            window->menuBar()->setActiveAction(window->menuBar()->actions().first());
            return true;
        }
        return false;
    }
};
} // namespace

namespace trakvid {

void initApplication(QApplication &app)
{
    initResources();
    platform::tuneAllocator();
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
    accessible::install();
    static MenuKeys *menuKeys = nullptr;
    if (!menuKeys) {
        menuKeys = new MenuKeys;
        menuKeys->setParent(&app);
        app.installEventFilter(menuKeys);
    }
}

} // namespace trakvid
