// Receive display: the poll, the append, the history limit and the display-form toggle.
#include "receive_display.h"

#include "form1.h"
#include "portline.h"
#include "settings.h"
#include "text_convert.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr int HistoryLines = 50;
// The output area of the hex-to-characters conversion, its ending zero included.
constexpr int ConvertAreaSize = 3072;

// Display edits made by the program keep no undo history: a document that keeps
// one never releases the text it has dropped, and the poll edits it for hours.
class UndoPause {
  public:
    explicit UndoPause(QTextDocument* document)
        : document_(document), was_(document->isUndoRedoEnabled()) {
        document_->setUndoRedoEnabled(false);
    }
    ~UndoPause() { document_->setUndoRedoEnabled(was_); }
    UndoPause(const UndoPause&) = delete;
    UndoPause& operator=(const UndoPause&) = delete;

  private:
    QTextDocument* document_;
    bool was_;
};

// What follows a text that starts a line of its own at an empty last line.
enum class AtLineStart { LeaveOpen, EndTheLine };

// `text` made to start a line of its own at the end of the display, never run
// together with what is on the last line: one line break before it unless that
// line is empty. A line break it starts with, chosen before a conversion
// replaced the text, counts as that one.
QString OnALineOfItsOwn(const QPlainTextEdit* memo, const QString& text, AtLineStart end) {
    const bool atLineStart = memo->document()->lastBlock().text().isEmpty();
    const bool startsWithBreak = text.startsWith(u'\n');
    if (!atLineStart) return startsWithBreak ? text : u'\n' + text;
    const QString line = startsWithBreak ? text.mid(1) : text;
    return end == AtLineStart::EndTheLine ? line + u'\n' : line;
}

// Counts the lines the box shows without laying a text out where it surely
// fits on one line: laying out a long text whole takes seconds, and the
// history limit keeps only its end.
class LineCounter {
  public:
    explicit LineCounter(const QPlainTextEdit* box)
        : layout_(box->document()->documentLayout()), oneLineLength_(OneLineLength(box)) {}

    int ShownLines(const QTextBlock& block) const {
        if (block.length() - 1 <= oneLineLength_ && FitsOneLine(block.text())) return 1;
        layout_->blockBoundingRect(block); // lays the block out when it is not yet
        return std::max(1, block.layout()->lineCount());
    }

    // Printable ASCII only, and too short to reach the right edge even if made
    // of the widest such character.
    bool FitsOneLine(QStringView paragraph) const {
        return paragraph.size() <= oneLineLength_ &&
               std::all_of(paragraph.cbegin(), paragraph.cend(),
                           [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    }

  private:
    // The box wraps at the width of its viewport; one character more is spared.
    static qsizetype OneLineLength(const QPlainTextEdit* box) {
        if (box->lineWrapMode() == QPlainTextEdit::NoWrap)
            return std::numeric_limits<qsizetype>::max();
        const QTextDocument* document = box->document();
        const QFontMetricsF metrics(document->defaultFont());
        qreal widest = 1;
        for (char16_t c = 0x20; c < 0x7F; ++c)
            widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
        const qreal width = box->viewport()->width() - 2 * document->documentMargin();
        return std::max(0, static_cast<int>(width / widest) - 1);
    }

    QAbstractTextDocumentLayout* layout_;
    qsizetype oneLineLength_;
};

// Lines as the box shows them: each wrapped line counts, an empty last line does not.
int VisibleLineCount(const QPlainTextEdit* memo) {
    QTextDocument* document = memo->document();
    const LineCounter counter(memo);
    int count = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        count += counter.ShownLines(block);
    if (document->lastBlock().length() <= 1) --count;
    return count;
}

// Removes the first `count` lines as shown; a wrapped line goes without the rest of its paragraph.
void RemoveFirstVisibleLines(QPlainTextEdit* memo, int count) {
    QTextDocument* document = memo->document();
    const LineCounter counter(memo);
    int end = document->characterCount() - 1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int lines = counter.ShownLines(block); // more than one: laid out
        if (count < lines) {
            end = block.position() + (count == 0 ? 0 : block.layout()->lineAt(count).textStart());
            break;
        }
        count -= lines;
    }
    QTextCursor cursor(document);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

// Where the last `count` paragraphs of `text` start; 0 when it has no more.
qsizetype StartOfLastParagraphs(const QString& text, int count) {
    qsizetype from = text.size() - 1;
    for (int n = 1;; ++n) {
        const qsizetype at = from < 0 ? -1 : text.lastIndexOf(u'\n', from);
        if (at < 0) return 0;
        if (n == count) return at + 1;
        from = at - 1;
    }
}

// Whether each of the paragraphs is one shown line.
bool EachFitsOneLine(const LineCounter& counter, QStringView paragraphs) {
    for (const QStringView paragraph : paragraphs.tokenize(u'\n'))
        if (!counter.FitsOneLine(paragraph)) return false;
    return true;
}

} // namespace

void ReceiveDisplayState::Reset() {
    stream_.Reset();
    endedWithCR_ = false;
}

QString ReceiveDisplayState::DecodePoll(const QByteArray& bytes) {
    // A byte that is no part of a character shows as U+FFFD.
    QString shown = stream_.Decode(bytes);
    if (endedWithCR_ && shown.startsWith(u'\n')) shown.remove(0, 1);
    return shown;
}

QStringList ReceiveDisplayState::EndConversion() {
    converting_ = false;
    return std::exchange(held_, {});
}

bool ReceiveDisplayState::Hold(const QString& text) {
    if (converting_) held_.append(text);
    return converting_;
}

void TForm1::ResetReceiveStream() {
    receive_.Reset();
}

// The start of a character whose rest no poll will bring now is shown as it is.
void TForm1::FlushReceiveStream() {
    const QString rest = receive_.Flush();
    if (!rest.isEmpty()) AppendToDisplay(rest);
}

void TForm1::StopPoll() {
    Timer1->stop();
    FlushReceiveStream();
}

// The poll. While a conversion runs the tick is skipped, so the bytes wait in
// the library instead of being shown in a text the conversion then replaces.
void TForm1::Timer1Timer() {
    if (receive_.Converting()) return;
    const QByteArray chunk(ReadAllPort()); // the library's text, copied up to its zero
    const bool displayEmpty = Memo1->document()->isEmpty();

    if (CheckBox1->isChecked()) {
        if (chunk.isEmpty()) {
            receive_.OtherShown();
            return;
        }
        QString text = BytesToHex(chunk, HexBlanks::BeforeEach);
        // Trimming before each byte only ever removes the first byte's blank,
        // once a second byte follows.
        if (displayEmpty && chunk.size() >= 2) text.remove(0, 1);
        AppendToDisplay(text);
        return;
    }
    // An empty poll shows nothing and leaves the stream as it stands: a CR at
    // the end of the last poll still waits for the LF the next one may bring.
    if (chunk.isEmpty()) return;
    // Trimming after each byte drops every byte up to 0x20, wherever it stands.
    QByteArray text;
    for (const char byte : chunk) {
        if (!displayEmpty || static_cast<uint8_t>(byte) > 0x20) text += byte;
    }
    if (TrimBytes(text).isEmpty()) {
        receive_.OtherShown();
        // Shown or not, these bytes end a character that waited for its rest.
        if (!text.isEmpty()) FlushReceiveStream();
        return;
    }
    const QString shown = receive_.DecodePoll(text);
    if (!shown.isEmpty()) AppendToDisplay(shown);
    receive_.PollShown(text);
}

// A result line: at an empty last line it ends that line too.
void TForm1::AppendLine(const QString& line) {
    AppendToDisplay(OnALineOfItsOwn(Memo1, line, AtLineStart::EndTheLine));
}

// Extends the last line in place; the rest of the text is not rewritten.
void TForm1::AppendToDisplay(const QString& text) {
    receive_.OtherShown();
    if (receive_.Hold(text)) return;
    QTextDocument* document = Memo1->document();
    {
        const UndoPause noUndo(document);
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text); // runs Memo1Change
    }
    QScrollBar* bar = Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// The history limit: the oldest lines go two at a time until at most 50 remain.
void TForm1::Memo1Change() {
    const int lines = VisibleLineCount(Memo1);
    if (lines <= HistoryLines) return;
    const QSignalBlocker detached(Memo1); // the removals must not come back here
    const UndoPause noUndo(Memo1->document());
    Memo1->setUpdatesEnabled(false);
    const int excess = lines - HistoryLines;
    RemoveFirstVisibleLines(Memo1, excess + excess % 2);
    while (VisibleLineCount(Memo1) > HistoryLines) // in case the rest wraps differently
        RemoveFirstVisibleLines(Memo1, 2);
    Memo1->setUpdatesEnabled(true); // one repaint
}

// Replaces the whole text, as a file load does. The history limit keeps at most
// the last 50 lines, which lie within the last 50 paragraphs, so the box is given
// only the last paragraphs, enough to show more than 50 lines, and never takes in
// and lays out a long text whole. When every paragraph left out is one shown line,
// an even number of them is left out (the limit drops lines in pairs) and the box
// keeps exactly what the limit would have kept from the whole text; otherwise the
// count of lines left out is not known without laying them out, and the box keeps
// the last 49 or 50 lines as the limit gives them from the paragraphs it was given.
void TForm1::SetDisplayText(const QString& text) {
    // 52 paragraphs show at least 52 lines, even with an empty last line not counted.
    qsizetype start = StartOfLastParagraphs(text, HistoryLines + 3);
    const QStringView left = QStringView(text).first(start);
    if (left.count(u'\n') % 2 == 1 && EachFitsOneLine(LineCounter(Memo1), left))
        start = StartOfLastParagraphs(text, HistoryLines + 4);
    Memo1->setPlainText(text.sliced(start)); // runs Memo1Change
}

// Every byte below 0x80 as two hex digits; line breaks become 0D 0A, the bytes
// of characters beyond ASCII are dropped.
void TForm1::ConvertDisplayToHex() {
    const QByteArray source = DisplayToBytes(Memo1->toPlainText());
    Memo1->setPlainText(BytesToHex(source, HexBlanks::Between, HighBytes::Dropped, ProcessEvents));
}

// Groups of hex digits become bytes; any other character closes a group. A
// group of value 0 (also an empty one between two separators) ends the text.
void TForm1::ConvertDisplayToAscii() {
    const QByteArray source = DisplayToBytes(Memo1->toPlainText());
    Memo1->setPlainText(BytesToDisplay(
        HexGroupsToBytes(source, HexGroupChars::HexDigits, ConvertAreaSize, ProcessEvents)));
}

// The display-form toggle: converts the whole display, then remembers the form.
void TForm1::CheckBox1Click() {
    if (receive_.Converting()) {
        // A click while a conversion runs would start a second one inside it;
        // the box goes back to the form being converted to, with no other effect.
        const QSignalBlocker quiet(CheckBox1);
        CheckBox1->setChecked(!CheckBox1->isChecked());
        return;
    }
    const bool toHex = CheckBox1->isChecked();
    FlushReceiveStream(); // into the text being converted
    ResetReceiveStream();
    receive_.BeginConversion();
    if (toHex) {
        CheckBox1->setText("Hex/AscII");
        ConvertDisplayToHex();
    } else {
        CheckBox1->setText("AscII/Hex");
        ConvertDisplayToAscii();
    }
    // Replies and results that arrived meanwhile were formatted in the new form;
    // each starts a line of its own in the converted text.
    const QStringList held = receive_.EndConversion();
    for (const QString& text : held)
        AppendToDisplay(OnALineOfItsOwn(Memo1, text, AtLineStart::LeaveOpen));
    WriteSetting(SettingsKeys::ShowType, toHex ? "HEX" : "ASCII");
}
