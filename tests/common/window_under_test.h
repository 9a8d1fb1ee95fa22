// The real main window as the tests and the window benchmarks make it: TForm1 with
// its two About boxes, then shown so that FormShow runs. The caller chooses the
// settings folder and the message-box hooks first.
#ifndef PORTBENCH_TESTS_COMMON_WINDOW_UNDER_TEST_H
#define PORTBENCH_TESTS_COMMON_WINDOW_UNDER_TEST_H

#include "about_boxes.h"
#include "form1.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

inline std::unique_ptr<TForm1> NewMainWindow() {
    auto form = std::make_unique<TForm1>();
    form->Form2 = new TForm2(form.get());
    form->Form3 = new TForm3(form.get());
    return form;
}

inline void ShowMainWindow(TForm1& form) {
    form.show();
    QCoreApplication::processEvents();
}

// Lines as the display shows them: wrapped lines count, an empty last line does not.
inline int ShownLines(QPlainTextEdit* memo) {
    QTextDocument* document = memo->document();
    int count = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        document->documentLayout()->blockBoundingRect(block); // lays the block out
        count += block.layout()->lineCount();
    }
    return document->lastBlock().text().isEmpty() ? count - 1 : count;
}

#endif
