// Tool bar: load, save, clear and About.
#include "form1.h"

void TForm1::ToolButton1Click() {}
void TForm1::ToolButton2Click() {}
void TForm1::ToolButton3Click() {}
void TForm1::ToolButton5Click() {}
