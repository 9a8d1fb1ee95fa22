// Load-cell commands: read address, write address, read A/D code.
#include "form1.h"

void TForm1::Button2MouseUp() {}
void TForm1::Button3MouseUp() {}
void TForm1::Button4MouseUp() {}
