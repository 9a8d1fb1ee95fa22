// Load-cell commands: read address, write address, read A/D code.
#include "form1.h"

#include "messages.h"
#include "portline.h"
#include "text_convert.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QTextBlock>

namespace {

constexpr int32_t AcceptedWrite = 20299; // "OK" as two ASCII codes
constexpr int32_t NoValue = -65535;
constexpr int32_t NoAddress = -64; // a reply that ends with its start byte

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

// Stops the poll and checks the port. Every command stops the poll first, also
// one refused here, and none starts it again.
bool TForm1::LoadCellStart(const char* chineseText, const char* chineseCaption) {
    StopPoll();
    if (PortOpen) return true;
    if (CurrentLanguage == "English")
        ShowMessageBox("Please open the serial port at first!", "Prompting");
    else
        ShowMessageBox(Utf8(chineseText), Utf8(chineseCaption));
    return false;
}

// One line at the end of the display, never run together with text a poll left
// on the last line.
void TForm1::AppendLine(const QString& line) {
    const bool atLineStart = Memo1->document()->lastBlock().text().isEmpty();
    AppendToDisplay(atLineStart ? line + u'\n' : u'\n' + line);
}

// Result texts pick their language when they are shown: the scan of the
// address write lets other handlers run, a language switch among them.
QString TForm1::ResultText(const char* english, const char* chinese) const {
    return Utf8(CurrentLanguage == "English" ? english : chinese);
}

void TForm1::Button2MouseUp() {
    if (!LoadCellStart("请先打开串口!", "提示")) return;
    const int32_t r = QuillReadLoadCell(0);
    if (r == 0) {
        AppendLine(
            ResultText("Reading address is not successful, check the communication connections",
                       "读地址不成功,请检测通讯连接是否正确"));
        return;
    }
    AppendLine(ResultText("Address of the current LoadCell:", "当前传感器的地址:") +
               QString::number(r));
    if (r == NoAddress) {
        // This line has no Chinese wording.
        AppendLine("Reading address is unsuccessful,Please check sensors exist or not");
        ComboBox2->setEditText(QString());
        return;
    }
    ComboBox2->setEditText(QString::number(r));
}

void TForm1::Button3MouseUp() {
    // A release while this command's own scan runs (a double click) starts nothing.
    if (addressWriting_) return;
    if (!LoadCellStart("请先打开串口!", "提示")) return;
    if (ComboBox2->currentText().isEmpty()) {
        if (CurrentLanguage == "English")
            ShowMessageBox("Please specify the address to write!", "Prompting");
        else
            ShowMessageBox(Utf8("请指定要写入的地址号!"), Utf8("提示"));
        ComboBox2->setFocus();
        return;
    }
    const QScopedValueRollback<bool> running(addressWriting_, true);
    const char* const writeFailed = "Address unsuccessful write, check communications connection";
    const char* const writeFailedChinese = "写地址不成功,请检测通讯连接是否正确!";

    // The set-address frame names no cell, so the line must carry at most one.
    // The count is about the line written to only if the port stayed as it
    // was: one closed, opened or switched between two probes writes nothing.
    const int port = portChanges_;
    int found = 0;
    ProgressBar1->show();
    for (int address = 1; address <= 12; ++address) {
        // Repaint and take input between the probes, so the bar moves.
        QCoreApplication::processEvents();
        if (portChanges_ != port) {
            ProgressBar1->hide();
            AppendLine(ResultText(writeFailed, writeFailedChinese));
            return;
        }
        ProgressBar1->setValue(address);
        const int32_t r = QuillReadLoadCell(address);
        if (r >= 1 && r <= 16) ++found;
        if (found > 1) {
            AppendLine(ResultText("The number of sensors is greater than 1, then only one LoadCell",
                                  "传感器个数大于1,写地址时只能接一只传感器"));
            ProgressBar1->hide();
            return;
        }
    }
    ProgressBar1->hide();

    const int32_t w = QuillWriteLoadCell(StrToInt(ComboBox2->currentText()));
    if (w >= 1 && w <= 254) {
        const int32_t r2 = QuillReadLoadCell(StrToInt(ComboBox2->currentText()));
        AppendLine(ResultText("Written address to complete! Read address of the current LoadCell:",
                              "写入地址完成! 读出当前传感器地址:") +
                   QString::number(r2));
        if (r2 == NoAddress)
            AppendLine(ResultText("Address written into the unsuccessful!", "地址写入不成功!"));
    } else if (w == AcceptedWrite) {
        AppendLine(ResultText("Written address OK!", "写地址 OK!"));
    } else {
        AppendLine(ResultText(writeFailed, writeFailedChinese));
    }
}

void TForm1::Button4MouseUp() {
    // This command's Chinese refusal keeps the English caption.
    if (!LoadCellStart("请选择串口号!", "Prompting")) return;
    if (ComboBox2->currentText().isEmpty()) {
        if (CurrentLanguage == "English")
            ShowMessageBox("Please specify the address to read the sensors", "Prompting");
        else
            ShowMessageBox(Utf8("请设置要读取的传感器地址号!"), Utf8("提示"));
        return;
    }
    const int32_t v = QuillReadLoadCellValue(StrToInt(ComboBox2->currentText()));
    if (v == NoValue)
        AppendLine(ResultText("Read A/D code unsuccessful,Please check the Address!",
                              "读内码不成功,请检查地址是否正确!"));
    else
        AppendLine(ResultText("Current LoadCell A/D code:", "当前传感器内码:") +
                   QString::number(v));
}
