// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The identification report written by Zadáno after the check digit.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "listings.h"
#include "outputpane.h"
#include "numbering.h"
#include "storage.h"

namespace {

// Kind of traction vehicle, by the first digit of the series.
const char16_t *const kLocomotiveKinds[10] = {
    u"nemotorový vůz",
    u"elektrická stejnosměrná lokomotiva",
    u"elektrická střídavá lokomotiva",
    u"elektrická dvojsystémová lokomotiva",
    u"elektrická jednotka stejnosměrná",
    u"elektrická jednotka střídavá",
    u"elektrická jednotka dvojsystémová",
    u"Motorová lokomotiva",
    u"motorový vůz",
    u"Řídící vůz",
};

// Wagon series, by the first digit of the characteristic (regimes outside 50-79).
// The texts are the program's own, spelling included.
const char16_t *const kWagonSeries[10] = {
    u"Řada T, vůz s otevíratelnou střechou",
    u"Řada G, krytý vůz bězné stavby",
    u"Řada H, krytý vůz zvláštní stavby",
    u"Řady vozů K, O, R, vesměs plošinové vozy běžné stavby (asi 30-34 s nezávislými nápravami, 35-39 podvozkové)",
    u"Řady vozů L, S, plošinový vůz zvláštní stavby (asi 40-44 s nezávislými nápravami, 45-49 s podvozky)",
    u"Řada E, otevřený vůz běžné stavby",
    u"Řada F, otevřený vůz zvlaštní stavby",
    u"Řada Z, cisternový vůz",
    u"Řada I, chladící vůz",
    u"Řada U, speciální vůz",
};

QString digitText(const char16_t *const (&table)[10], const QString &digit)
{
    return numbering::isDigit(digit) ? QString::fromUtf16(table[digit[0].unicode() - u'0']) : QString();
}

// Collects the report's lines; Memo1 receives them in one piece at the end.
struct Report {
    QStringList lines;
    QString readError; // set when a file that opened could not be read to its end

    // Adds every line of the file whose first `width` characters equal `key`
    // (a shorter line only when it equals the key whole). A file that cannot
    // be opened adds `missing` instead (or why it cannot, when it is there).
    // False ends the report.
    bool matching(const QString &fileName, qsizetype width, const QString &key, const char16_t *missing)
    {
        // The key is encoded once and looked for in the file's own bytes; a
        // key no line can hold still has the file read, for its messages.
        const std::optional<QByteArray> encoded = listings::encodeValue(key);
        const storage::ScanResult result = storage::scanPieces(fileName, [&](QByteArrayView piece) {
            if (encoded)
                findLines(piece, width, *encoded);
        });
        if (!result.opened) {
            // Missing: the report's own words; there but unreadable: what is wrong.
            lines.append(result.status == storage::LoadStatus::Missing ? QString::fromUtf16(missing) : result.error);
            return false;
        }
        if (!result.ok()) {
            readError = result.error;
            return false;
        }
        return true;
    }

private:
    void findLines(QByteArrayView piece, qsizetype width, QByteArrayView key)
    {
        auto matches = [&](QByteArrayView line) {
            return (line.size() >= width ? line.first(width) : line) == key;
        };
        if (key.isEmpty() || key.size() != width) {
            storage::forEachLine(piece, [&](QByteArrayView line) {
                if (matches(line))
                    lines.append(storage::fromWindows1250(line));
            });
            return;
        }
        // A key of the full width can only stand at the start of a line: the
        // key is searched for, as grep does, and only its finds are read as lines.
        for (qsizetype from = 0;;) {
            const qsizetype at = piece.indexOf(key, from);
            if (at < 0)
                return;
            const qsizetype lf = piece.indexOf('\n', at);
            const qsizetype end = lf < 0 ? piece.size() : lf;
            if (at == 0 || piece[at - 1] == '\n') {
                storage::forEachLine(piece.sliced(at, end - at), [&](QByteArrayView line) {
                    if (matches(line))
                        lines.append(storage::fromWindows1250(line));
                });
                from = end;
            } else {
                from = at + 1;
            }
        }
    }
};

} // namespace

void TForm1::vehicleReport()
{
    moveFocusTo(ui->edt_rezim);

    // The digits validated for the kind being reported; positions beyond them
    // may still hold an earlier vehicle's digits.
    const bool locomotive = ui->rbtn_lokomotivy->isChecked();
    const int count = locomotive ? 6 : 11;
    QString number;
    for (int position = 1; position <= count; ++position) {
        number += cislice[position];
        if (locomotive && position == 3)
            number += QLatin1Char(' ');
    }
    const QString heading = (locomotive ? QStringLiteral("Hnací vozidlo ") : QStringLiteral("Vůz ")) + number
                            + QLatin1Char('-') + ui->lbl_kontrolka->text();
    ui->btn_uloz->setEnabled(false);
    ui->bitbtn_napoveda_dale->setEnabled(false);
    ui->BitBtn_napoveda_zpet->setEnabled(false);

    // The keys are the fields' whole texts: a character typed beyond a field's
    // width makes a key that no line can match.
    const QString rezim = ui->edt_rezim->text();
    const QString vlastnik = ui->edt_vlastnik->text();
    const QString charakteristika = ui->edt_charakteristika->text();
    const QString evidence = ui->edt_evidence->text();

    Report report;
    if (locomotive) {
        report.lines.append(digitText(kLocomotiveKinds, cislice[1]));
        report.matching(storage::LOKOMOTIVY, 6, rezim + vlastnik, u"databáze lokomotiv neexistuje");
    } else if (report.matching(storage::VOZY, 11, rezim + vlastnik + charakteristika + evidence,
                               u"databáze vozů neexistuje")
               && report.matching(storage::REZIM, 2, rezim, u"databáze režimu neexistuje")
               && report.matching(storage::VLASTNIK, 2, vlastnik, u"databáze vlastníků neexistuje")) {
        const int regime = numbering::toInt(rezim).value_or(0);
        if (regime >= 50 && regime <= 79) {
            if (report.matching(storage::TRIDA_VOZU, 2, charakteristika.left(2),
                                u"databáze páté a šesté číslice čísla vozu neexistuje"))
                report.matching(storage::CHARAKTERISTIKA, 2, charakteristika.mid(2, 2),
                                u"databáze sedmé a osmé číslice čísla vozu neexistuje");
        } else {
            report.lines.append(digitText(kWagonSeries, cislice[5]));
        }
    }

    ui->Memo1->showOutput(heading, report.lines.join(QLatin1Char('\n')));
    if (!report.readError.isEmpty())
        boxes::error(report.readError);
}
