// Construction of the main window: every control at its place, the tab order,
// and the one table of event bindings.
#include "form1.h"

#include "about_boxes.h"
#include "bitbtn.h"
#include "coolbar.h"
#include "glyphs.h"
#include "loadcell_results.h"
#include "messages.h"
#include "window_timings.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <limits>

void TMemo::keyPressEvent(QKeyEvent* event) {
    // The display takes no line breaks from the keyboard.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

namespace {

template <typename T> T* Place(QWidget* parent, int left, int top, int width, int height) {
    auto* control = new T(parent);
    control->setGeometry(left, top, width, height);
    return control;
}

// Labels size themselves to their caption, as the window's labels do.
QLabel* PlaceLabel(QWidget* parent, int left, int top) {
    auto* label = new QLabel(parent);
    label->move(left, top);
    return label;
}

// `family` where the system has it; otherwise a fixed-pitch font, so that rows
// of hex pairs stay in columns (the font the system would substitute is often
// a proportional one), with the characters it lacks (CJK) from the last family.
// The families are looked up rather than listed as fallbacks, since the font
// configuration may map a missing family to a proportional one before a later
// family of the list is tried.
QFont TextBoxFont(const char* family) {
    const bool present = QFontDatabase::families().contains(QString::fromUtf8(family));
    QFont font(present ? QStringList{family, "WenQuanYi Micro Hei"}
                       : QStringList{"Liberation Mono", "WenQuanYi Micro Hei"});
    font.setPixelSize(12);
    return font;
}

QFont PanelFont(bool bold = false) {
    QFont font(QStringList{"Arial", "Liberation Sans", "WenQuanYi Micro Hei"});
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setObjectName("Form1");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(532, 365);
    QFont windowFont(QStringList{"MS Sans Serif", "Liberation Sans", "WenQuanYi Micro Hei"});
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setWindowIcon(ProgramIcon());

    // Placed in the centre of the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    CreateControls();
    SetTabOrder();
    BitBtn1->setIcon(LampGlyph(false));
    BindHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
    CoolBar1 = Place<TCoolBar>(this, 0, 0, 532, 33);
    ToolBar1 = Place<QToolBar>(CoolBar1, 9, 0, 515, 25);
    ImageList1 = ToolBarImages();
    QToolButton** buttons[] = {&ToolButton1, &ToolButton2, &ToolButton3, &ToolButton4,
                               &ToolButton5};
    const int imageIndex[] = {3, 2, 4, 5, 6};
    for (int i = 0; i < 5; ++i) {
        auto* button = Place<QToolButton>(ToolBar1, 23 * i, 0, 23, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus); // the tool bar is worked with the mouse only
        button->setIconSize(QSize(16, 16));
        if (imageIndex[i] < static_cast<int>(ImageList1.size()))
            button->setIcon(QIcon(ImageList1[imageIndex[i]]));
        *buttons[i] = button;
    }

    Memo1 = Place<TMemo>(this, 0, 33, 532, 161);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(true); // Tab moves on instead of typing into the display
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(TextBoxFont("SimSun"));
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Base, Qt::white);
    Memo1->setPalette(memoPalette);

    GroupBox1 = Place<QGroupBox>(this, 0, 194, 532, 56);
    Label1 = PlaceLabel(GroupBox1, 8, 26);
    ComboBox1 = Place<TComboBox>(GroupBox1, 48, 23, 73, 21);
    Label2 = PlaceLabel(GroupBox1, 128, 26);
    Edit1 = Place<QLineEdit>(GroupBox1, 232, 23, 89, 21);
    Edit1->setText("9600,n,8,1");
    // Button1 is created first so that BitBtn1 covers it exactly.
    Button1 = Place<QPushButton>(GroupBox1, 336, 22, 73, 25);
    Button1->setText("Open");
    CheckBox1 = Place<QCheckBox>(GroupBox1, 432, 25, 89, 17);
    CheckBox1->setText("AscII/Hex ");
    BitBtn1 = Place<TBitBtn>(GroupBox1, 336, 22, 73, 25);
    BitBtn1->setIconSize(QSize(15, 15));
    for (QWidget* control : GroupBox1->findChildren<QWidget*>())
        control->setFont(PanelFont(control == CheckBox1));

    GroupBox5 = Place<QGroupBox>(this, 0, 250, 532, 56);
    Label4 = PlaceLabel(GroupBox5, 8, 27);
    RadioButton1 = Place<QRadioButton>(GroupBox5, 36, 27, 45, 17);
    RadioButton1->setText("Hex");
    RadioButton1->setChecked(true);
    RadioButton2 = Place<QRadioButton>(GroupBox5, 79, 27, 45, 17);
    RadioButton2->setText("Ascii");
    Edit2 = Place<QLineEdit>(GroupBox5, 128, 25, 266, 23);
    Edit2->setMaxLength(std::numeric_limits<int>::max()); // no limit of its own
    Button5 = Place<TButton>(GroupBox5, 405, 24, 97, 25);
    Button5->setText("Send");
    CheckBox2 = Place<QCheckBox>(GroupBox5, 128, 8, 73, 15);
    Edit3 = Place<QLineEdit>(GroupBox5, 200, 8, 49, 16);
    Label5 = PlaceLabel(GroupBox5, 253, 8);
    CheckBox3 = Place<QCheckBox>(GroupBox5, 301, 8, 49, 15);
    CheckBox3->setText("DTR");
    CheckBox4 = Place<QCheckBox>(GroupBox5, 352, 8, 41, 15);
    CheckBox4->setText("RTS");
    for (QWidget* control : GroupBox5->findChildren<QWidget*>())
        control->setFont(PanelFont());
    Edit2->setFont(TextBoxFont("Arial")); // it holds hex pairs too
    // The top row of the send panel stands on a light grey ground.
    for (QWidget* control : {static_cast<QWidget*>(CheckBox2), static_cast<QWidget*>(Label5),
                             static_cast<QWidget*>(CheckBox3), static_cast<QWidget*>(CheckBox4)}) {
        QPalette ground = control->palette();
        ground.setColor(QPalette::Window, QColor(0xF1, 0xF1, 0xF1));
        control->setPalette(ground);
        control->setAutoFillBackground(true);
    }

    GroupBox3 = Place<QGroupBox>(this, 0, 307, 206, 57);
    Label3 = PlaceLabel(GroupBox3, 8, 25);
    ComboBox2 = Place<QComboBox>(GroupBox3, 56, 22, 59, 21);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    for (int address = CellResults::FirstProbedAddress; address <= CellResults::LastProbedAddress;
         ++address)
        ComboBox2->addItem(QString::number(address));
    ComboBox2->setCurrentIndex(0);
    Button3 = Place<TButton>(GroupBox3, 118, 20, 81, 25);
    Button3->setToolTip("Write Address");
    ProgressBar1 = Place<QProgressBar>(GroupBox3, 8, 47, 193, 5);
    ProgressBar1->setRange(0, CellResults::LastProbedAddress);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    GroupBox4 = Place<QGroupBox>(this, 209, 307, 161, 57);
    Button2 = Place<TButton>(GroupBox4, 33, 20, 97, 25);
    Button2->setToolTip("Read Address");

    GroupBox6 = Place<QGroupBox>(this, 373, 307, 157, 57);
    Button4 = Place<TButton>(GroupBox6, 33, 19, 97, 25);
    Button4->setToolTip("Read A/D Code");

    Timer1 = new QTimer(this);
    Timer1->setInterval(WindowTimings::ReceivePollMs);
    Timer2 = new QTimer(this);
    Timer2->setInterval(WindowTimings::TimedSendStartMs);
    LostDeviceCheck = new QTimer(this);
    LostDeviceCheck->setInterval(WindowTimings::DeviceCheckMs);
}

QFileDialog* TForm1::OpenDialog() {
    if (OpenDialog1) return OpenDialog1;
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setWindowTitle(QString::fromUtf8("打开txt文件"));
    OpenDialog1->setNameFilter(QString::fromUtf8("文本文档(*.txt)"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setSizeGripEnabled(true);
    return OpenDialog1;
}

void TForm1::SetTabOrder() {
    const QList<QWidget*> order = {Memo1,     ComboBox1, Edit1,     Button1,      CheckBox1,
                                   BitBtn1,   Edit2,     Button5,   RadioButton1, RadioButton2,
                                   CheckBox2, Edit3,     CheckBox3, CheckBox4,    ComboBox2,
                                   Button3,   Button2,   Button4};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// The event bindings of the main window, one line per control and event.
// Every bound handler runs through RunHandler, so that an error it raises is
// shown in the error box before it could reach the toolkit's code.
std::function<void()> TForm1::Handler(void (TForm1::*handler)()) {
    return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
}

// The event bindings of the main window, one line per control and event.
void TForm1::BindHandlers() {
    // Form1 create runs from the constructor; show runs once from showEvent.
    connect(Memo1, &QPlainTextEdit::textChanged, this, Handler(&TForm1::Memo1Change));
    ComboBox1->OnClick = Handler(&TForm1::ComboBox1Click); // a pick in the list
    connect(Edit1, &QLineEdit::textChanged, this, Handler(&TForm1::Edit1Change));
    connect(Button1, &QPushButton::clicked, this, Handler(&TForm1::Button1Click));
    connect(BitBtn1, &QPushButton::clicked, this, Handler(&TForm1::BitBtn1Click));
    connect(CheckBox1, &QCheckBox::toggled, this, Handler(&TForm1::CheckBox1Click));
    connect(Edit2, &QLineEdit::textChanged, this, Handler(&TForm1::Edit2Change));
    // A radio button's handler runs only when it becomes ticked.
    connect(RadioButton1, &QRadioButton::toggled, this,
            [radio1 = Handler(&TForm1::RadioButton1Click)](bool on) {
                if (on) radio1();
            });
    connect(RadioButton2, &QRadioButton::toggled, this,
            [radio2 = Handler(&TForm1::RadioButton2Click)](bool on) {
                if (on) radio2();
            });
    // The send and load-cell buttons act on the release of any mouse button,
    // never on a keyboard click.
    Button5->OnMouseUp = Handler(&TForm1::Button5MouseUp);
    connect(CheckBox2, &QCheckBox::toggled, this, Handler(&TForm1::CheckBox2Click));
    connect(Edit3, &QLineEdit::textChanged, this, Handler(&TForm1::Edit3Change));
    connect(CheckBox3, &QCheckBox::toggled, this, Handler(&TForm1::CheckBox3Click));
    connect(CheckBox4, &QCheckBox::toggled, this, Handler(&TForm1::CheckBox4Click));
    Button3->OnMouseUp = Handler(&TForm1::Button3MouseUp);
    Button2->OnMouseUp = Handler(&TForm1::Button2MouseUp);
    Button4->OnMouseUp = Handler(&TForm1::Button4MouseUp);
    connect(ToolButton1, &QToolButton::clicked, this, Handler(&TForm1::ToolButton1Click));
    connect(ToolButton2, &QToolButton::clicked, this, Handler(&TForm1::ToolButton2Click));
    connect(ToolButton3, &QToolButton::clicked, this, Handler(&TForm1::ToolButton3Click));
    connect(ToolButton4, &QToolButton::clicked, this, Handler(&TForm1::ToolButton4Click));
    connect(ToolButton5, &QToolButton::clicked, this, Handler(&TForm1::ToolButton5Click));
    connect(Timer1, &QTimer::timeout, this, Handler(&TForm1::Timer1Timer));
    connect(Timer2, &QTimer::timeout, this, Handler(&TForm1::Timer2Timer));
    connect(LostDeviceCheck, &QTimer::timeout, this, Handler(&TForm1::LostDeviceTimer));
}

void TForm1::showEvent(QShowEvent* event) {
    closing_ = false;
    if (!shown_) {
        shown_ = true;
        Handler (&TForm1::FormShow)();
    }
    QWidget::showEvent(event);
}
