// FormCreate and FormShow: the port list, then the settings and captions.
#include "form1.h"

void TForm1::FormCreate() { CurrentLanguage = "Chinese"; }
void TForm1::FormShow() {}
