// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Showing, editing and saving the vehicle databases in lbx_databaze.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit2.h"
#include "boxes.h"
#include "databasemodel.h"
#include "numbering.h"
#include "outputpane.h"
#include "placement.h"
#include "storage.h"

#include <QLockFile>
#include <algorithm>

namespace {

const QString kLokomotivy = QStringLiteral("Databáze lokomotivy");
const QString kVozy = QStringLiteral("Databáze vozy");

// The two databases and their texts.
struct Database {
    QString caption;        // caption of lbl_databaze while it is shown
    QString fileName;
    QString saved;          // message after a successful save
    QString missing;        // message when the file cannot be read for showing
    QString showCaption;    // caption of the three-way box asked before it is shown
    QString saveOtherText;  // text of that box: about the other database's changes
};

const Database &lokomotivy()
{
    static const Database d{kLokomotivy, storage::LOKOMOTIVY,
                            QStringLiteral("Změněná databáze lokomotiv uložena"),
                            QStringLiteral("databáze lokomotiv neexistuje !!"),
                            QStringLiteral("Zobrazit databázi lokomotivy"),
                            QStringLiteral("Chcete uložit změny v databázi vozů? ")};
    return d;
}

const Database &vozy()
{
    static const Database d{kVozy, storage::VOZY,
                            QStringLiteral("Změněná databáze vozů uložena"),
                            QStringLiteral("databáze vozů neexistuje !!"),
                            QStringLiteral("Zobrazit databázi vozy"),
                            QStringLiteral("Chcete uložit změny v databázi lokomotiv? ")};
    return d;
}

// The database named by a caption of lbl_databaze, or nullptr for "Databáze".
const Database *shownBy(const QString &caption)
{
    if (caption == kLokomotivy)
        return &lokomotivy();
    if (caption == kVozy)
        return &vozy();
    return nullptr;
}

// Set while a handler moves or clears the selection itself: that is no
// selection by the user, so lbx_databazeClick must not report it.
bool g_selectingInternally = false;

struct InternalSelection {
    InternalSelection() { g_selectingInternally = true; }
    ~InternalSelection() { g_selectingInternally = false; }
};

// A bookmark text as it may be stored; false (after telling the user why)
// when it holds a character the file cannot keep.
bool acceptBookmarkText(QString &text)
{
    text = storage::withoutLineBreaks(text);
    const QString bad = storage::firstUnencodableCharacter(text);
    if (bad.isEmpty())
        return true;
    boxes::message(QStringLiteral("Znak „%1“ nelze zapsat do souboru databáze (kódování Windows-1250). "
                                  "Zadejte text záložky bez něj.")
                       .arg(bad));
    return false;
}

} // namespace

// ---- showing and saving -----------------------------------------------------

// Shows `target`; first offers to save the other database's unsaved changes.
static void showDatabase(TForm1 &form, const Database &target)
{
    if (form.refuseUnreadable(target.fileName))
        return;
    const Database &other = &target == &lokomotivy() ? vozy() : lokomotivy();
    if (form.ui->lbl_databaze->text() == other.caption && form.panel(2) != QLatin1String("0")) {
        switch (boxes::threeWay(target.showCaption, target.saveOtherText)) {
        case boxes::Answer::Cancel:
            return;
        case boxes::Answer::Yes:
            // Unsaved lines must not be dropped because the write failed.
            if (!form.saveDatabaseTo(other.fileName))
                return;
            boxes::message(other.saved);
            break;
        case boxes::Answer::No:
            break;
        }
    }
    form.setDatabaseCaption(target.caption);
    if (form.loadDatabaseFrom(target.fileName) == storage::LoadStatus::Missing)
        boxes::message(target.missing);
    form.setPanel(0, QStringLiteral("Počet řádků ") + QString::number(form.databaze()->count()));
    form.setPanel(2, QStringLiteral("0"));
}

void TForm1::Lokomotivy1Click() { showDatabase(*this, lokomotivy()); }

void TForm1::Vozy1Click() { showDatabase(*this, vozy()); }

void TForm1::Uloitdatabzi1Click()
{
    const Database *shown = shownBy(ui->lbl_databaze->text());
    if (!shown)
        return;
    if (!boxes::confirm(QStringLiteral("Chcete uložit změny v souboru ") + ui->lbl_databaze->text()))
        return;
    // The count goes back to "0" only when the file really holds the list.
    if (!saveDatabaseTo(shown->fileName))
        return;
    setPanel(2, QStringLiteral("0"));
    boxes::message(shown->saved);
}

bool TForm1::FormClose()
{
    const Database *shown = shownBy(ui->lbl_databaze->text());
    if (!shown)
        return true;
    const std::optional<int> changes = numbering::toInt(panel(2));
    if (!changes || *changes == 0)
        return true;
    switch (boxes::threeWay(QStringLiteral("Uložit"), QStringLiteral("Chcete uložit změny v databázi? "))) {
    case boxes::Answer::Cancel:
        return false;
    case boxes::Answer::No:
        return true;
    case boxes::Answer::Yes:
        break;
    }
    // A failed write keeps the program open with its unsaved lines.
    if (!saveDatabaseTo(shown->fileName))
        return false;
    boxes::message(shown->saved);
    // The pane goes with the window: changes a merge could not apply are told here.
    if (!lastMergeReport.isEmpty())
        boxes::message(lastMergeReport);
    return true;
}

namespace {

// Held while a file is checked and written, so that another Trakvid saving
// the same file waits: the check and the write are one step. A folder that
// cannot take the lock file saves without it; the lock of an instance that
// crashed is taken over.
class SaveLock
{
public:
    explicit SaveLock(const QString &fileName) : m_lock(fileName + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(30000);
        m_held = m_lock.tryLock(5000);
    }
    // False when another Trakvid holds the lock beyond the wait.
    bool mayWrite() const { return m_held || m_lock.error() != QLockFile::LockFailedError; }
    void unlock() { m_lock.unlock(); }

private:
    QLockFile m_lock;
    bool m_held = false;
};

} // namespace

bool TForm1::saveDatabaseTo(const QString &fileName)
{
    const Database *db = fileName == storage::LOKOMOTIVY ? &lokomotivy() : &vozy();
    bool mergeAgreed = false;
    bool emptyAgreed = false;
    bool seenChanged = false; // by a save that was refused for it
    for (;;) {
        SaveLock lock(fileName);
        if (!lock.mayWrite()) {
            boxes::error(QStringLiteral("Soubor %1 právě ukládá jiný Trakvid. Soubor zůstal beze změny, "
                                        "uložte jej znovu za chvíli.")
                             .arg(fileName));
            return false;
        }
        // The times tell at once; where the content decides, the save reads
        // it while it writes, and is refused when it changed.
        const bool changed = seenChanged || storage::writtenSince(fileName, m_databaseStamp, false);
        if (changed && !mergeAgreed) {
            // The clerk decides without holding the lock; the file is checked again after.
            lock.unlock();
            if (boxes::threeWay(QStringLiteral("Soubor změněn"),
                                QStringLiteral("Soubor %1 se od načtení změnil (zapsal jej jiný program). "
                                               "Sloučit s ním vaše změny?")
                                    .arg(fileName))
                != boxes::Answer::Yes)
                return false;
            mergeAgreed = true;
            continue;
        }
        std::optional<merge::Result> merged;
        if (changed) {
            storage::Lines theirs = m_databaze->recycledLines();
            const storage::Lines::LoadResult read = theirs.load(fileName);
            if (!read.ok()) {
                boxes::error(read.error + QStringLiteral(" Soubor zůstal beze změny."));
                return false;
            }
            // Never one file in two encodings: a file saved in UTF-8 is merged
            // as its text, or not at all.
            if (theirs.fromUtf8() == storage::Utf8::NotConvertible) {
                boxes::error(QStringLiteral("Soubor %1 uložil jiný program v kódování UTF-8 se znaky, které "
                                            "Windows-1250 nemá. Vaše změny zůstaly neuložené.")
                                 .arg(fileName));
                return false;
            }
            if (theirs.fileBytes().isEmpty() && m_databaseStamp.size > 0 && !emptyAgreed) {
                lock.unlock();
                if (!boxes::confirm(QStringLiteral("Soubor %1 je nyní prázdný. Přesto do něj zapsat vaše změny?")
                                        .arg(fileName)))
                    return false;
                emptyAgreed = true;
                continue;
            }
            // Changes are counted from the file as read now, even if the write fails.
            m_databaseStamp = read.stamp;
            merged = m_databaze->mergeWith(std::move(theirs), fileName);
            setPanel(0, QStringLiteral("Počet řádků ") + QString::number(m_databaze->count()));
        }
        const storage::SaveResult result = m_databaze->save(fileName, changed ? nullptr : &m_databaseStamp);
        // Another program made or changed the file: the check above asks.
        if (result.changedMeanwhile) {
            seenChanged = true;
            continue;
        }
        if (!result.ok) {
            boxes::error(result.error);
            return false;
        }
        m_databaseStamp = result.stamp;
        lastMergeReport.clear();
        if (merged) {
            // The list now equals the file; what was not applied is in the pane.
            setPanel(2, QStringLiteral("0"));
            ui->bitbtn_napoveda_dale->setEnabled(false);
            ui->BitBtn_napoveda_zpet->setEnabled(false);
            ui->btn_uloz->setEnabled(false);
            const QString report = merge::report(*merged).join(QLatin1Char('\n'));
            ui->Memo1->showOutput(db == &vozy() ? QStringLiteral("Sloučení databáze vozů")
                                                : QStringLiteral("Sloučení databáze lokomotiv"),
                                  report);
            if (!merged->skipped.empty())
                lastMergeReport = report;
        }
        return true;
    }
}

storage::LoadStatus TForm1::loadDatabaseFrom(const QString &fileName)
{
    // A save cut off meanwhile (another Trakvid killed) is undone before the
    // read, and the clerk told.
    if (const QString recovered = storage::recoverInterruptedSave(fileName); !recovered.isEmpty())
        boxes::message(recovered);
    // An unreadable file leaves an empty list, never the other database's lines.
    const storage::Lines::LoadResult result = m_databaze->load(fileName);
    m_databaseStamp = result.stamp;
    if (result.status == storage::LoadStatus::Unreadable) {
        // Its lines are gone from the list and the file still holds them:
        // nothing is shown, so that no save and no add can go over the file.
        setDatabaseCaption(QStringLiteral("Databáze"));
        setPanel(0, QStringLiteral("Počet řádků 0"));
        setPanel(2, QStringLiteral("0"));
        boxes::error(result.error + QStringLiteral(" Soubor zůstal beze změny."));
    }
    return result.status;
}

bool TForm1::refuseUnreadable(const QString &fileName)
{
    QString error;
    if (storage::probe(fileName, &error) != storage::LoadStatus::Unreadable)
        return false;
    boxes::error(error + QStringLiteral(" Soubor zůstal beze změny."));
    return true;
}

bool TForm1::mayOverwrite(const QString &fileName, const storage::FileStamp &lastKnown)
{
    if (!storage::writtenSince(fileName, lastKnown))
        return true;
    return boxes::threeWay(QStringLiteral("Soubor změněn"),
                           QStringLiteral("Soubor %1 se od načtení změnil (zapsal jej jiný program). Přepsat jej?")
                               .arg(fileName))
           == boxes::Answer::Yes;
}

// ---- the list and its buttons -------------------------------------------------

static void setEditButtonsEnabled(Ui::TForm1 *ui, bool enabled)
{
    ui->btn_smaz->setEnabled(enabled);
    ui->Btn_upravit->setEnabled(enabled);
    ui->btn_zalozka->setEnabled(enabled);
}

static void setLineCountLessOne(TForm1 &form)
{
    form.setPanel(0, QStringLiteral("Počet řádků ") + QString::number(form.databaze()->count() - 1));
}

void TForm1::lbx_databazeClick()
{
    if (g_selectingInternally)
        return;
    // Assistive technology selects a line without making it current: the
    // current line follows, so that the commands act on the selected one.
    QItemSelectionModel *selection = ui->lbx_databaze->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    if (!selected.isEmpty() && selected.first() != selection->currentIndex())
        selection->setCurrentIndex(selected.first(), QItemSelectionModel::NoUpdate);
    setEditButtonsEnabled(ui, true);
    setPanel(1, QStringLiteral("Řádek: ") + QString::number(selectedRow() + 1));
}

void TForm1::lbx_databazeExit(QWidget *receivingFocus, Qt::FocusReason reason)
{
    // The focus that stays in the list (its context menu) or leaves the window
    // (another window, a box) is no move to another control of this window.
    if (!receivingFocus || receivingFocus == ui->lbx_databaze || receivingFocus->window() != this)
        return;
    const std::initializer_list<QPushButton *> buttons{ui->btn_smaz, ui->Btn_upravit, ui->btn_zalozka};
    // Tab walks on to the buttons that act on the selected line: all three
    // stay usable, or no command but the first could be reached by keys.
    const bool byKeys = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (byKeys && std::find(buttons.begin(), buttons.end(), receivingFocus) != buttons.end())
        return;
    for (QPushButton *button : buttons)
        if (button != receivingFocus)
            button->setEnabled(false);
}

void TForm1::editButtonExit(QWidget *receivingFocus)
{
    // The focus going on to another control of this window leaves the line
    // as the list's own exit does; back to the list or among the buttons it
    // keeps them.
    if (!receivingFocus || receivingFocus->window() != this || receivingFocus == ui->lbx_databaze
        || receivingFocus == ui->btn_smaz || receivingFocus == ui->Btn_upravit || receivingFocus == ui->btn_zalozka)
        return;
    setEditButtonsEnabled(ui, false);
}

void TForm1::lbx_databazeContextPopup(const QPoint &pos)
{
    // As a click gives it: no line becomes current by this focus alone.
    ui->lbx_databaze->setFocus(Qt::MouseFocusReason);
    PopupMenu_databaze->popup(ui->lbx_databaze->viewport()->mapToGlobal(pos));
}

void TForm1::btn_smazClick()
{
    const int row = selectedRow();
    if (row < 0) {
        boxes::message(QStringLiteral("není vybraná žádná položka"));
        return;
    }
    if (boxes::confirm(QStringLiteral("chcete tuto položku z databáze smazat?"))) {
        InternalSelection quiet;
        // No line is selected after a deletion; clearing first also keeps the
        // view from selecting the next line in its place.
        ui->lbx_databaze->selectionModel()->clear();
        m_databaze->removeLine(row);
        // The keyboard's place stays where the line was, not at the top of
        // the list: the next line, or the last one when the last went.
        if (const int count = m_databaze->count(); count > 0)
            ui->lbx_databaze->selectionModel()->setCurrentIndex(m_databaze->index(std::min(row, count - 1)),
                                                                QItemSelectionModel::NoUpdate);
        raiseChangeCount();
        setLineCountLessOne(*this);
        // The buttons go off: a clerk who pressed one by the keyboard goes on
        // in the list, where a screen reader tells the new current line.
        if (QWidget *f = focusWidget(); f == ui->btn_smaz || f == ui->Btn_upravit || f == ui->btn_zalozka)
            ui->lbx_databaze->setFocus(Qt::OtherFocusReason);
    }
    setEditButtonsEnabled(ui, false);
}

void TForm1::btn_zalozkaClick()
{
    const int row = selectedRow();
    if (row < 0) {
        boxes::message(QStringLiteral("Vyberte položku před kterou bude umístěna záložka"));
        return;
    }
    QString text = boxes::input(QStringLiteral("Přidej záložku"), QStringLiteral("Zadej text záložky"), QString());
    ui->btn_zalozka->setEnabled(false);
    if (text.isEmpty() || !acceptBookmarkText(text))
        return;
    {
        InternalSelection quiet;
        m_databaze->insertLine(row, text);
    }
    raiseChangeCount();
    setLineCountLessOne(*this);
}

void TForm1::Btn_upravitClick()
{
    const int row = selectedRow();
    if (row < 0) {
        boxes::message(QStringLiteral("není vybraná žádná položka"));
        return;
    }
    const int numberLength = ui->lbl_databaze->text() == kVozy ? 13 : 8;
    // Only the number is decoded, whatever the length of the line.
    const QByteArrayView bytes = m_databaze->lines().bytes(row);
    const QString editText = storage::fromWindows1250(bytes.first(std::min<qsizetype>(bytes.size(), numberLength)))
                             + QStringLiteral(" Upravit");

    if (!placement::key(placement::Kind::Locomotive, bytes)) {
        // A bookmark, or the header line: its text is changed here.
        QString text = boxes::input(QStringLiteral("Změň záložku"), QStringLiteral("Zadej změněný text záložky"),
                                    QString());
        if (text.isEmpty() || !acceptBookmarkText(text)) {
            ui->Btn_upravit->setEnabled(false);
            return;
        }
        {
            InternalSelection quiet;
            ui->lbx_databaze->selectionModel()->clear();
            m_databaze->replaceLine(row, text);
        }
        setEditButtonsEnabled(ui, false);
        raiseChangeCount();
        setLineCountLessOne(*this);
        return;
    }

    // A vehicle line: the add window takes the vehicle from panel 3 and
    // writes the changed line itself.
    raiseChangeCount();
    if (Form_databaze && Form_databaze->isVisible())
        Form_databaze->hide();
    setPanel(3, editText);
    if (Form_databaze)
        Form_databaze->openWindow();
    ui->Btn_upravit->setEnabled(false);
}
