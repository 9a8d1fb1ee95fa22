// The interface language: the caption table and the switch.
#include "form1.h"

#include "settings.h"

#include <vector>

namespace {

const char* const MakerWebAddress = "http://www.quill-sensor.com";

enum class Property { Caption, Hint, Left };

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
        {f.BitBtn1, P::Caption, "Open", "打开"},
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
    const QString open = QString::fromUtf8(toEnglish ? "打开" : "Open");
    const QString close = QString::fromUtf8(toEnglish ? "关闭" : "Close");
    if (caption == open) return toEnglish ? "Open" : QString::fromUtf8("打开");
    if (caption == close) return toEnglish ? "Close" : QString::fromUtf8("关闭");
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
            break;
        case Property::Left:
            row.control->move(text.toInt(), row.control->y());
            break;
        }
    }
    form.setWindowTitle(WindowCaption(english, atShowTime ? "ver3.62" : "ver3.6"));
}

} // namespace

void TForm1::ApplyLanguage() {
    SetColumn(*this, CurrentLanguage == "English", /*atShowTime=*/true);
}

void TForm1::ToolButton4Click() {
    if (CurrentLanguage == "Chinese") {
        SetColumn(*this, true, false);
        CurrentLanguage = "English";
        TIniFile(SettingsPath()).WriteString("Language", "Lan", "English");
    } else if (CurrentLanguage == "English") {
        SetColumn(*this, false, false);
        CurrentLanguage = "Chinese";
        TIniFile(SettingsPath()).WriteString("Language", "Lan", "Chinese");
    }
    // Any other language read from the file is a state the switch cannot leave.
}
