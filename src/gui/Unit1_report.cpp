// The identification report written by Zadáno after the check digit.
#include "Unit1.h"
#include "ui_Unit1.h"

void TForm1::vehicleReport()
{
    moveFocusTo(ui->edt_rezim);
}
