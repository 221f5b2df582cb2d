// Printing and saving what the output pane shows: its heading and its text.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "memo.h"
#include "printout.h"
#include "storage.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

namespace {

QString paneHeading(Ui::TForm1 *ui) { return ui->lbl_databaze_memo->text(); }
QString paneText(Ui::TForm1 *ui) { return memoText(ui->Memo1); }

// The heading as a file name in the working directory: "Vůz 21802345123-8.txt".
QString suggestedFileName(const QString &heading)
{
    QString name = heading.left(100);
    for (QChar &c : name)
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    name = name.simplified();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name = QStringLiteral("výpis");
    return QDir::current().filePath(name + QStringLiteral(".txt"));
}

// True when `fileName` is one of the seven data files of the working
// directory, which a UTF-8 listing would spoil.
bool isDataFile(const QString &fileName)
{
    const QFileInfo chosen(fileName);
    for (const QString &name : {storage::LOKOMOTIVY, storage::VOZY, storage::REZIM, storage::VLASTNIK,
                                storage::TRIDA_VOZU, storage::CHARAKTERISTIKA, storage::NASTAVENI}) {
        const QFileInfo data(name);
        if (chosen.exists() && data.exists() ? chosen.canonicalFilePath() == data.canonicalFilePath()
                                             : chosen.absoluteFilePath() == data.absoluteFilePath())
            return true;
    }
    return false;
}

} // namespace

// Both commands need text in the pane; the change of the pane's text decides.
void TForm1::Memo1Change()
{
    const bool holdsText = !memoIsEmpty(ui->Memo1);
    ui->Tiskvpisu1->setEnabled(holdsText);
    ui->Uloitvpis1->setEnabled(holdsText);
}

void TForm1::Tiskvpisu1Click()
{
    if (memoIsEmpty(ui->Memo1))
        return;
    const QString heading = paneHeading(ui);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(heading);
    if (!boxes::print(printer))
        return;
    QFont font = ui->Memo1->font();
    font.setPointSize(10);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = printout::print(printer, heading, paneText(ui), font);
    QGuiApplication::restoreOverrideCursor();
    if (printed)
        return;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        boxes::error(QStringLiteral("Soubor %1 nelze zapsat.").arg(printer.outputFileName()));
    else
        boxes::error(QStringLiteral("Tisk na tiskárnu %1 se nezdařil.").arg(printer.printerName()));
}

void TForm1::Uloitvpis1Click()
{
    if (memoIsEmpty(ui->Memo1))
        return;
    const QString heading = paneHeading(ui);
    const QString fileName = boxes::saveFile(QStringLiteral("Uložit výpis"), suggestedFileName(heading),
                                             QStringLiteral("Textové soubory (*.txt);;Všechny soubory (*)"));
    if (fileName.isEmpty())
        return;
    if (isDataFile(fileName)) {
        boxes::message(QStringLiteral("Soubor %1 patří k datům Trakvidu, výpis do něj uložit nelze. Zvolte jiný název.")
                           .arg(fileName));
        return;
    }
    // One line for the heading, then the text; every line ends with a line break.
    QString content = heading + QLatin1Char('\n') + paneText(ui);
    if (!content.endsWith(QLatin1Char('\n')))
        content += QLatin1Char('\n');
    const storage::SaveResult saved = storage::saveBytes(fileName, content.toUtf8());
    if (!saved.ok)
        boxes::error(saved.error);
}
