// The window on a real line: FormTest plus a virtual load-cell bench on a
// pseudo-terminal, opened through the port panel as a technician would.
#ifndef PORTBENCH_TEST_SEND_PANEL_FIXTURE_H
#define PORTBENCH_TEST_SEND_PANEL_FIXTURE_H

#include "form_fixture.h"
#include "portline.h"
#include "portsim/bench.h"
#include "settings.h"

#include <QMouseEvent>
#include <QTextBlock>
#include <memory>

// A mouse button released over `button`, dispatched through the application
// object as the event loop would (so an error escaping a handler reaches the error box).
inline void ReleaseMouse(QWidget* button, Qt::MouseButton which = Qt::LeftButton) {
    const QPointF local(5, 5);
    QMouseEvent release(QEvent::MouseButtonRelease, local, button->mapToGlobal(local), which,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

inline QString Stored(const QString& section, const QString& key) {
    return TIniFile(SettingsPath()).ReadString(section, key, "<missing>");
}

class LineTest : public FormTest {
  protected:
    void TearDown() override {
        if (form && form->PortOpen) ClosePort();
        FormTest::TearDown();
        if (bench) bench->Stop();
    }

    // Starts the bench and opens its line from the port panel; the window shows
    // `language` ("Chinese" or "English") texts.
    void OpenLine(portsim::Config config, const QString& language = "Chinese") {
        bench = std::make_unique<portsim::Bench>(std::move(config));
        ASSERT_TRUE(bench->Start()) << bench->Error();
        if (!form) Show();
        form->CurrentLanguage = language;
        form->ComboBox1->setEditText(QString::fromStdString(bench->DevicePath()));
        form->Edit1->setText("9600,n,8,1");
        form->BitBtn1->click();
        ASSERT_TRUE(form->PortOpen);
        ASSERT_TRUE(form->Timer1->isActive());
        // Let the window run a few polls first, as it does before any user's click.
        Pump(200);
        boxes.clear();
    }

    // Every byte the bench took from the line, once the line has been quiet for a while.
    portsim::Bytes SettledReceived() {
        size_t seen = bench->Received().size();
        for (int quiet = 0; quiet < 3;) {
            Pump(100);
            const size_t now = bench->Received().size();
            quiet = now == seen ? quiet + 1 : 0;
            seen = now;
        }
        return bench->Received();
    }

    QString Display() const { return form->Memo1->toPlainText(); }

    // The library gives the device fixed windows (50 or 80 ms after a write). Now
    // and then a loaded machine holds the bench's thread longer than that, and a
    // reply, or for a send the bytes not yet taken from the line, miss the window.
    // So a step that did not come out as expected is run again a few times before
    // the test judges its last outcome; a fault of the window fails every attempt.
    template <typename Step> void Retry(Step step) {
        for (int attempt = 1; attempt < 5 && !step(); ++attempt)
            Pump(100);
    }

    std::unique_ptr<portsim::Bench> bench;
};

inline portsim::Bytes Concat(std::initializer_list<portsim::Bytes> parts) {
    portsim::Bytes all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

#endif
