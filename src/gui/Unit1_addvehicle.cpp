// "uložit vozidlo...": hands the computed vehicle to the add window.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit2.h"
#include "boxes.h"
#include "storage.h"

void TForm1::uloitvozidlo1Click() {}
