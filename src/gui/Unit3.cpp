// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit3.h"
#include "ui_Unit3.h"

#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "jpeg.h"
#include "lines.h"
#include "storage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

namespace {
// The data files in the order of the ticks 1 to 6.
const QString *const kDataFiles[6] = {&storage::LOKOMOTIVY, &storage::VOZY,       &storage::REZIM,
                                      &storage::VLASTNIK,   &storage::TRIDA_VOZU, &storage::CHARAKTERISTIKA};

// A save cut off at the last run is finished or undone before the file is
// read, and the clerk told when it was undone.
void tellRecovered(const QString &fileName)
{
    if (const QString recovered = storage::recoverInterruptedSave(fileName); !recovered.isEmpty())
        boxes::message(recovered);
}
} // namespace

TForm_uvod::TForm_uvod(TForm1 *form1)
    // A window of its own above the main window, but never the one whose
    // closing ends the program.
    : QWidget(form1, Qt::Window | Qt::FramelessWindowHint), ui(new Ui::TForm_uvod), Form1(form1)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);
    Form1->installEventFilter(this);
    ui->Image_uvod->setPixmap(QPixmap::fromImage(jpeg::load(QStringLiteral(":/images/banner.jpg"))));
    // Named for assistive technology, as the main window's picture is.
    ui->Image_uvod->setAccessibleName(QStringLiteral("Trakvid"));
    ui->ProgressBar1->setAccessibleName(QStringLiteral("Načítání souborů"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TForm_uvod::Timer1Timer);
    Timer1->start();
}

// Centred over the main window, and again wherever the window manager puts
// that once it is mapped; moved inside the screen where the main window
// stands at its edge, so that the picture and the status text stay whole.
void TForm_uvod::placeOverMainWindow()
{
    const QPoint centre = Form1->frameGeometry().center();
    QRect own = rect();
    own.moveCenter(centre);
    if (const QScreen *screen = QGuiApplication::screenAt(centre) ? QGuiApplication::screenAt(centre) : Form1->screen()) {
        const QRect room = screen->availableGeometry();
        own.moveLeft(std::clamp(own.left(), room.left(), std::max(room.left(), room.right() + 1 - own.width())));
        own.moveTop(std::clamp(own.top(), room.top(), std::max(room.top(), room.bottom() + 1 - own.height())));
    }
    move(own.topLeft());
}

void TForm_uvod::showEvent(QShowEvent *e)
{
    placeOverMainWindow();
    QWidget::showEvent(e);
}

bool TForm_uvod::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Form1 && isVisible() && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
        placeOverMainWindow();
    return QWidget::eventFilter(watched, e);
}

TForm_uvod::~TForm_uvod()
{
    delete ui;
}

bool TForm_uvod::settingOn(const QString &line)
{
    return line.mid(3, 4) == QLatin1String("true");
}

void TForm_uvod::Timer1Timer()
{
    // A box shown by a step holds the next tick back: the toolkit never
    // re-enters the handler of a timer that is still running it.
    ++krok;
    ui->ProgressBar1->setValue(qMin(krok * 10, 100));
    if (krok <= 6)
        dataFileStep(*kDataFiles[krok - 1]);
    else if (krok == 7)
        settingsFileStep();
    else if (krok == 9)
        applySettings();
    else if (krok >= 10)
        closeSplash();
    // Tick 8 does nothing: a pause before the settings are applied.
}

void TForm_uvod::fillListBox1(const QStringList &lines)
{
    ui->ListBox1->clear();
    ui->ListBox1->addItems(lines);
}

bool TForm_uvod::saveListBox1(const QString &fileName)
{
    QStringList lines;
    for (int i = 0; i < ui->ListBox1->count(); ++i)
        lines << ui->ListBox1->item(i)->text();
    const storage::SaveResult saved = storage::save(fileName, lines);
    if (!saved.ok)
        boxes::error(saved.error);
    return saved.ok;
}

void TForm_uvod::dataFileStep(const QString &fileName)
{
    tellRecovered(fileName);
    // Only the count is wanted: the file is read piece by piece and no line
    // is kept, so a national fleet holds the window no longer than reading it.
    const storage::CountResult counted = storage::countLines(fileName);
    ui->ListBox1->clear();
    if (counted.ok()) {
        ui->lbl_stav->setText(fileName + QStringLiteral("...") + QString::number(counted.lines)
                              + QStringLiteral(" položek"));
        return;
    }
    if (counted.status == storage::LoadStatus::Unreadable) {
        // Whatever it holds is the user's: never replace it by a bare header.
        boxes::error(counted.error + QStringLiteral(" Soubor zůstal beze změny."));
        return;
    }
    fillListBox1({storage::header(fileName)});
    if (saveListBox1(fileName))
        ui->lbl_stav->setText(QStringLiteral("Načítám soubory...") + fileName + QStringLiteral(" vytvořen..."));
}

void TForm_uvod::settingsFileStep()
{
    tellRecovered(storage::NASTAVENI);
    const storage::LoadResult loaded = storage::load(storage::NASTAVENI);
    if (loaded.ok()) {
        fillListBox1(loaded.lines);
        ui->lbl_stav->setText(QStringLiteral("nastaveni.txt...osobní nastavení"));
        return;
    }
    // Both settings stay off unless the file says otherwise.
    fillListBox1(storage::defaultSettings());
    if (loaded.status == storage::LoadStatus::Unreadable) {
        boxes::error(loaded.error + QStringLiteral(" Soubor zůstal beze změny."));
        return;
    }
    if (saveListBox1(storage::NASTAVENI))
        ui->lbl_stav->setText(QStringLiteral("Základní nastavení..."));
}

void TForm_uvod::applySettings()
{
    struct Setting {
        QAction *item;
        const char16_t *name;
    };
    const Setting settings[2] = {{Form1->ui->technika, u"Technické parametry"}, {Form1->ui->udrzba, u"Údržba"}};
    for (int line = 0; line < 2; ++line) {
        if (line >= ui->ListBox1->count()) {
            boxes::error(QStringLiteral("V souboru nastaveni.txt chybí řádek %1 s nastavením %2.")
                             .arg(line + 1)
                             .arg(QString::fromUtf16(settings[line].name)));
            return;
        }
        settings[line].item->setChecked(settingOn(ui->ListBox1->item(line)->text()));
    }
}

void TForm_uvod::closeSplash()
{
    Timer1->stop();
    const bool wasShown = isVisible();
    close(); // hidden, not destroyed
    if (wasShown) {
        Form1->raise();
        Form1->activateWindow();
    }
}
