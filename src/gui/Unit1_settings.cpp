// The two personal settings in the menu Nastavení, kept in nastaveni.txt.
#include "Unit1.h"
#include "ui_Unit1.h"

void TForm1::technikaClick() {}
void TForm1::udrzbaClick() {}
