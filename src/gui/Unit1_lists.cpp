// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The four reference lists shown, edited and saved in the output pane, and
// the standard codes added to the owner and regime lists.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "outputpane.h"
#include "standardcodes.h"
#include "storage.h"

#include <QFile>

namespace {

struct ReferenceList {
    const QString &file;
    const char16_t *heading; // caption of lbl_databaze_memo while the list is shown; saving goes by it
    const char16_t *missing; // the list cannot be read
    const char16_t *saved;
    const char16_t *codes; // the shipped standard codes of the list, or nullptr
};

const ReferenceList kLists[] = {
    {storage::REZIM, u"List režimů vozu", u"databáze režimů neexistuje !!", u"list režimů vozu uložen",
     u":/codes/regimes.tsv"},
    {storage::VLASTNIK, u"List vlastníků vozu", u"List vlastníků neexistuje !!", u"list vlastníků vozu uložen",
     u":/codes/countries.tsv"},
    {storage::TRIDA_VOZU, u"List charakteristiky vozu číslice 5-6 vozu",
     u"databáze charakteristiky číslice 5-6 neexistuje !!", u"list charakteristiky vozu číslice 5-6 uložen",
     nullptr},
    {storage::CHARAKTERISTIKA, u"List charakteristiky vozu číslice 7-8 vozu",
     u"List charakteristiky číslice 7-8 neexistuje !!", u"list charakteristiky vozu číslice 7-8 uložen", nullptr},
};
const ReferenceList &kRezim = kLists[0];
const ReferenceList &kVlastnik = kLists[1];
const ReferenceList &kTridaVozu = kLists[2];
const ReferenceList &kCharakteristika = kLists[3];

// The list the pane holds under this heading, or nullptr.
const ReferenceList *listNamed(const QString &heading)
{
    for (const ReferenceList &list : kLists)
        if (heading == QString::fromUtf16(list.heading))
            return &list;
    return nullptr;
}

// A list that cannot be read changes nothing but the arrows: the pane keeps
// its text and heading, so "Ulož" can never write them into this list's file.
void showList(TForm1 &form, const ReferenceList &list)
{
    Ui::TForm1 *ui = form.ui;
    ui->bitbtn_napoveda_dale->setEnabled(false);
    ui->BitBtn_napoveda_zpet->setEnabled(false);
    const storage::FileStamp stamp = storage::stamp(list.file);
    const storage::TextResult loaded = storage::loadText(list.file);
    if (loaded.status == storage::LoadStatus::Missing) {
        boxes::message(QString::fromUtf16(list.missing));
        return;
    }
    if (!loaded.ok()) {
        boxes::error(loaded.error);
        return;
    }
    form.listStamp = stamp;
    form.listText = loaded.text;
    ui->btn_uloz->setEnabled(true);
    ui->Memo1->showList(QString::fromUtf16(list.heading), loaded.text);
}

// Names the first character of `text` that Windows-1250 has no byte for, on
// its line as the pane shows it.
QString unencodableMessage(const QString &file, const QString &text)
{
    std::vector<qsizetype> starts;
    const QString lines = paneLines(text, &starts);
    qsizetype position = 0;
    const QString character = storage::firstUnencodableCharacter(lines, &position);
    if (character.isEmpty())
        return QStringLiteral("Soubor %1 nebyl uložen: obsahuje znak, který nelze zapsat v kódování Windows-1250.")
            .arg(file);
    const qsizetype line = paneLineOf(starts, position) + 1;
    return QStringLiteral("Soubor %1 nebyl uložen: znak „%2“ na řádku %3 nelze zapsat v kódování "
                          "Windows-1250. Odstraňte ho a uložte list znovu.")
        .arg(file, character)
        .arg(line);
}

} // namespace

void TForm1::Reimvozu2Click() { showList(*this, kRezim); }
void TForm1::Vlastnkvozu1Click() { showList(*this, kVlastnik); }
void TForm1::Charakteristika561Click() { showList(*this, kTridaVozu); }
void TForm1::Charakteristika781Click() { showList(*this, kCharakteristika); }

// Writes the pane to the list its heading names; under any other heading
// (a help page, a listing, the report) it does nothing.
void TForm1::btn_ulozClick()
{
    const ReferenceList *list = listNamed(ui->lbl_databaze_memo->text());
    if (!list || !mayOverwrite(list->file, listStamp))
        return;
    const QString text = ui->Memo1->isModified() ? ui->Memo1->text() : listText;
    const storage::SaveResult result = storage::saveText(list->file, text);
    if (result.badLine >= 0) {
        boxes::message(unencodableMessage(list->file, text));
    } else if (!result.ok) {
        boxes::error(result.error);
    } else {
        listStamp = result.stamp;
        boxes::message(QString::fromUtf16(list->saved));
    }
}

// The heading is the only record of what the pane holds, so the standard
// codes are offered exactly while it names a list that has them.
void TForm1::paneHeadingChanged(const QString &heading)
{
    const ReferenceList *list = listNamed(heading);
    ui->Doplnitstandardnkdy1->setEnabled(list && list->codes);
}

// Appends the standard codes that begin no line of the list yet, as an
// ordinary edit of the pane: it can be undone, and "Ulož" saves it.
void TForm1::Doplnitstandardnkdy1Click()
{
    const ReferenceList *list = listNamed(ui->lbl_databaze_memo->text());
    if (!list || !list->codes)
        return;
    QFile table(QString::fromUtf16(list->codes));
    const QList<standardcodes::Code> codes =
        table.open(QIODevice::ReadOnly) ? standardcodes::parse(table.readAll()) : QList<standardcodes::Code>();
    if (codes.isEmpty()) { // the program is damaged: never say the list is complete
        boxes::error(QStringLiteral("Standardní kódy nelze načíst."));
        return;
    }
    const QString added = standardcodes::addition(ui->Memo1->text(), codes);
    if (added.isEmpty()) {
        boxes::message(QStringLiteral("Všechny standardní kódy už v listu jsou."));
        return;
    }
    ui->Memo1->appendToList(added);
}
