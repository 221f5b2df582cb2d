// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The add window. It writes into the main window's list only; the file is
// written when the user saves the shown database.
#include "Unit2.h"
#include "ui_Unit2.h"

#include "Unit1.h"
#include "ui_Unit1.h"
#include "accessible.h"
#include "boxes.h"
#include "databasemodel.h"
#include "numbering.h"
#include "placement.h"
#include "storage.h"

#include <QEvent>
#include <QLocale>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

using placement::Kind;

namespace {
const QString kLokomotivy = QStringLiteral("Databáze lokomotivy");
const QString kVozy = QStringLiteral("Databáze vozy");
const QString kMarker = QStringLiteral(" Upravit");

// Whether `text` carries the edit marker right after a number of its kind.
bool hasEditMarker(const QString &text, Kind kind)
{
    return text.mid(placement::numberLength(kind), kMarker.size()) == kMarker;
}

QString lineCount(int count) { return QStringLiteral("Počet řádků: ") + QString::number(count); }
} // namespace

TForm_databaze::TForm_databaze(TForm1 *form1)
    : QDialog(form1), ui(new Ui::TForm_databaze), Form1(form1)
{
    setObjectName(QStringLiteral("Form_databaze"));
    ui->setupUi(this);
    // Close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    // Its own place beside the main window, not centred over it.
    move(349, 112);
    // The vehicle text comes from the main window's panel: never as markup.
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    nameControls();

    connect(ui->bitbtn_pridat, &QPushButton::clicked, this, &TForm_databaze::btn_pridatClick);
    connect(ui->BitBtn_zavrit, &QPushButton::clicked, this, &TForm_databaze::btn_zavritClick);
    connect(ui->btn_serie, &QPushButton::clicked, this, &TForm_databaze::btn_serieClick);
    connect(ui->btn_datum_revize, &QPushButton::clicked, this, &TForm_databaze::btn_datum_revizeClick);
    connect(ui->btn_pm, &QPushButton::clicked, this, &TForm_databaze::btn_pmClick);
    connect(ui->btn_po, &QPushButton::clicked, this, &TForm_databaze::btn_poClick);
    connect(ui->btn_kotouce, &QPushButton::clicked, this, &TForm_databaze::btn_kotouceClick);

    // Changes made in the main window while this window is open: such changes
    // were not covered by the save question asked when the window opened.
    if (Form1) {
        DatabaseModel *db = Form1->databaze();
        const auto changed = [this] { m_listChangedSinceOpening = true; };
        connect(db, &QAbstractItemModel::rowsInserted, this, changed);
        connect(db, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(db, &QAbstractItemModel::dataChanged, this, changed);
        connect(db, &QAbstractItemModel::modelReset, this, changed);
    }
}

TForm_databaze::~TForm_databaze() { delete ui; }

bool TForm_databaze::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !boxes::activationReturnsFromBox())
        FormActivate();
    return QDialog::event(e);
}

void TForm_databaze::showEvent(QShowEvent *e)
{
    if (!e->spontaneous())
        m_listChangedSinceOpening = false;
    QDialog::showEvent(e);
}

// Every control is named for assistive technology after the label beside it;
// the calendar's arrows show pictures only.
void TForm_databaze::nameControls()
{
    const std::pair<QWidget *, QString> names[] = {
        {ui->cmb_dkv, ui->lbl_dkv->text()},
        {ui->cmb_domovka, ui->lbl_domovka->text()},
        {ui->sedt_serie, QStringLiteral("Série do čísla")},
        {ui->sedt_rok, ui->lbl_rok->text()},
        {ui->ComboBoxEx1, QStringLiteral("Číslo revize")},
        {ui->cbe_opravna, QStringLiteral("Opravna revize")},
        {ui->kalendar, QStringLiteral("Kalendář")},
        {ui->kalendar->findChild<QWidget *>(QStringLiteral("qt_calendar_calendarview")), QStringLiteral("Kalendář")},
        {ui->kalendar->findChild<QWidget *>(QStringLiteral("qt_calendar_prevmonth")), QStringLiteral("Předchozí měsíc")},
        {ui->kalendar->findChild<QWidget *>(QStringLiteral("qt_calendar_nextmonth")), QStringLiteral("Další měsíc")},
        {ui->kalendar->findChild<QWidget *>(QStringLiteral("qt_calendar_yearedit")), QStringLiteral("Rok")},
    };
    for (const auto &[control, name] : names)
        if (control)
            accessible::setName(control, name);
}

void TForm_databaze::openWindow()
{
    if (isVisible())
        hide();
    FormActivate();
    placeBesideMainWindow();
    show();
    raise();
    activateWindow();
}

// Where it covers the main window, the window goes beside it: right of it
// where the screen has room, else left of it, else at the screen's right
// edge, away from the number fields at the main window's left.
// A place the user chose elsewhere is kept.
void TForm_databaze::placeBesideMainWindow()
{
    const QRect main = Form1->frameGeometry();
    QRect own = frameGeometry();
    if (!own.intersects(main))
        return;
    const QScreen *screen = Form1->screen();
    const QRect room = screen ? screen->availableGeometry() : main.united(own);
    const int gap = 8;
    if (main.right() + gap + own.width() <= room.right())
        own.moveLeft(main.right() + gap);
    else if (main.left() - gap - own.width() >= room.left())
        own.moveRight(main.left() - gap);
    else
        own.moveRight(room.right());
    own.moveTop(std::clamp(main.top(), room.top(), std::max(room.top(), room.bottom() - own.height())));
    move(own.topLeft());
}

// Width and height include the window frame.
void TForm_databaze::setOuterSize(int width, int height)
{
    int frameWidth = 0;
    int frameHeight = 0;
    if (isVisible()) {
        frameWidth = frameGeometry().width() - geometry().width();
        frameHeight = frameGeometry().height() - geometry().height();
    }
    resize(width - frameWidth, height - frameHeight);
}

void TForm_databaze::FormActivate()
{
    // The two settings of the main window decide the panels and the height.
    const bool udrzba = Form1->ui->udrzba->isChecked();
    ui->Panel_technika->setVisible(Form1->ui->technika->isChecked());
    ui->Panel_udrzba->setVisible(udrzba);
    setOuterSize(381, udrzba ? 511 : 300);

    const QString vozidlo = Form1->panel(3);
    const Kind kind = placement::kindOf(vozidlo);
    ui->lbl_vozidlo->setText(vozidlo);
    // A screen reader names the window as it opens: the vehicle with it.
    setAccessibleName(windowTitle() + QStringLiteral(", vozidlo ") + vozidlo);
    ui->bitbtn_pridat->setEnabled(true);
    ui->btn_serie->setEnabled(true);
    ui->sedt_serie->setEnabled(true);
    ui->lbl_databaze->setText(QStringLiteral("Přidat do databáze"));
    ui->lbl_domovka->setText(kind == Kind::Wagon ? QStringLiteral("Domovská stanice")
                                                 : QStringLiteral("Provozní jednotka"));
    accessible::setName(ui->cmb_domovka, ui->lbl_domovka->text());

    // No run while a line is edited; otherwise a run starts after this serial.
    if (vozidlo.endsWith(QLatin1Char('t'))) {
        ui->btn_serie->setEnabled(false);
        ui->sedt_serie->setEnabled(false);
        return;
    }
    const std::optional<int> serial =
        vozidlo.size() >= 5 ? numbering::toInt(vozidlo.mid(vozidlo.size() - 5, 3)) : std::nullopt;
    if (!serial || *serial < 0 || *serial > 999)
        return;
    // Serial 999 leaves a run of that vehicle alone: the field shows 999.
    const int next = std::min(*serial + 1, 999);
    ui->sedt_serie->setMinimum(next);
    ui->sedt_serie->setValue(next);
}

// The DKV and the second allocation text as they go into a line: a pasted line
// break becomes a blank (shown in the field too); a character the database
// file cannot hold is refused.
bool TForm_databaze::allocationTexts(QString &dkv, QString &domovka)
{
    struct Field {
        QComboBox *combo;
        QString name;
        QString *text;
    };
    const Field fields[] = {{ui->cmb_dkv, ui->lbl_dkv->text(), &dkv},
                            {ui->cmb_domovka, ui->lbl_domovka->text(), &domovka}};
    for (const Field &f : fields) {
        const QString typed = f.combo->currentText();
        const QString text = storage::withoutLineBreaks(typed);
        if (text != typed)
            f.combo->setEditText(text);
        const QString bad = storage::firstUnencodableCharacter(text);
        if (!bad.isEmpty()) {
            boxes::message(QStringLiteral("Text v poli \"%1\" obsahuje znak \"%2\", který nelze uložit "
                                          "do databáze (kódování Windows-1250). Nic nebylo zapsáno.")
                               .arg(f.name, bad));
            return false;
        }
        *f.text = text;
    }
    return true;
}

// Makes the target database the shown one, loading it when another one is
// shown. Cancelled when the user cancelled or the shown database could not be
// saved, or the target file exists but cannot be read; Missing leaves the list empty.
TForm_databaze::Target TForm_databaze::showTarget(bool lokomotiva)
{
    const QString target = lokomotiva ? kLokomotivy : kVozy;
    const QString shown = Form1->ui->lbl_databaze->text();
    if (shown == target)
        return Target::Shown;
    const QString fileName = lokomotiva ? storage::LOKOMOTIVY : storage::VOZY;
    if (Form1->refuseUnreadable(fileName))
        return Target::Cancelled;

    // The opening asked about the shown database's changes; changes made after
    // it would be dropped by the load without a word.
    if ((shown == kLokomotivy || shown == kVozy) && m_listChangedSinceOpening
        && Form1->panel(2) != QLatin1String("0")) {
        const bool shownLoko = shown == kLokomotivy;
        switch (boxes::threeWay(QStringLiteral("Uložit"),
                                shownLoko ? QStringLiteral("Chcete uložit změny v databázi lokomotivy? ")
                                          : QStringLiteral("Chcete uložit změny v databázi vozy? "))) {
        case boxes::Answer::Cancel:
            return Target::Cancelled;
        case boxes::Answer::Yes:
            if (!Form1->saveDatabaseTo(shownLoko ? storage::LOKOMOTIVY : storage::VOZY))
                return Target::Cancelled;
            boxes::message(shownLoko ? QStringLiteral("Změněná databáze lokomotiv uložena")
                                     : QStringLiteral("Změněná databáze vozů uložena"));
            break;
        case boxes::Answer::No:
            break;
        }
    }

    Form1->setDatabaseCaption(target);
    switch (Form1->loadDatabaseFrom(fileName)) {
    case storage::LoadStatus::Ok:
        break;
    case storage::LoadStatus::Missing:
        return Target::Missing;
    case storage::LoadStatus::Unreadable:
        return Target::Cancelled;
    }
    // Freshly loaded, the list equals its file.
    Form1->setPanel(0, QStringLiteral("Počet řádků ") + QString::number(Form1->databaze()->count()));
    Form1->setPanel(2, QStringLiteral("0"));
    return Target::Loaded;
}

void TForm_databaze::finishWrite(const QString &result, bool missing)
{
    const int count = Form1->databaze()->count();
    // The header line is not counted; a list started afresh has none.
    Form1->setPanel(0, lineCount(missing ? count : count - 1));
    Form1->setPanel(2, QStringLiteral("1"));
    ui->lbl_databaze->setText(result);
    ui->bitbtn_pridat->setEnabled(false);
    ui->btn_serie->setEnabled(false);
}

void TForm_databaze::btn_pridatClick()
{
    QString vozidlo = ui->lbl_vozidlo->text();
    const Kind kind = placement::kindOf(vozidlo);
    const bool lokomotiva = kind == Kind::Locomotive;
    QString dkv, domovka;
    if (!allocationTexts(dkv, domovka))
        return;
    if (hasEditMarker(vozidlo, kind)) {
        vozidlo.truncate(placement::numberLength(kind));
        ui->lbl_vozidlo->setText(vozidlo);
    }
    if (!placement::isVehicleNumber(kind, vozidlo)) {
        boxes::message(QStringLiteral("\"%1\" není číslo vozidla. Nic nebylo zapsáno.").arg(vozidlo));
        return;
    }
    const QString line = placement::vehicleLine(kind, vozidlo, dkv, domovka);
    DatabaseModel *db = Form1->databaze();

    const Target target = showTarget(lokomotiva);
    switch (target) {
    case Target::Cancelled:
        return;
    case Target::Missing:
        // The list starts afresh with the new line alone.
        db->setLines({line});
        finishWrite(lokomotiva ? QStringLiteral("hnací vozidlo zapsáno") : QStringLiteral("Vůz zapsán"), true);
        return;
    case Target::Shown:
        if (hasEditMarker(Form1->panel(3), kind)) {
            replaceEditedLine(vozidlo, line);
            return;
        }
        break;
    case Target::Loaded:
        break;
    }

    const placement::Place place = placement::findPlace(db->lines(), kind, *placement::key(kind, vozidlo));
    const QString written = lokomotiva ? QStringLiteral("hnací vozidlo zapsáno") : QStringLiteral("vůz zapsán");
    switch (place.what) {
    case placement::Place::Overwrite:
        if (!boxes::confirm(lokomotiva ? QStringLiteral("Vozidlo už v databázi je chcete ho přepsat?")
                                       : QStringLiteral("Vůz už v databázi je chcete ho přepsat?"))) {
            hide();
            return;
        }
        db->replaceLine(place.row, line);
        finishWrite(written, false);
        return;
    case placement::Place::Insert: {
        int row = place.row;
        if (place.bookmarkRow >= 0
            && boxes::confirm(QStringLiteral("Vozidlo bude zapsáno za záložku \"") + db->shownLine(place.bookmarkRow)
                              + QStringLiteral("\". Chcete ho zapsat před ní?")))
            row = place.bookmarkRow;
        db->insertLine(row, line);
        finishWrite(written, false);
        return;
    }
    case placement::Place::Append:
        db->appendLine(line);
        finishWrite(lokomotiva || target == Target::Loaded ? written : QStringLiteral("Vůz zapsán"), false);
        return;
    }
}

// Edit of a vehicle line started in the main window.
void TForm_databaze::replaceEditedLine(const QString &number, const QString &line)
{
    // The window is not modal: the selection may have moved to another
    // vehicle meanwhile, and that vehicle must not be overwritten.
    DatabaseModel *db = Form1->databaze();
    const int row = placement::editedRow(db->lines(), number, Form1->selectedRow());
    if (row == placement::NotFound) {
        boxes::message(QStringLiteral("Řádek vozidla %1 v databázi není. Nic nebylo změněno.").arg(number));
        return;
    }
    if (row == placement::Ambiguous) {
        boxes::message(QStringLiteral("Vozidlo %1 je v databázi vícekrát. Vyberte v databázi řádek, "
                                      "který chcete změnit, a stiskněte znovu \"Přidat vozidlo\".")
                           .arg(number));
        return;
    }
    db->replaceLine(row, line);
    // Raised again: a save since the edit began set it to "0", and this line
    // must not be lost without the save questions. The line count stays.
    Form1->raiseChangeCount();
    ui->lbl_databaze->setText(QStringLiteral("Databáze změněna"));
    ui->bitbtn_pridat->setEnabled(false);
    ui->btn_serie->setEnabled(false);
}

void TForm_databaze::btn_zavritClick() { hide(); }

void TForm_databaze::btn_serieClick()
{
    const QString vozidlo = ui->lbl_vozidlo->text();
    const Kind kind = placement::kindOf(vozidlo);
    const bool lokomotiva = kind == Kind::Locomotive;
    if (!placement::isVehicleNumber(kind, vozidlo)) {
        boxes::message(QStringLiteral("\"%1\" není číslo vozidla. Nic nebylo zapsáno.").arg(vozidlo));
        return;
    }
    QString dkv, domovka;
    if (!allocationTexts(dkv, domovka))
        return;

    const int first = vozidlo.mid(lokomotiva ? 3 : 8, 3).toInt();
    // A typed value outside the limits goes to the nearer one; no number counts
    // as the lower limit.
    QSpinBox *serie = ui->sedt_serie;
    const std::optional<int> typed = numbering::toInt(serie->cleanText());
    serie->setValue(typed ? std::clamp(*typed, serie->minimum(), serie->maximum()) : serie->minimum());
    const int last = std::max(first, serie->value());
    const QStringList run = placement::runLines(kind, vozidlo, first, last, dkv, domovka);
    DatabaseModel *db = Form1->databaze();

    switch (showTarget(lokomotiva)) {
    case Target::Cancelled:
        return;
    case Target::Missing:
        db->setLines(run);
        finishWrite(lokomotiva ? QStringLiteral("hnací vozidla zapsána") : QStringLiteral("Vozy zapsány"), true);
        return;
    case Target::Shown:
    case Target::Loaded:
        break;
    }

    const int start = placement::runStart(db->lines(), kind, *placement::key(kind, vozidlo));
    if (start < 0) {
        db->appendLines(run);
        finishWrite(lokomotiva ? QStringLiteral("hnací vozidla zapsána") : QStringLiteral("vůz zapsán"), false);
        return;
    }
    const int end = placement::runReplacedEnd(db->lines(), kind, start, run);
    db->replaceRange(start, end - start, run);
    finishWrite(lokomotiva ? QStringLiteral("hnací vozidla zapsána") : QStringLiteral("vozy zapsány"), false);
}

QString TForm_databaze::dateText(const QDate &date)
{
    return QLocale(QLocale::Czech, QLocale::CzechRepublic).toString(date, QStringLiteral("d. MMMM yyyy"));
}

void TForm_databaze::writeDate(QLabel *label) { label->setText(dateText(ui->kalendar->selectedDate())); }

void TForm_databaze::btn_datum_revizeClick() { writeDate(ui->lbl_revize); }
void TForm_databaze::btn_pmClick() { writeDate(ui->lbl_pm); }
void TForm_databaze::btn_poClick() { writeDate(ui->lbl_po); }
void TForm_databaze::btn_kotouceClick() { writeDate(ui->lbl_kotouce); }
