// Receive display: the poll, the append, the history limit and the display-form toggle.
#include "form1.h"

void TForm1::Timer1Timer() {}
void TForm1::Memo1Change() {}
void TForm1::CheckBox1Click() {}
void TForm1::AppendToDisplay(const QString& text) {
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}
