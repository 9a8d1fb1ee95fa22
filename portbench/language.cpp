// The interface language: the message table, the caption table and the switch.
#include "language.h"

#include "form1.h"
#include "messages.h"
#include "settings.h"

#include <cstddef>
#include <iterator>
#include <vector>

namespace {

struct TextRow {
    TextId id;
    LanguageTest test;
    const char* english;
    const char* englishCaption; // message boxes only
    // No Chinese text: the English one in both languages.
    const char* chinese;
    const char* chineseCaption;
};

// Every message text of both languages, with the test it makes.
constexpr TextRow TextTable[] = {
    // Port panel: BitBtn1.
    {TextId::NoPortName, LanguageTest::English, "Please select the available serial port", "tip",
     "必须选择串口号", "提示"},
    {TextId::NoLineParameters, LanguageTest::English,
     "Please setup serial communication parameters!", "tip", "请设置串口基本通讯参数", "提示"},
    {TextId::OpenFailed, LanguageTest::English,
     "Open the serial port failure, or does not exist, check it", "Prompting",
     "串口打开失败, 请检查串口是否存在, ", "提示"},
    {TextId::OpenCaption, LanguageTest::English, "Open", nullptr, "打开", nullptr},
    {TextId::CloseCaption, LanguageTest::English, "Close", nullptr, "关闭", nullptr},
    // Port panel: the covered Button1, whose captions keep their English word.
    {TextId::TwinNoPortName, LanguageTest::English, "Please select the available serial port",
     "tip", "请选择串口号", "tip"},
    {TextId::TwinNoLineParameters, LanguageTest::English,
     "Please setup serial communication parameters!", "tip", "请设置基本通讯参数!", "tip"},
    {TextId::TwinOpenFailed, LanguageTest::English,
     "Open the serial port failure, or does not exist, check it", "Prompting",
     "串口打开失败,请检查串口是否存在!", "Prompting"},
    {TextId::TwinOpenCaption, LanguageTest::English, "Open", nullptr, nullptr, nullptr},
    {TextId::TwinCloseCaption, LanguageTest::English, "Close", nullptr, nullptr, nullptr},
    // Send panel and load-cell refusals. READ_C's Chinese refusal keeps the English caption.
    {TextId::PortNotOpen, LanguageTest::English, "Please open the serial port at first!",
     "Prompting", "请先打开串口!", "提示"},
    {TextId::NoSendData, LanguageTest::English, "Please enter the data to be sent!", "Prompting",
     "请填写发送数据!", "提示"},
    {TextId::SendTooLong, LanguageTest::English, "At most 255 bytes can be sent at once!",
     "Prompting", "一次最多发送255个字节!", "提示"},
    {TextId::ReadCodePortNotOpen, LanguageTest::English, "Please open the serial port at first!",
     "Prompting", "请选择串口号!", "Prompting"},
    {TextId::NoAddressToWrite, LanguageTest::English, "Please specify the address to write!",
     "Prompting", "请指定要写入的地址号!", "提示"},
    {TextId::NoAddressToRead, LanguageTest::English,
     "Please specify the address to read the sensors", "Prompting", "请设置要读取的传感器地址号!",
     "提示"},
    // Load-cell results.
    {TextId::ReadAddressFailed, LanguageTest::English,
     "Reading address is not successful, check the communication connections", nullptr,
     "读地址不成功,请检测通讯连接是否正确", nullptr},
    {TextId::AddressRead, LanguageTest::English, "Address of the current LoadCell:", nullptr,
     "当前传感器的地址:", nullptr},
    {TextId::AddressNotInReply, LanguageTest::English,
     "Reading address is unsuccessful,Please check sensors exist or not", nullptr, nullptr,
     nullptr},
    {TextId::TooManyCells, LanguageTest::English,
     "The number of sensors is greater than 1, then only one LoadCell", nullptr,
     "传感器个数大于1,写地址时只能接一只传感器", nullptr},
    {TextId::AddressWritten, LanguageTest::English,
     "Written address to complete! Read address of the current LoadCell:", nullptr,
     "写入地址完成! 读出当前传感器地址:", nullptr},
    {TextId::AddressNotWritten, LanguageTest::English, "Address written into the unsuccessful!",
     nullptr, "地址写入不成功!", nullptr},
    {TextId::AddressWriteAccepted, LanguageTest::English, "Written address OK!", nullptr,
     "写地址 OK!", nullptr},
    {TextId::AddressWriteFailed, LanguageTest::English,
     "Address unsuccessful write, check communications connection", nullptr,
     "写地址不成功,请检测通讯连接是否正确!", nullptr},
    {TextId::ReadCodeFailed, LanguageTest::English,
     "Read A/D code unsuccessful,Please check the Address!", nullptr,
     "读内码不成功,请检查地址是否正确!", nullptr},
    {TextId::CodeRead, LanguageTest::English, "Current LoadCell A/D code:", nullptr,
     "当前传感器内码:", nullptr},
    {TextId::AddressWriteAborted, LanguageTest::English,
     "Address write aborted: the port was closed or changed, nothing was written", nullptr,
     "写地址已中止: 串口已关闭或更换, 未写入地址", nullptr},
    {TextId::DeviceLost, LanguageTest::English,
     "The serial port device was lost (unplugged or gone), the port is closed", "Prompting",
     "串口设备已丢失(已拔出或不存在), 串口已关闭", "提示"},
    // Tool bar.
    {TextId::DisplaySaved, LanguageTest::Chinese,
     "data file has saved,At the current directory,the file name is", "Prompting",
     "数据已保存在文件中,位于当前目录中,文件名为", "提示"},
};

// One row per id, in the order of the ids, so that an id indexes its row.
constexpr bool RowsInIdOrder() {
    for (size_t i = 0; i < std::size(TextTable); ++i)
        if (static_cast<size_t>(TextTable[i].id) != i) return false;
    return std::size(TextTable) == static_cast<size_t>(TextId::DisplaySaved) + 1;
}
static_assert(RowsInIdOrder(), "the text table has one row per TextId, in the order of the ids");

const TextRow& RowOf(TextId id) {
    return TextTable[static_cast<size_t>(id)];
}

// The one wording of a row in one language: Chinese, or English where it has no Chinese one.
Wording RowWording(const TextRow& row, bool english) {
    if (english || !row.chinese)
        return {QString::fromUtf8(row.english), QString::fromUtf8(row.englishCaption)};
    return {QString::fromUtf8(row.chinese), QString::fromUtf8(row.chineseCaption)};
}

const char* const MakerWebAddress = "http://www.quill-sensor.com";

// Hint: the tool tip, which is also the control's accessible name. Name: the
// accessible name alone, for boxes that have no caption of their own.
enum class Property { Caption, Hint, Left, Name };

struct CaptionRow {
    QWidget* control;
    Property property;
    const char* english;
    const char* chinese;
};

// Every property the language sets, in the order it sets them. BitBtn1 and the
// window caption have rules of their own (below).
std::vector<CaptionRow> CaptionTable(TForm1& f) {
    using P = Property;
    return {
        {f.GroupBox1, P::Caption, "Communicate setup", "通讯基本参数"},
        {f.Label1, P::Caption, "Port", "串口号"},
        {f.Label2, P::Caption, "Series Parmeter", "串口通讯参数设置"},
        {f.BitBtn1, P::Caption, RowOf(TextId::OpenCaption).english,
         RowOf(TextId::OpenCaption).chinese},
        {f.GroupBox5, P::Caption, "Send data to COM", "发送数据到串口"},
        {f.Label4, P::Caption, "Data", "数据"},
        {f.Button5, P::Caption, "Send", "发送"},
        {f.CheckBox2, P::Caption, "interval", "定时发送"},
        {f.Label5, P::Caption, "ms/times", "ms/次"},
        {f.CheckBox3, P::Left, "310", "301"},
        {f.CheckBox4, P::Left, "356", "351"},
        {f.GroupBox3, P::Caption, "QUILL(Write Address)", "QUILL(写地址)"},
        {f.GroupBox4, P::Caption, "QUILL(Read Address)", "QUILL(读地址)"},
        {f.GroupBox6, P::Caption, "QUILL(Read A/D Code)", "QUILL(读A/D码)"},
        {f.Label3, P::Caption, "Address", "地址号:"},
        {f.Button3, P::Caption, "WRITE_A", "写地址"},
        {f.Button2, P::Caption, "READ_A", "读地址"},
        {f.Button4, P::Caption, "READ_C", "读内码"},
        {f.ToolButton1, P::Hint, "Open", "打开"},
        {f.ToolButton2, P::Hint, "Save", "保存"},
        {f.ToolButton3, P::Hint, "Clear", "清空"},
        {f.ToolButton4, P::Hint, "Chinese/English", "中/英切换"},
        {f.ToolButton5, P::Hint, "About", "关于"},
        {f.Edit2, P::Name, "Data to send", "发送数据"},
        {f.Edit3, P::Name, "Send interval in ms", "定时发送间隔(ms)"},
    };
}

void SetCaption(QWidget* control, const QString& text) {
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        label->adjustSize(); // labels size themselves to their caption
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    }
}

QString WindowCaption(bool english, const char* version) {
    return QString(english ? "QUILL PortBench(%1) %2" : "QUILLPortBench(%1) %2")
        .arg(version, MakerWebAddress);
}

// The caption BitBtn1 gets on a switch: its open/close state in the new
// language; any other caption stays.
QString SwitchedBitBtnCaption(const QString& caption, bool toEnglish) {
    for (const TextId state : {TextId::OpenCaption, TextId::CloseCaption}) {
        const TextRow& row = RowOf(state);
        if (caption == RowWording(row, !toEnglish).text) return RowWording(row, toEnglish).text;
    }
    return caption;
}

// Sets one column of the table. At show time BitBtn1 takes its row (the port
// is closed then); a switch maps its caption instead.
void SetColumn(TForm1& form, bool english, bool atShowTime) {
    for (const CaptionRow& row : CaptionTable(form)) {
        const QString text = QString::fromUtf8(english ? row.english : row.chinese);
        switch (row.property) {
        case Property::Caption:
            if (row.control == form.BitBtn1 && !atShowTime)
                SetCaption(row.control, SwitchedBitBtnCaption(form.BitBtn1->text(), english));
            else
                SetCaption(row.control, text);
            break;
        case Property::Hint:
            row.control->setToolTip(text);
            row.control->setAccessibleName(text);
            break;
        case Property::Name:
            row.control->setAccessibleName(text);
            break;
        case Property::Left:
            row.control->move(text.toInt(), row.control->y());
            break;
        }
    }
    form.setWindowTitle(WindowCaption(english, atShowTime ? "ver3.62" : "ver3.6"));
}

} // namespace

bool PicksEnglish(LanguageTest test, const QString& language) {
    return test == LanguageTest::English ? language == EnglishLanguage
                                         : language != ChineseLanguage;
}

Wording WordingOf(TextId id, const QString& language) {
    const TextRow& row = RowOf(id);
    return RowWording(row, PicksEnglish(row.test, language));
}

void ShowMessage(TextId id, const QString& language, const QString& tail) {
    const Wording wording = WordingOf(id, language);
    ShowMessageBox(wording.text + tail, wording.caption);
}

void TForm1::ApplyLanguage() {
    SetColumn(*this, PicksEnglish(LanguageTest::English, CurrentLanguage), /*atShowTime=*/true);
}

void TForm1::ToolButton4Click() {
    if (CurrentLanguage == ChineseLanguage) {
        SetColumn(*this, true, false);
        CurrentLanguage = EnglishLanguage;
        WriteSetting(SettingsKeys::Language, EnglishLanguage);
    } else if (CurrentLanguage == EnglishLanguage) {
        SetColumn(*this, false, false);
        CurrentLanguage = ChineseLanguage;
        WriteSetting(SettingsKeys::Language, ChineseLanguage);
    }
    // Any other language read from the file is a state the switch cannot leave.
}
