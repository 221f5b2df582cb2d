// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Printing and saving what the output pane shows: its heading and its text.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "boxes.h"
#include "outputpane.h"
#include "printout.h"
#include "storage.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

namespace {

QString paneHeading(Ui::TForm1 *ui) { return ui->lbl_databaze_memo->text(); }
QString paneText(Ui::TForm1 *ui) { return ui->Memo1->text(); }

// The heading as a file name in the data folder: "Vůz 21802345123-8.txt". A
// heading holds what the user typed into a listing's box: a "/" would name a
// folder, a line break or a direction mark would hide in a file dialog, a
// leading "." would hide the file, and a name has at most 255 bytes.
QString suggestedFileName(const QString &heading, const QString &suffix)
{
    QString name;
    for (const QChar c : heading) {
        const QChar::Category category = c.category();
        const bool hidden = category == QChar::Other_Control || category == QChar::Other_Format
                            || category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse;
        name += c == QLatin1Char('/') || c == QLatin1Char('\\') || hidden ? QLatin1Char(' ') : c;
    }
    name = name.simplified();
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-')))
        name = name.mid(1).trimmed();
    // Cut at a whole character (never half of a surrogate pair), 200 bytes at most.
    while (name.toUtf8().size() > 200) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
        name = name.trimmed();
    }
    if (name.isEmpty())
        name = QStringLiteral("výpis");
    return QDir::current().filePath(name + suffix);
}

// True when `fileName` is one of the seven data files of the working
// directory, which a UTF-8 listing would spoil.
bool isDataFile(const QString &fileName)
{
    const QFileInfo chosen(fileName);
    for (const QString &name : storage::dataFiles()) {
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
    const bool holdsText = !ui->Memo1->isEmpty();
    ui->Tiskvpisu1->setEnabled(holdsText);
    ui->Uloitvpis1->setEnabled(holdsText);
}

void TForm1::Tiskvpisu1Click()
{
    if (ui->Memo1->isEmpty())
        return;
    const QString heading = paneHeading(ui);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(heading);
    // The dialog offers this name for printing to a PDF file; left alone it
    // would offer the home folder. A printer that is the default stays chosen.
    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFileName(suggestedFileName(heading, QStringLiteral(".pdf")));
    if (format == QPrinter::NativeFormat)
        printer.setOutputFormat(QPrinter::NativeFormat);
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
        boxes::error(storage::fileError(printer.outputFileName(), storage::Access::Write, 0));
    else
        boxes::error(QStringLiteral("Tisk na tiskárnu %1 se nezdařil.").arg(printer.printerName()));
}

void TForm1::Uloitvpis1Click()
{
    if (ui->Memo1->isEmpty())
        return;
    const QString heading = paneHeading(ui);
    const QString fileName = boxes::saveFile(QStringLiteral("Uložit výpis"), suggestedFileName(heading, QStringLiteral(".txt")),
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
