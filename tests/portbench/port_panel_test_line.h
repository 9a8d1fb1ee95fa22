// The window and a virtual device on a real pseudo-terminal, for the port panel
// and receive display tests. Besides the bench's own end, the test holds the
// device side open itself, to read back the line settings and to see how many
// bytes still wait in the port's input queue.
#ifndef PORTBENCH_TEST_PORT_PANEL_LINE_H
#define PORTBENCH_TEST_PORT_PANEL_LINE_H

#include "form_fixture.h"
#include "portline.h"
#include "portsim/bench.h"
#include "pty_device.h"
#include "settings.h"

#include <QElapsedTimer>
#include <memory>

// A device on its own pseudo-terminal.
struct Device {
    std::unique_ptr<portsim::Bench> bench;
    ptytest::PtyEnd probe; // the device side, never read

    bool Start() {
        bench = std::make_unique<portsim::Bench>(portsim::Config{});
        if (!bench->Start()) return false;
        probe = ptytest::PtyEnd::Probe(bench->DevicePath());
        return probe.IsOpen();
    }
    ~Device() {
        probe.Close();
        if (bench) bench->Stop();
    }
    QString Path() const { return QString::fromStdString(bench->DevicePath()); }
    void Send(const portsim::Bytes& bytes) { bench->Send(bytes); }
    void Send(const char* text) {
        const std::string s(text);
        bench->Send(portsim::Bytes(s.begin(), s.end()));
    }
    // Bytes that wait in the port's input queue, not yet taken by the reader.
    int Waiting() const { return probe.Waiting(); }
    speed_t Baud() const { return probe.OutputSpeed(); }
};

class LineFormTest : public FormTest {
  protected:
    void TearDown() override {
        if (form && form->PortOpen) ClosePort();
        FormTest::TearDown();
    }

    // Starts a device; the returned reference lives as long as the test.
    Device& NewDevice() {
        devices.push_back(std::make_unique<Device>());
        EXPECT_TRUE(devices.back()->Start()) << devices.back()->bench->Error();
        return *devices.back();
    }

    // The library's reader discards what arrived before it started. Bytes put in
    // the port's queue before an open show when it has started: they are gone.
    // They are many, so that the first count the library publishes after the
    // open covers any chunk a test sends.
    void PrimeReader(Device& device) {
        device.Send(portsim::Bytes(200, 'P'));
        ASSERT_TRUE(WaitFor([&] { return device.Waiting() == 200; }, 10000));
    }
    void WaitReader(const Device& device) {
        ASSERT_TRUE(WaitFor([&] { return device.Waiting() == 0; }, 10000));
    }

    // Opens `device` from the port panel's button, as a user would, and waits
    // until the library's reader runs.
    void OpenWithButton(Device& device) {
        form->ComboBox1->setEditText(device.Path());
        PrimeReader(device);
        form->BitBtn1->click();
        ASSERT_TRUE(form->PortOpen);
        WaitReader(device);
    }

    // Sets the display form without converting anything, as start-up does.
    void DisplayForm(bool hex) {
        const QSignalBlocker quiet(form->CheckBox1);
        form->CheckBox1->setChecked(hex);
    }

    // Waits until the reader has taken everything `device` sent: the queue stays
    // empty and a generous time has passed since the send.
    void WaitTaken(const Device& device) {
        QElapsedTimer since;
        since.start();
        ASSERT_TRUE(
            WaitFor([&] { return since.elapsed() > 1500 && device.Waiting() == 0; }, 10000));
    }

    QString Display() const { return form->Memo1->toPlainText(); }
    static QString Stored(const QString& section, const QString& key) {
        return TIniFile(SettingsPath()).ReadString(section, key, "<missing>");
    }

    std::vector<std::unique_ptr<Device>> devices;
};

#endif
