// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The six listings of a database file into the output pane.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "outputpane.h"
#include "listings.h"
#include "storage.h"

#include <functional>

namespace {

struct Listing {
    const QString &file;
    const char16_t *caption;
    const char16_t *prompt;
    const char16_t *initial;
    int digits;                  // 3 or 4: the value is a number of that many digits; 0: any text but empty
    const char16_t *invalid;     // not a number, or empty
    const char16_t *wrongLength; // a number of the wrong size
    const char16_t *openFailure;
    const char16_t *notFoundPrefix;
    const char16_t *headingPrefix;
    listings::Rule rule;
};

const Listing kSeries{storage::LOKOMOTIVY,
                      u"Databáze vyber lokomotivu řady",
                      u"Zadej řadu",
                      u"xxx",
                      3,
                      u"nekorektní zadání řady !!",
                      u"řada lokomotivy musí být třímístná",
                      u"databáze lokomotiv neexistuje",
                      u"Vozidlo řady ",
                      u"Výpis z databáze hnacích vozidel řady ",
                      listings::bySeries};

const Listing kLocomotiveDkv{storage::LOKOMOTIVY,
                             u"Databáze vyber lokomotivu z DKV",
                             u"Zadej domovské DKV",
                             u"",
                             0,
                             u"Nezadali jste žádné dkv!!!",
                             nullptr,
                             u"databáze lokomotiv neexistuje",
                             u"Vozidlo DKV ",
                             u"Databáze hnacích vozidel z DKV ",
                             listings::byLocomotiveDkv};

const Listing kOperatingUnit{storage::LOKOMOTIVY,
                             u"Databáze vyber lokomotivu z PJ",
                             u"Zadej Provozní jednotku lokomotivy",
                             u"",
                             0,
                             u"Nezadali jste žádnou PJ!!!",
                             nullptr,
                             u"databáze lokomotiv neexistuje",
                             u"Vozidlo Provozní jednotky ",
                             u"Výpis z databáze hnacích vozidel z Provozní jednotky  ",
                             listings::byOperatingUnit};

const Listing kCharacteristic{storage::VOZY,
                              u"Databáze vyber vůz podle charakteristiky",
                              u"Zadej čtyři čísla charakteristiky vozu",
                              u"xxxx",
                              4,
                              u"nekorektní zadání charakteristiky !!",
                              u"charakteristika vozu musí být čtyřmístná",
                              u"databáze Vozů neexistuje",
                              u"Vůz provozní charakteristiky ",
                              u"Výpis databáze vozů provozní charakteristiky ",
                              listings::byCharacteristic};

const Listing kWagonDkv{storage::VOZY,
                        u"Databáze vyber vůz z DKV",
                        u"Zadej domovské DKV",
                        u"",
                        0,
                        u"Nezadali jste žádné dkv!!!",
                        nullptr,
                        u"databáze vozů neexistuje",
                        u"Vůz DKV ",
                        u"Databáze vozů z DKV ",
                        listings::byWagonDkv};

const Listing kHomeStation{storage::VOZY,
                           u"Databáze vyber vůz podle domovské stanice",
                           u"Zadej Domovskou stanici vozu",
                           u"",
                           0,
                           u"Nezadali jste žádnou Domovskou stanici!!!",
                           nullptr,
                           u"databáze vozů neexistuje",
                           u"Vůz z domovské stanice ",
                           u"Výpis z databáze vozů z domovské stanice  ",
                           listings::byHomeStation};

// The message for a value that cannot be listed, or an empty text.
QString valueError(const Listing &listing, const QString &value)
{
    if (listing.digits == 0)
        return value.isEmpty() ? QString::fromUtf16(listing.invalid) : QString();
    switch (listings::checkNumber(value, listing.digits)) {
    case listings::NumberCheck::NotANumber:
        return QString::fromUtf16(listing.invalid);
    case listings::NumberCheck::WrongLength:
        return QString::fromUtf16(listing.wrongLength);
    case listings::NumberCheck::Ok:
        break;
    }
    return QString();
}

// Reads `file` piece by piece, as the file's own bytes, into `pieceFn` and
// fills the pane with what `result` makes of them, or with `openFailure`
// when the file is missing; the heading becomes `heading` and "Ulož"
// is disabled either way.
void showScan(TForm1 &form, const QString &file, const QString &openFailure, const QString &heading,
              const std::function<void(QByteArrayView)> &pieceFn, const std::function<QString()> &result)
{
    Ui::TForm1 *ui = form.ui;
    // The pane lets go of what it held before the file is read, so that a
    // big earlier result and the new one are never held together.
    ui->Memo1->clear();
    const storage::ScanResult scanned = storage::scanPieces(file, pieceFn);
    QString text; // stays empty when a read fails part way: no half result that looks whole
    // A file that is not there gets the listing's own words; one that is there
    // but cannot be opened (a folder, no permission) is told as it is.
    if (!scanned.opened)
        text = scanned.status == storage::LoadStatus::Missing ? openFailure : scanned.error;
    else if (scanned.ok())
        text = result();
    // One fill of the pane: appending a hundred thousand lines one by one would crawl.
    // Also after a failed open: the pane no longer holds a reference list, and
    // "Ulož" must not write the failure line over one.
    ui->btn_uloz->setEnabled(false);
    ui->Memo1->showOutput(heading, text);
    if (scanned.opened && !scanned.ok())
        boxes::error(scanned.error);
}

void runListing(TForm1 &form, const Listing &listing)
{
    Ui::TForm1 *ui = form.ui;
    ui->bitbtn_napoveda_dale->setEnabled(false);
    ui->BitBtn_napoveda_zpet->setEnabled(false);

    const QString value = boxes::input(QString::fromUtf16(listing.caption), QString::fromUtf16(listing.prompt),
                                       QString::fromUtf16(listing.initial));
    const QString error = valueError(listing, value);
    if (!error.isEmpty()) {
        boxes::message(error);
        return;
    }

    // The value is encoded once and compared with the file's own bytes; a
    // value no line can hold still has the file read, for its messages.
    const std::optional<QByteArray> encoded = listings::encodeValue(value);
    std::optional<listings::LineFinder> finder;
    if (encoded)
        finder.emplace(listing.rule, *encoded);
    listings::Selection selection;
    showScan(form, listing.file, QString::fromUtf16(listing.openFailure),
             QString::fromUtf16(listing.headingPrefix) + value,
             [&](QByteArrayView piece) {
                 if (finder)
                     finder->offer(piece, selection);
             },
             [&] {
                 if (selection.count > 0)
                     return selection.text();
                 return QString::fromUtf16(listing.notFoundPrefix) + value
                        + QStringLiteral(" není v databázi, zkontroluj správnost zadání!!");
             });
}

// Checks the numbers of vozy.txt or lokomotivy.txt on disk, as a listing reads it.
void runNumberCheck(TForm1 &form, bool wagons)
{
    form.ui->bitbtn_napoveda_dale->setEnabled(false);
    form.ui->BitBtn_napoveda_zpet->setEnabled(false);
    listings::DatabaseCheck check(wagons);
    showScan(form, wagons ? storage::VOZY : storage::LOKOMOTIVY,
             wagons ? QStringLiteral("databáze vozů neexistuje") : QStringLiteral("databáze lokomotiv neexistuje"),
             wagons ? QStringLiteral("Kontrola čísel databáze vozů") : QStringLiteral("Kontrola čísel databáze lokomotiv"),
             [&](QByteArrayView piece) {
                 storage::forEachLine(piece, [&](QByteArrayView line) { check.offer(line); });
             },
             [&] { return check.text(); });
}

} // namespace

void TForm1::Podleady1Click() { runListing(*this, kSeries); }
void TForm1::PodleDKV2Click() { runListing(*this, kLocomotiveDkv); }
void TForm1::Podleprovoznjednotky1Click() { runListing(*this, kOperatingUnit); }
void TForm1::PodleCharakteristiky1Click() { runListing(*this, kCharacteristic); }
void TForm1::PodleDKV1Click() { runListing(*this, kWagonDkv); }
void TForm1::PodleDomovskstanice1Click() { runListing(*this, kHomeStation); }
void TForm1::Kontrolasel1Click() { runNumberCheck(*this, true); }
void TForm1::Kontrolasel2Click() { runNumberCheck(*this, false); }
