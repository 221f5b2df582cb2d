// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The four reference lists shown, edited and saved in the output pane.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "memo.h"
#include "storage.h"

namespace {

struct ReferenceList {
    const QString &file;
    const char16_t *heading; // caption of lbl_databaze_memo while the list is shown; saving goes by it
    const char16_t *missing; // the list cannot be read
    const char16_t *saved;
};

const ReferenceList kLists[] = {
    {storage::REZIM, u"List režimů vozu", u"databáze režimů neexistuje !!", u"list režimů vozu uložen"},
    {storage::VLASTNIK, u"List vlastníků vozu", u"List vlastníků neexistuje !!", u"list vlastníků vozu uložen"},
    {storage::TRIDA_VOZU, u"List charakteristiky vozu číslice 5-6 vozu",
     u"databáze charakteristiky číslice 5-6 neexistuje !!", u"list charakteristiky vozu číslice 5-6 uložen"},
    {storage::CHARAKTERISTIKA, u"List charakteristiky vozu číslice 7-8 vozu",
     u"List charakteristiky číslice 7-8 neexistuje !!", u"list charakteristiky vozu číslice 7-8 uložen"},
};
const ReferenceList &kRezim = kLists[0];
const ReferenceList &kVlastnik = kLists[1];
const ReferenceList &kTridaVozu = kLists[2];
const ReferenceList &kCharakteristika = kLists[3];

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
    setMemoText(ui->Memo1, loaded.text);
    ui->btn_uloz->setEnabled(true);
    ui->lbl_databaze_memo->setText(QString::fromUtf16(list.heading));
}

// Names the first character of `text` that Windows-1250 has no byte for.
QString unencodableMessage(const QString &file, const QString &text)
{
    qsizetype position = 0;
    const QString character = storage::firstUnencodableCharacter(text, &position);
    if (character.isEmpty())
        return QStringLiteral("Soubor %1 nebyl uložen: obsahuje znak, který nelze zapsat v kódování Windows-1250.")
            .arg(file);
    const qsizetype line = text.left(position).count(QLatin1Char('\n')) + 1;
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
    const QString heading = ui->lbl_databaze_memo->text();
    for (const ReferenceList &list : kLists) {
        if (heading != QString::fromUtf16(list.heading))
            continue;
        if (!mayOverwrite(list.file, listStamp))
            return;
        const QString text = memoText(ui->Memo1);
        const storage::SaveResult result = storage::saveText(list.file, text);
        if (result.badLine >= 0) {
            boxes::message(unencodableMessage(list.file, text));
        } else if (!result.ok) {
            boxes::error(result.error);
        } else {
            listStamp = storage::stamp(list.file);
            boxes::message(QString::fromUtf16(list.saved));
        }
        return;
    }
}
