// A device streams 960 bytes a second for 60 seconds (by default) into the open
// window in hex display. Prints the bytes shown, the bytes lost (gaps in the
// streamed sequence), the rate at which the display took them, and the share of
// the user-interface thread's time spent in the poll.
//   portbench_receive_stream [SECONDS [BYTES_PER_SECOND]]
// A rate above the display's limit (one text of at most 255 bytes per 170 ms
// poll) measures that limit: the bytes shown per second, and the baud rate of a
// continuous 8N1 stream (10 bits a byte) that it keeps up with.
#include "bench_window.h"
#include "form1.h"
#include "portline.h"
#include "portsim/bench.h"

#include <QElapsedTimer>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    BenchWindow window(argc, argv, [](const QString& text, const QString&) {
        std::printf("message: %s\n", text.toLocal8Bit().constData());
    });
    TForm1& form = *window.form;
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 960;

    // The stream: bytes 1 to 255 over and over, so every gap shows.
    portsim::Config config;
    for (int b = 1; b <= 255; ++b)
        config.stream.push_back(static_cast<uint8_t>(b));
    config.streamRate = rate;
    portsim::Bench device(config);

    // Every byte shown, read back from what the poll adds to the display.
    long long shown = 0, lost = 0, misordered = 0;
    int previous = -1;
    QObject::connect(form.Memo1->document(), &QTextDocument::contentsChange,
                     [&](int at, int removed, int added) {
                         if (removed != 0 || added == 0) return; // the history trimming
                         QTextCursor cursor(form.Memo1->document());
                         cursor.setPosition(at);
                         cursor.setPosition(at + added, QTextCursor::KeepAnchor);
                         const QStringList bytes =
                             cursor.selectedText().split(' ', Qt::SkipEmptyParts);
                         for (const QString& text : bytes) {
                             const int byte = text.toInt(nullptr, 16);
                             if (previous > 0) {
                                 const int gap = (byte - previous - 1 + 255) % 255;
                                 if (gap > 200)
                                     ++misordered;
                                 else
                                     lost += gap;
                             }
                             previous = byte;
                             ++shown;
                         }
                     });

    // The poll, timed: the same handler, called from the same timer.
    QObject::disconnect(form.Timer1, &QTimer::timeout, &form, nullptr);
    long long pollNs = 0, ticks = 0, worstNs = 0;
    std::vector<std::pair<qint64, qint64>> perTick; // (time since the open, poll ns)
    QElapsedTimer tick, sinceOpen;
    QObject::connect(form.Timer1, &QTimer::timeout, &form, [&] {
        tick.start();
        form.Timer1Timer();
        const qint64 ns = tick.nsecsElapsed();
        pollNs += ns;
        worstNs = std::max<long long>(worstNs, ns);
        ++ticks;
        perTick.emplace_back(sinceOpen.elapsed(), ns);
    });

    {
        const QSignalBlocker quiet(form.CheckBox1);
        form.CheckBox1->setChecked(true);
    }
    if (!device.Start()) {
        std::printf("bench: %s\n", device.Error().c_str());
        return 1;
    }
    form.ComboBox1->setEditText(QString::fromStdString(device.DevicePath()));
    sinceOpen.start();
    form.BitBtn1->click();
    if (!form.PortOpen) return 1;

    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < seconds * 1000LL)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double wallNs = wall.nsecsElapsed();
    const long long shownInRun = shown;
    device.Reconfigure(portsim::Config{}); // the stream stops; what is on the way still shows
    QElapsedTimer drain;
    drain.start();
    while (drain.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    form.BitBtn1->click();

    std::printf("streamed for %d s at %d bytes/s (about %lld bytes)\n", seconds, rate,
                1LL * rate * seconds);
    std::printf("bytes shown %lld, lost %lld, out of order %lld\n", shown, lost, misordered);
    const double shownPerSecond = shownInRun / (wallNs / 1e9);
    std::printf("display took %.0f bytes/s while the stream ran: %.0f baud of a continuous 8N1 "
                "stream\n",
                shownPerSecond, shownPerSecond * 10);
    std::printf("poll: %lld ticks, %.2f ms mean, %.2f ms worst; %.1f%% of the UI thread's time "
                "(%.1f%% beyond the library's fixed 30 ms pause per tick)\n",
                ticks, pollNs / 1e6 / std::max(1LL, ticks), worstNs / 1e6, 100.0 * pollNs / wallNs,
                100.0 * (pollNs - ticks * 30e6) / wallNs);
    // The window must not slow down as the stream goes on: the first and the last 10 s.
    auto meanIn = [&](qint64 from, qint64 to) {
        double sum = 0;
        int n = 0;
        for (const auto& [at, ns] : perTick)
            if (at >= from && at < to) sum += ns, ++n;
        return n ? sum / n / 1e6 : 0.0;
    };
    const qint64 end = seconds * 1000LL;
    std::printf("poll mean in the first 10 s %.2f ms, in the last 10 s %.2f ms\n", meanIn(0, 10000),
                meanIn(end - 10000, end));
    return 0;
}
