// The display's share of one poll tick: a 255-byte chunk appended to a display
// that already shows 50 lines, the history trimming included. Prints the median
// and the worst of many ticks, in hex and in ASCII display. (The poll also waits
// 30 ms inside the library's ReadAllPort; that pause is not counted here.)
#include "bench_window.h"
#include "form1.h"
#include "text_convert.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextBlock>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void Report(const char* name, std::vector<qint64> ns, int lines) {
    std::sort(ns.begin(), ns.end());
    std::printf("%-34s ticks %zu  median %8.3f ms  p99 %8.3f ms  worst %8.3f ms  (display "
                "ends with %d lines)\n",
                name, ns.size(), ns[ns.size() / 2] / 1e6, ns[ns.size() * 99 / 100] / 1e6,
                ns.back() / 1e6, lines);
}

// Appends `chunk` `ticks` times to a display that starts with 50 shown lines.
std::vector<qint64> Run(TForm1& form, const QString& fill, const QString& chunk, int ticks) {
    form.Memo1->clear();
    while (ShownLines(form.Memo1) < 50)
        form.AppendToDisplay(fill);
    std::vector<qint64> ns;
    ns.reserve(ticks);
    QElapsedTimer clock;
    for (int i = 0; i < ticks; ++i) {
        clock.start();
        form.AppendToDisplay(chunk);
        ns.push_back(clock.nsecsElapsed());
        QCoreApplication::processEvents(); // paint, as between two real ticks
    }
    return ns;
}

} // namespace

int main(int argc, char** argv) {
    BenchWindow window(argc, argv);
    TForm1& form = *window.form;
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;

    QString hexChunk; // as the poll formats 255 bytes in hex display
    for (int i = 0; i < 255; ++i)
        hexChunk += ' ' + HexByte(static_cast<uint8_t>(1 + i));
    const std::vector<qint64> hex = Run(form, " 41", hexChunk, ticks);
    Report("hex display, 255-byte chunk", hex, ShownLines(form.Memo1));

    QString asciiChunk; // 255 characters, one line break among them
    for (int i = 0; i < 253; ++i)
        asciiChunk += QChar(0x21 + i % 90);
    asciiChunk += "\r\n";
    const std::vector<qint64> ascii = Run(form, "line\r\n", asciiChunk, ticks);
    Report("ascii display, 255-byte chunk", ascii, ShownLines(form.Memo1));
    return 0;
}
