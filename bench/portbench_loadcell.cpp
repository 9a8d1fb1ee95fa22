// WRITE_A with one cell on the line: time for the whole command, presence scan
// included, and that the window repainted between the probes. The scan bar
// paints itself when its position changes; the display's repaints, asked for
// every 10 ms by a timer, can only happen where the scan lets events run.
#include "bench_window.h"
#include "form1.h"
#include "portsim/bench.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

constexpr int Rounds = 10;

// Counts the repaints of a widget; for the scan bar also the positions painted.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QProgressBar* bar = nullptr) : bar_(bar) {}
    std::set<int> painted;
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (bar_) painted.insert(bar_->value());
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QProgressBar* bar_;
};

} // namespace

int main(int argc, char** argv) {
    BenchWindow window(argc, argv);
    TForm1& form = *window.form;

    portsim::Config config;
    config.cells = {{4}};
    config.writeAnswer = portsim::WriteAnswer::Accept;
    portsim::Bench bench(config);
    if (!bench.Start()) {
        std::fprintf(stderr, "bench: %s\n", bench.Error().c_str());
        return 1;
    }

    form.CurrentLanguage = "English";
    form.ComboBox1->setEditText(QString::fromStdString(bench.DevicePath()));
    form.BitBtn1->click();
    if (!form.PortOpen) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    form.ComboBox2->setEditText("4");
    PaintWatch watch(form.ProgressBar1);
    form.ProgressBar1->installEventFilter(&watch);
    PaintWatch displayWatch;
    form.Memo1->viewport()->installEventFilter(&displayWatch);
    QTimer repaintAsker;
    QObject::connect(&repaintAsker, &QTimer::timeout, form.Memo1->viewport(),
                     [&form] { form.Memo1->viewport()->update(); });
    repaintAsker.start(10);

    std::vector<double> ms;
    int ok = 0;
    size_t fewestPositions = 13;
    int fewestRepaints = 1000;
    for (int round = 0; round < Rounds; ++round) {
        form.Memo1->clear();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        watch.painted.clear();
        watch.paints = 0;
        displayWatch.paints = 0;
        const QPointF local(5, 5);
        QMouseEvent release(QEvent::MouseButtonRelease, local, form.Button3->mapToGlobal(local),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::sendEvent(form.Button3, &release);
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (form.Memo1->toPlainText() == "Written address OK!\n") ++ok;
        fewestPositions = std::min(fewestPositions, watch.painted.size());
        fewestRepaints = std::min(fewestRepaints, displayWatch.paints);
        if (round == 0) {
            std::printf("round 1: %d repaints of the bar, positions painted:", watch.paints);
            for (int position : watch.painted)
                std::printf(" %d", position);
            std::printf("; display repaints during the command: %d\n", displayWatch.paints);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("WRITE_A, one cell, %d rounds (%d wrote OK)\n", Rounds, ok);
    std::printf(
        "whole command: min %.1f  median %.1f  max %.1f ms (floor: 12 x 50 + 80 = 680 ms)\n",
        ms.front(), ms[ms.size() / 2], ms.back());
    std::printf("fewest distinct bar positions painted in a round: %zu of 12\n", fewestPositions);
    std::printf("fewest display repaints during a command: %d (12 probe gaps)\n", fewestRepaints);
    bench.Stop();
    return ok == Rounds ? 0 : 2;
}
