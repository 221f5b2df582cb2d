// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The seven help pages, their arrows, and About.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "outputpane.h"

#include <QDir>

namespace {

struct HelpPage {
    const char16_t *title;
    const char16_t *text; // one paragraph; the pane wraps it
};

// The texts are kept exactly as written, odd blanks included.
const HelpPage kPages[7] = {
    {u"Nápověda k výpočtu kontrolní číslice",
     u"1. Pomocí přepínacích tlačítek lokomotivy-vozy zvolte, bude-li vypočítána kontrolní číslice vozů nebo lokomotiv. Po zadání úplného čísla vozidla bez kontrolní číslice a klepnutí na tlačítko \"zadáno\" (pokud zadáte jako poslední evidenční číslo vozidla, stačí stisknout enter) bude zobrazena vypočítaná kontrolní číslice a dále v poli výpisů bude zobrazeno vše, co se v databázích o daném vozidlu nalézá.*****Pro posun v nápovědě používejte šipky vpravo vedle nápovědy. *****"},
    {u"Nápověda k uložení zadaného vozidla do databáze",
     u"2. Vozidlo, u kterého je zobrazena vypočítaná kontrolní číslice, můžete uložit do databáze pomocí nabídky v hlavním menu \"Databáze\", nabídka \"uložit vozidlo...\". Ve zobrazeném dialogovém okně můžete zadat dislokaci vozidla, popřípadě zvolit možnost zadání celé série inventárních čísel vozidel počínaje od zadaného vozidla. V tom případě budou vozidla, která se již v databázi nacházejí a mají čísla shodná s vozidly v zadané sérii přepsána bez varování. V případě zadání jednotlivého vozidla pomocí tlačítka \"Přidat do databáze\", budete na případné vozidlo stejného čísla v databázi upozorněni."},
    {u"Nápověda k uložení databáze",
     u"3. Po uložení zadaného vozidla do databáze bude příslušná databáze zobrazena i se zadaným vozidlem. Změny v zobrazené databázi je nutno pro uchování uložit pomocí nabídky \"Uložit databázi\". Tímto bude zobrazená databáze uložena do textového souboru, který bude uložen ve stejném adresáři jako soubor Trakvid.exe."},
    {u"Nápověda k práci s databází",
     u"4. V zobrazené databázi můžete pomocí tlačítek na pravé straně databáze mazat jednotlivé řádky, nebo je upravovat. Tlačítko \"záložka\" vloží pro lepší orientaci v databázi vámi zvolený text před označený řádek.Vždy před skončením práce s databází budete vyzváni k jejímu uložení do textového souboru, pokud to neprovedete v nabídce menu."},
    {u"Nápověda k Výpisům",
     u"5. Z databáze je možno udělat výpis podle zadaných parametrů jako jsou řada lokomotivy, charakteristika vozu, nebo podle jejich dislokace."},
    {u"Nápověda k Listům",
     u"6. Listy slouží k bližší identifikaci vozů. Jsou uloženy jako textové soubory ve stejném adresáři jako soubor Trakvid.exe.  Listy jsou prozkoumávány po zadání úplného čísla vozu a klepnutí na tlačítko \"Zadáno\". Výsledky prozkoumávání jsou společně s nalezenou dislokacívozu zobrazeny do pole pro výpisy. Pokud zobrazíte celý list režimu, vlastníků, nebo charakteristiky, můžete ho v poli výpisů upravovat jako v textovém editoru a uložitdo textového souboru pomocí tlačítka \"Ulož\" do textového souboru."},
    {u"Nápověda k Nastavení",
     u"7.***Ukládání souborů v nastavení zatím není funkční*** V menu nastavení můžete zvolit, bude-li vytvořena ke zvolenému vozu databáze dalších údajů. Údaje budou ukládány do samostatných textových souborů a po editaci vozu budou zobrazeny v poli výpisů. V nabídce \"technika\" můžete zadat rok výroby, výrobce a typ podvozku vozu. V nabídce \"údržba\" potom najeté kilometry, data revize a prohlídek PM, PO a kotoučové brzdy. V hlavním menu pouze klepnutím zvolte, budou-li při ukládání vozu do databáze uloženy i zmíněné údaje."},
};

const char16_t *const kAbout = u"Program vznikl jako semestrální projekt z programování. "
                               u"Program je stále ve vývoji, případné mouchy budou vychytány.";

} // namespace

// Pages 1 to 7; only the help pages enable the arrows. "Ulož" is left as it was.
void TForm1::showHelpPage(int page)
{
    const HelpPage &help = kPages[page - 1];
    strana_napovedy = page;
    ui->BitBtn_napoveda_zpet->setEnabled(page > 1);
    ui->bitbtn_napoveda_dale->setEnabled(page < 7);
    ui->Memo1->showOutput(QString::fromUtf16(help.title), QString::fromUtf16(help.text));
}

void TForm1::n1Click() { showHelpPage(1); }
void TForm1::n2Click() { showHelpPage(2); }
void TForm1::n3Click() { showHelpPage(3); }
void TForm1::n4Click() { showHelpPage(4); }
void TForm1::n5Click() { showHelpPage(5); }
void TForm1::n6Click() { showHelpPage(6); }
void TForm1::n7Click() { showHelpPage(7); }

// The arrows choose the neighbouring page's menu item, as the user would.
void TForm1::bitbtn_napoveda_daleClick()
{
    QAction *const items[7] = {ui->n1, ui->n2, ui->n3, ui->n4, ui->n5, ui->n6, ui->n7};
    if (strana_napovedy >= 1 && strana_napovedy <= 6)
        items[strana_napovedy]->trigger();
}

void TForm1::BitBtn_napoveda_zpetClick()
{
    QAction *const items[7] = {ui->n1, ui->n2, ui->n3, ui->n4, ui->n5, ui->n6, ui->n7};
    if (strana_napovedy >= 2 && strana_napovedy <= 7)
        items[strana_napovedy - 2]->trigger();
}

// Leaves the arrows and the last page alone, so the help goes on from there.
void TForm1::Oprogramu1Click()
{
    ui->btn_uloz->setEnabled(false);
    // Then the version, the licence and the folder whose files are in use.
    ui->Memo1->showOutput(QStringLiteral("O programu"),
                          QString::fromUtf16(kAbout) + QStringLiteral("\nTrakvid " TRAKVID_VERSION " · licence MIT · data: ")
                              + QDir::toNativeSeparators(QDir::currentPath()));
}
