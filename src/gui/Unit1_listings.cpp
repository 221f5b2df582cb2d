// The six listings of a database file into the output pane.
#include "Unit1.h"
#include "ui_Unit1.h"

void TForm1::Podleady1Click() {}
void TForm1::PodleDKV2Click() {}
void TForm1::Podleprovoznjednotky1Click() {}
void TForm1::PodleCharakteristiky1Click() {}
void TForm1::PodleDKV1Click() {}
void TForm1::PodleDomovskstanice1Click() {}
