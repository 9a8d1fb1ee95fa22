// Port panel: open, close and reconfigure the port.
#include "form1.h"

void TForm1::BitBtn1Click() {}
void TForm1::Button1Click() {}
void TForm1::ComboBox1Click() {}
void TForm1::Edit1Change() {}
