// The interface language: the caption table and the switch.
#include "form1.h"

void TForm1::ApplyLanguage() {}
void TForm1::ToolButton4Click() {}
