// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Helpers shared by the suites of the add window: entering a vehicle in the
// main window, opening the add window, showing a database, pressing buttons.
#include "testutil.h"

#include "Unit1.h"
#include "Unit2.h"
#include "databasemodel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace addtest {

inline const QString LOKO = QStringLiteral("Databáze lokomotivy");
inline const QString VOZY = QStringLiteral("Databáze vozy");

// Types a number of 6 (locomotive) or 11 (wagon) digits into the main window's
// fields and presses "Zadáno". True when a check digit was computed.
inline bool enterVehicle(TForm1 *form1, const QString &digits)
{
    const bool loko = digits.size() == 6;
    auto *radio = child<QRadioButton>(form1, loko ? "rbtn_lokomotivy" : "rbtn_vozy");
    if (!radio->isChecked())
        QTest::mouseClick(radio, Qt::LeftButton);
    struct Part { const char *field; int from; int length; };
    const QList<Part> parts = loko ? QList<Part>{{"edt_rezim", 0, 3}, {"edt_vlastnik", 3, 3}}
                                   : QList<Part>{{"edt_rezim", 0, 2}, {"edt_vlastnik", 2, 2},
                                                 {"edt_charakteristika", 4, 4}, {"edt_evidence", 8, 3}};
    for (const Part &p : parts) {
        auto *field = child<QLineEdit>(form1, p.field);
        QTest::mouseClick(field, Qt::LeftButton); // the click empties the field
        QTest::keyClicks(field, digits.mid(p.from, p.length));
    }
    QTest::mouseClick(child<QPushButton>(form1, "BitBtn_zadano"), Qt::LeftButton);
    return child<QLabel>(form1, "lbl_kontrolka")->text() != QLatin1String("X");
}

inline bool waitActive(QWidget *w)
{
    return QTest::qWaitFor([w] { return w->isActiveWindow(); }, 3000);
}

// "uložit vozidlo..." of the main window.
inline void saveVehicleCommand(TForm1 *form1) { child<QAction>(form1, "uloitvozidlo1")->trigger(); }

// Enters the vehicle and opens the add window for it; true when it is active.
// The user works in the main window for that, so it is made active first.
inline bool openFor(Windows &w, const QString &digits)
{
    w.form1->activateWindow();
    if (!waitActive(w.form1.get()) || !enterVehicle(w.form1.get(), digits))
        return false;
    saveVehicleCommand(w.form1.get());
    return w.form_databaze->isVisible() && waitActive(w.form_databaze);
}

// The main window's list showing `lines` as the database of `caption`, as
// showing it from its file does.
inline void showDatabase(TForm1 *form1, const QString &caption, const QStringList &lines)
{
    const QString file = caption == LOKO ? QStringLiteral("lokomotivy.txt") : QStringLiteral("vozy.txt");
    writeLines(file, lines);
    form1->loadDatabaseFrom(file);
    child<QLabel>(form1, "lbl_databaze")->setText(caption);
    form1->setPanel(0, QStringLiteral("Počet řádků ") + QString::number(lines.size()));
    form1->setPanel(2, QStringLiteral("0"));
}

// Main window, then the add window again: the add window's activation runs afresh.
inline bool reactivate(Windows &w)
{
    w.form1->activateWindow();
    if (!waitActive(w.form1.get()))
        return false;
    w.form_databaze->activateWindow();
    return waitActive(w.form_databaze);
}

inline void press(QWidget *window, const char *button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// Types into an editable combo box as the user does.
inline void typeInto(QComboBox *combo, const QString &text)
{
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    typeText(combo->lineEdit(), text);
}

inline void setAllocation(TForm_databaze *dlg, const QString &dkv, const QString &domovka)
{
    typeInto(child<QComboBox>(dlg, "cmb_dkv"), dkv);
    typeInto(child<QComboBox>(dlg, "cmb_domovka"), domovka);
}

inline QStringList lines(TForm1 *form1) { return form1->databaze()->texts(); }
inline QString result(TForm_databaze *dlg) { return child<QLabel>(dlg, "lbl_databaze")->text(); }

} // namespace addtest
