// TForm1: the main window of PortBench. Controls are members under their own
// names; each bound event has one handler method, implemented in the file of
// the panel it belongs to (port_panel.cpp, receive_display.cpp, send_panel.cpp,
// loadcell_panel.cpp, toolbar_panel.cpp, language.cpp, startup.cpp).
#ifndef PORTBENCH_FORM1_H
#define PORTBENCH_FORM1_H

#include "button.h"
#include "combobox.h"
#include "device_watch.h"
#include "receive_display.h"
#include "send_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <vector>

// The receive display: a word-wrapping plain-text box whose Return key inserts nothing.
class TMemo : public QPlainTextEdit {
  public:
    explicit TMemo(QWidget* parent) : QPlainTextEdit(parent) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class TForm2;
class TForm3;
enum class TextId;
struct PortButton;

class TForm1 : public QWidget {
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Program-wide state.
    QString CurrentLanguage;
    bool PortOpen = false;

    // The About boxes, created hidden by the program entry (or a test) and shown by
    // ToolButton5Click.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;

    // Controls, in the order of the window from top to bottom.
    QWidget* CoolBar1;
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QToolButton* ToolButton4;
    QToolButton* ToolButton5;
    TMemo* Memo1;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    TComboBox* ComboBox1;
    QLabel* Label2;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QCheckBox* CheckBox1;
    QPushButton* BitBtn1;
    QGroupBox* GroupBox5;
    QLabel* Label4;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QLineEdit* Edit2;
    TButton* Button5;
    QCheckBox* CheckBox2;
    QLineEdit* Edit3;
    QLabel* Label5;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QGroupBox* GroupBox3;
    QLabel* Label3;
    QComboBox* ComboBox2;
    TButton* Button3;
    QProgressBar* ProgressBar1;
    QGroupBox* GroupBox4;
    TButton* Button2;
    QGroupBox* GroupBox6;
    TButton* Button4;
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* LostDeviceCheck; // runs while the port is open
    // Made by OpenDialog() when it is first needed: the toolkit's dialog builds
    // its whole file browser (icons looked up in every theme folder) when made,
    // which would be most of the window's start-up.
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* OpenDialog();
    std::vector<QPixmap> ImageList1; // the tool-bar pictures, 16 x 16

    // Start-up (startup.cpp).
    void FormCreate();
    void FormShow();

    // Port panel (port_panel.cpp).
    void BitBtn1Click();
    void Button1Click();
    void ComboBox1Click();
    void Edit1Change();
    // Closes an open port through the library and puts the window in its closed
    // state (poll stopped, PortOpen false); false when the library refused.
    bool ReleasePort();
    // The slow check of the open device: a lost one closes the port and says so.
    void LostDeviceTimer();

    // Receive display (receive_display.cpp).
    void Timer1Timer();
    void Memo1Change();
    void CheckBox1Click();
    void AppendToDisplay(const QString& text);
    void SetDisplayText(const QString& text); // the whole text, as a file load gives it

    // Send panel (send_panel.cpp).
    void Button5MouseUp();
    void Timer2Timer();
    void CheckBox2Click();
    void Edit3Change();
    void Edit2Change();
    void RadioButton1Click();
    void RadioButton2Click();
    void CheckBox3Click();
    void CheckBox4Click();

    // Load-cell commands (loadcell_panel.cpp).
    void Button2MouseUp();
    void Button3MouseUp();
    void Button4MouseUp();

    // Tool bar (toolbar_panel.cpp) and language switch (language.cpp).
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void GiveInputBack(); // after the file dialog

    // Puts the caption table of the current language on the controls (language.cpp).
    void ApplyLanguage();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void SetTabOrder();
    void BindHandlers();
    std::function<void()> Handler(void (TForm1::*handler)());
    bool shown_ = false;

    // --- receive display state (receive_display.cpp) ---
    ReceiveDisplayState receive_;
    void ResetReceiveStream(); // a new stream: port opened, display form changed
    void FlushReceiveStream(); // shows a character start that waits for the rest
    void StopPoll();           // stops Timer1; what waits for a next poll is shown
    void ConvertDisplayToHex();
    void ConvertDisplayToAscii();
    // --- end receive display state ---

    // --- send panel and load-cell state (send_panel.cpp, loadcell_panel.cpp) ---
    SendPanelState sendPanel_;
    int portChanges_ = 0;         // opens and closes of the port (port_panel.cpp)
    bool addressWriting_ = false; // Button3's scan and write are running
    bool closing_ = false;        // the window is closing: a running scan stops
    DeviceWatch deviceWatch_;     // the open port's device (port_panel.cpp)
    void SendEdit2(bool timed);
    void SetTimer2Interval(int32_t ms);
    bool LoadCellStart(TextId refusal);
    void AppendLine(const QString& line);
    void TogglePort(const PortButton& button); // BitBtn1Click and Button1Click (port_panel.cpp)
    // --- end send panel and load-cell state ---
};

#endif
