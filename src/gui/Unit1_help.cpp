// The seven help pages, their arrows, and About.
#include "Unit1.h"
#include "ui_Unit1.h"

void TForm1::showHelpPage(int page) { Q_UNUSED(page); }
void TForm1::n1Click() {}
void TForm1::n2Click() {}
void TForm1::n3Click() {}
void TForm1::n4Click() {}
void TForm1::n5Click() {}
void TForm1::n6Click() {}
void TForm1::n7Click() {}
void TForm1::bitbtn_napoveda_daleClick() {}
void TForm1::BitBtn_napoveda_zpetClick() {}
void TForm1::Oprogramu1Click() {}
