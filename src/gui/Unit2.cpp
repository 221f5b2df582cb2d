#include "Unit2.h"

#include "Unit1.h"
#include "boxes.h"

#include <QEvent>

TForm_databaze::TForm_databaze(TForm1 *form1)
    : QDialog(form1), Form1(form1)
{
    setObjectName(QStringLiteral("Form_databaze"));
    setWindowTitle(QStringLiteral("Databáze vozidel"));
    setModal(false);
}

TForm_databaze::~TForm_databaze() = default;

bool TForm_databaze::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !boxes::activationReturnsFromBox())
        FormActivate();
    return QDialog::event(e);
}

void TForm_databaze::FormActivate() {}
void TForm_databaze::btn_pridatClick() {}
void TForm_databaze::btn_zavritClick() { hide(); }
void TForm_databaze::btn_serieClick() {}
void TForm_databaze::btn_datum_revizeClick() {}
void TForm_databaze::btn_pmClick() {}
void TForm_databaze::btn_poClick() {}
void TForm_databaze::btn_kotouceClick() {}
