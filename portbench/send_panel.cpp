// Send panel: send once or on a timer, the data-form conversions, DTR and RTS.
#include "form1.h"

void TForm1::Button5MouseUp() {}
void TForm1::Timer2Timer() {}
void TForm1::CheckBox2Click() {}
void TForm1::Edit3Change() {}
void TForm1::Edit2Change() {}
void TForm1::RadioButton1Click() {}
void TForm1::RadioButton2Click() {}
void TForm1::CheckBox3Click() {}
void TForm1::CheckBox4Click() {}
