// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The two personal settings in the menu Nastavení, kept in nastaveni.txt.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit3.h"
#include "boxes.h"
#include "storage.h"

namespace {
// Flips `item` and writes its new state into line `line` of nastaveni.txt
// (0 technical parameters, 1 maintenance); every other line keeps its place.
void toggleSetting(Ui::TForm1 *ui, int line, QAction *item, const QString &prefix, const QString &name)
{
    const storage::LoadResult loaded = storage::load(storage::NASTAVENI);
    if (!loaded.ok()) {
        boxes::error(loaded.error);
        return;
    }
    QListWidget *list = ui->lbx_tridit;
    list->clear();
    list->addItems(loaded.lines);
    if (line >= list->count()) {
        boxes::error(QStringLiteral("V souboru nastaveni.txt chybí řádek %1 s nastavením %2.").arg(line + 1).arg(name));
        return;
    }
    const QString previous = list->item(line)->text();
    delete list->takeItem(line);
    const bool on = !item->isChecked();
    item->setChecked(on);
    list->insertItem(line, prefix + (on ? QStringLiteral(" true") : QStringLiteral(" false")));

    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    const storage::SaveResult saved = storage::save(storage::NASTAVENI, lines);
    if (!saved.ok) {
        // The file keeps its old line, and the next start will read it: show
        // that state rather than one that exists nowhere.
        item->setChecked(TForm_uvod::settingOn(previous));
        boxes::error(saved.error);
    }
}
} // namespace

void TForm1::technikaClick()
{
    toggleSetting(ui, 0, ui->technika, QStringLiteral("te"), QStringLiteral("Technické parametry"));
}

void TForm1::udrzbaClick()
{
    toggleSetting(ui, 1, ui->udrzba, QStringLiteral("ud"), QStringLiteral("Údržba"));
}
