// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// "uložit vozidlo...": hands the computed vehicle to the add window.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit2.h"
#include "boxes.h"
#include "storage.h"

void TForm1::uloitvozidlo1Click()
{
    // Only a vehicle whose check digit stands in lbl_kontrolka can be saved.
    QString digits;
    bool computed = ui->lbl_kontrolka->text() != QLatin1String("X");
    for (int position = 1; position <= pocet_cislic && computed; ++position) {
        if (cislice[position].isEmpty())
            computed = false;
        digits += cislice[position];
    }
    if (!computed) {
        boxes::message(QStringLiteral("Nezadali jste žádné vozidlo !!"));
        return;
    }

    // Closed first, so that the window becomes active afresh below.
    if (Form_databaze && Form_databaze->isVisible())
        Form_databaze->hide();

    const QString vozidlo = digits + QLatin1Char('-') + ui->lbl_kontrolka->text();
    const bool lokomotiva = vozidlo.size() >= 7 && vozidlo[6] == QLatin1Char('-');
    const QString shown = ui->lbl_databaze->text();
    // Adding loads the vehicle's own database over the shown one.
    const bool otherShown = lokomotiva ? shown == QStringLiteral("Databáze vozy")
                                       : shown == QStringLiteral("Databáze lokomotivy");
    if (otherShown) {
        const boxes::Answer answer =
            boxes::threeWay(QStringLiteral("Uložit"),
                            lokomotiva ? QStringLiteral("Chcete uložit změny v databázi vozy? ")
                                       : QStringLiteral("Chcete uložit změny v databázi lokomotivy? "));
        if (answer == boxes::Answer::Cancel)
            return;
        if (answer == boxes::Answer::Yes) {
            // A failed save is reported by the general error box; the window stays closed.
            if (!saveDatabaseTo(lokomotiva ? storage::VOZY : storage::LOKOMOTIVY))
                return;
            boxes::message(lokomotiva ? QStringLiteral("Změněná databáze vozů uložena")
                                      : QStringLiteral("Změněná databáze lokomotiv uložena"));
        }
    }

    setPanel(3, vozidlo);
    if (Form_databaze)
        Form_databaze->openWindow();
}
