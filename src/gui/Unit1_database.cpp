// Showing, editing and saving the vehicle databases in lbx_databaze.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit2.h"
#include "boxes.h"
#include "databasemodel.h"
#include "storage.h"

void TForm1::Uloitdatabzi1Click() {}
void TForm1::Lokomotivy1Click() {}
void TForm1::Vozy1Click() {}
void TForm1::lbx_databazeClick() {}
void TForm1::lbx_databazeExit(QWidget *receivingFocus) { Q_UNUSED(receivingFocus); }
void TForm1::lbx_databazeContextPopup(const QPoint &pos) { Q_UNUSED(pos); }
void TForm1::btn_smazClick() {}
void TForm1::Btn_upravitClick() {}
void TForm1::btn_zalozkaClick() {}
bool TForm1::FormClose() { return true; }
bool TForm1::saveDatabaseTo(const QString &fileName)
{
    const storage::SaveResult result = storage::save(fileName, m_databaze->lines());
    if (!result.ok)
        boxes::error(result.error);
    return result.ok;
}

bool TForm1::loadDatabaseFrom(const QString &fileName)
{
    storage::LoadResult result = storage::load(fileName);
    // An unreadable file leaves an empty list, never the other database's lines.
    m_databaze->setLines(result.ok() ? std::move(result.lines) : QStringList());
    return result.ok();
}
