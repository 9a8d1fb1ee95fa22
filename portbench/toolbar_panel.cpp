// Tool bar: load, save, clear and About.
#include "form1.h"

#include "about_boxes.h"
#include "language.h"
#include "messages.h"
#include "plain_file.h"
#include "portline.h"
#include "text_convert.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>

// A dialog accepted with the Return key of its file-name box can leave that
// box's completion list open and grabbing the mouse, and the window inactive:
// the next click only closes the list, and tool tips (shown for the active
// window only) stop. Both come back here, however the dialog was left.
void TForm1::GiveInputBack() {
    while (QWidget* popup = QApplication::activePopupWidget())
        if (!popup->close()) break;
    activateWindow();
}

void TForm1::ToolButton1Click() {
    // The dialog object lives as long as the window, so it remembers the
    // folder and the last chosen file between uses.
    const int result = OpenDialog()->exec();
    GiveInputBack();
    if (result != QDialog::Accepted) return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    const QString name = chosen.first();
    OpenDialog1->selectFile(name);
    QByteArray bytes;
    if (!ReadPlainFile(name, bytes)) throw AppError(QString("Cannot open file %1").arg(name));
    SetDisplayText(BytesToDisplay(bytes));
}

void TForm1::ToolButton2Click() {
    // No folder: the file goes to the current directory.
    const QString name = QDateTime::currentDateTime().toString("yyyyMMddHHmm") + ".txt";
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(QString("Cannot create file %1").arg(name));
    const QByteArray bytes = DisplayToBytes(Memo1->toPlainText());
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw AppError(QString("Stream write error"));
    file.close();
    ShowMessage(TextId::DisplaySaved, CurrentLanguage, name);
}

void TForm1::ToolButton3Click() {
    Memo1->clear();
    ClearPort(); // whether or not a port is open; the window waits for it
}

void TForm1::ToolButton5Click() {
    // Form2 is the English box, Form3 the Chinese one.
    QDialog* box = PicksEnglish(LanguageTest::Chinese, CurrentLanguage)
                       ? static_cast<QDialog*>(Form2)
                       : static_cast<QDialog*>(Form3);
    if (box) ShowAboutBox(box);
}
