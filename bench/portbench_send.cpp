// Send of a 64-byte hexadecimal text to an echoing device: time from the mouse
// release on Button5 to the reply in Memo1, and to the display repainted with it.
#include "bench_window.h"
#include "form1.h"
#include "portsim/bench.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 30;

// Notes the first repaint of the display after it is armed.
class PaintWatch : public QObject {
  public:
    QElapsedTimer* clock = nullptr;
    qint64 paintedAt = -1;
    bool armed = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed && event->type() == QEvent::Paint) {
            paintedAt = clock->nsecsElapsed();
            armed = false;
        }
        return QObject::eventFilter(watched, event);
    }
};

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s min %7.2f  median %7.2f  p90 %7.2f  max %7.2f ms\n", what, ms.front(),
                ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
}

} // namespace

int main(int argc, char** argv) {
    int boxes = 0;
    BenchWindow window(argc, argv, [&boxes](const QString&, const QString&) { ++boxes; });
    TForm1& form = *window.form;

    portsim::Config config;
    config.echo = true;
    portsim::Bench bench(config);
    if (!bench.Start()) {
        std::fprintf(stderr, "bench: %s\n", bench.Error().c_str());
        return 1;
    }

    form.CheckBox1->setChecked(true); // hex display
    form.ComboBox1->setEditText(QString::fromStdString(bench.DevicePath()));
    form.BitBtn1->click();
    if (!form.PortOpen) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    // Bytes 01 to 40; in hex display the echo reads exactly as the text sent.
    QString expected;
    for (int i = 1; i <= 64; ++i)
        expected += QString(" %1").arg(i, 2, 16, QChar('0')).toUpper();
    form.Edit2->setText(expected);

    QElapsedTimer clock;
    PaintWatch watch;
    watch.clock = &clock;
    form.Memo1->viewport()->installEventFilter(&watch);

    std::vector<double> toText, toScreen;
    int incomplete = 0;
    for (int round = 0; round < Rounds; ++round) {
        form.Memo1->clear();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        watch.paintedAt = -1;
        watch.armed = true;
        const QPointF local(5, 5);
        QMouseEvent release(QEvent::MouseButtonRelease, local, form.Button5->mapToGlobal(local),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        clock.start();
        QCoreApplication::sendEvent(form.Button5, &release);
        const qint64 inText = clock.nsecsElapsed();
        while (watch.paintedAt < 0 && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (form.Memo1->toPlainText() != expected) ++incomplete;
        toText.push_back(inText / 1e6);
        if (watch.paintedAt >= 0) toScreen.push_back(watch.paintedAt / 1e6);
    }

    std::printf("64-byte hex send, echoing device, %d rounds (%d incomplete replies, %d boxes)\n",
                Rounds, incomplete, boxes);
    Report("release -> reply in Memo1", toText);
    if (!toScreen.empty()) Report("release -> Memo1 repainted", toScreen);
    bench.Stop();
    return incomplete == 0 ? 0 : 2;
}
