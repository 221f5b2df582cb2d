// The four reference lists shown, edited and saved in the output pane.
#include "Unit1.h"
#include "ui_Unit1.h"

void TForm1::Reimvozu2Click() {}
void TForm1::Vlastnkvozu1Click() {}
void TForm1::Charakteristika561Click() {}
void TForm1::Charakteristika781Click() {}
void TForm1::btn_ulozClick() {}
