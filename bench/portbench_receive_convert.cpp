// The two display-form conversions of a display holding 50 full lines: wall
// time, and the longest gap between two passes of the event loop meanwhile
// (how long the window could not respond).
#include "bench_window.h"
#include "form1.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// The longest run of one line of `unit` that the display shows unwrapped.
QString FullLine(QPlainTextEdit* memo, const QString& unit) {
    QString line = unit;
    for (;;) {
        memo->setPlainText(line + unit);
        if (ShownLines(memo) > 1) return line;
        line += unit;
    }
}

struct Figures {
    double wallMs;
    double longestGapMs;
    int passes;
    qsizetype sizeBefore;
};

// Clicks CheckBox1 once; a zero-interval timer marks every pass of the event loop.
Figures Toggle(TForm1& form) {
    const qsizetype size = form.Memo1->toPlainText().size();
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    int passes = 0;
    QTimer pass;
    pass.setInterval(0);
    QObject::connect(&pass, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++passes;
    });
    pass.start();
    clock.start();
    form.CheckBox1->click();
    const qint64 wall = clock.nsecsElapsed();
    longest = std::max(longest, wall - last);
    return {wall / 1e6, longest / 1e6, passes, size};
}

void Report(const char* name, const Figures& f, int linesAfter) {
    std::printf("%-44s %6lld chars  wall %8.1f ms  longest gap %6.2f ms  (%d loop passes; %d "
                "lines after)\n",
                name, static_cast<long long>(f.sizeBefore), f.wallMs, f.longestGapMs, f.passes,
                linesAfter);
}

} // namespace

int main(int argc, char** argv) {
    BenchWindow window(argc, argv);
    TForm1& form = *window.form;
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;

    for (int round = 0; round < rounds; ++round) {
        // ASCII to hex: 50 full lines of text.
        {
            const QSignalBlocker quiet(form.CheckBox1);
            form.CheckBox1->setChecked(false);
        }
        const QString line = FullLine(form.Memo1, "Ab3");
        QStringList lines;
        for (int i = 0; i < 50; ++i)
            lines << line;
        form.Memo1->setPlainText(lines.join('\n'));
        const int before = ShownLines(form.Memo1);
        if (before != 50) std::printf("(text shows %d lines)\n", before);
        Report("ascii to hex, 50 full lines of text", Toggle(form), ShownLines(form.Memo1));

        // Hex to ASCII: 50 full lines of hex digits, one paragraph as the poll leaves it.
        const QString unit = " 41";
        const QString hex = FullLine(form.Memo1, unit).repeated(50);
        {
            const QSignalBlocker quiet(form.Memo1); // exactly this text, untrimmed
            form.Memo1->setPlainText(hex);
        }
        if (ShownLines(form.Memo1) != 50)
            std::printf("(hex shows %d lines)\n", ShownLines(form.Memo1));
        Report("hex to ascii, 50 full lines of hex", Toggle(form), ShownLines(form.Memo1));
    }
    return 0;
}
