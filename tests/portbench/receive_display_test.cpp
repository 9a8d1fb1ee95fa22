// The receive display without a line: the append, the 50-line history and the
// two display-form conversions, on the real window.
#include "form_fixture.h"
#include "settings.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <array>

namespace {

class DisplayTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
    }

    QPlainTextEdit* memo() const { return form->Memo1; }
    QString Display() const { return memo()->toPlainText(); }

    // Lines as the box shows them: every wrapped line, but not an empty last one.
    int ShownLines() const { return ::ShownLines(memo()); }

    // The display form set as start-up sets it: no conversion runs.
    void DisplayForm(bool hex) {
        const QSignalBlocker quiet(form->CheckBox1);
        form->CheckBox1->setChecked(hex);
    }

    // Converts `text` to the other form with a click on the check box.
    QString Toggled(const QString& text, bool toHex) {
        DisplayForm(!toHex);
        {
            const QSignalBlocker untrimmed(memo()); // long test texts stay whole
            memo()->setPlainText(text);
        }
        form->CheckBox1->click();
        return Display();
    }

    static QString Numbered(int first, int last) {
        QStringList lines;
        for (int i = first; i <= last; ++i)
            lines << QString("line %1").arg(i);
        return lines.join('\n');
    }

    static QString Stored(const QString& section, const QString& key) {
        return TIniFile(SettingsPath()).ReadString(section, key, "<missing>");
    }
};

TEST_F(DisplayTest, AppendExtendsTheLastLineWithoutRewritingTheRest) {
    memo()->setPlainText("first\nAB");
    std::vector<std::array<int, 3>> changes; // position, removed, added
    QObject::connect(memo()->document(), &QTextDocument::contentsChange,
                     [&](int at, int removed, int added) {
                         changes.push_back({at, removed, added});
                     });

    form->AppendToDisplay("CD");
    EXPECT_EQ(Display(), "first\nABCD");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (std::array<int, 3>{8, 0, 2}));

    form->AppendToDisplay("\r\nnext\r\n"); // line breaks inside the text stay, none is added
    EXPECT_EQ(Display(), "first\nABCD\nnext\n");
    form->AppendToDisplay("X"); // after a final line break: on the new, empty line
    EXPECT_EQ(Display(), "first\nABCD\nnext\nX");
    for (const auto& change : changes)
        EXPECT_EQ(change[1], 0) << "text was removed at " << change[0];
}

TEST_F(DisplayTest, AppendKeepsTheViewAtTheEnd) {
    QScrollBar* bar = memo()->verticalScrollBar();
    for (int i = 1; i <= 30; ++i)
        form->AppendToDisplay(QString("line %1\r\n").arg(i));
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(0); // the user scrolled back; the next append follows the end again
    form->AppendToDisplay(QString(" 41").repeated(200)); // one paragraph of wrapped lines
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(DisplayTest, HistoryDropsTheOldestLinesInPairs) {
    memo()->setPlainText(Numbered(1, 52));
    EXPECT_EQ(Display(), Numbered(3, 52));

    memo()->setPlainText(Numbered(1, 51));
    EXPECT_EQ(Display(), Numbered(3, 51));

    memo()->setPlainText(Numbered(1, 50));
    form->AppendToDisplay("\r\nline 51"); // 51 lines after an append
    EXPECT_EQ(Display(), Numbered(3, 51));

    memo()->setPlainText(Numbered(1, 300)); // many lines go at once, still in pairs
    EXPECT_EQ(Display(), Numbered(251, 300));
    EXPECT_TRUE(memo()->updatesEnabled());
}

TEST_F(DisplayTest, HistoryDoesNotCountAnEmptyLastLine) {
    memo()->setPlainText(Numbered(1, 50) + "\n");
    EXPECT_EQ(Display(), Numbered(1, 50) + "\n");
    form->AppendToDisplay("line 51");
    EXPECT_EQ(Display(), Numbered(3, 51));
}

TEST_F(DisplayTest, HistoryCountsWrappedLinesAsShown) {
    // A hex stream has no line breaks: one paragraph wrapped over many lines.
    const QString stream = QString(" 41 42 43").repeated(600);
    memo()->setPlainText(stream);
    const int shown = ShownLines();
    EXPECT_TRUE(shown == 49 || shown == 50) << shown;
    EXPECT_LT(Display().size(), stream.size());
    EXPECT_TRUE(stream.endsWith(Display())); // the oldest part went

    // A short paragraph that wraps counts with all its lines.
    const QString wrapped = QString("word ").repeated(60).trimmed();
    memo()->setPlainText(wrapped);
    const int wrappedLines = ShownLines();
    ASSERT_GT(wrappedLines, 1);
    const int total = 48 + wrappedLines;
    ASSERT_GT(total, 50);
    memo()->setPlainText(Numbered(1, 48) + "\n" + wrapped);
    const int gone = total - 50 + (total - 50) % 2;
    EXPECT_EQ(Display(), Numbered(gone + 1, 48) + "\n" + wrapped);
}

TEST_F(DisplayTest, HistoryTrimsAWrappedFirstParagraphLineByLine) {
    // The oldest shown lines belong to a paragraph: only those lines of it go.
    const QString wrapped = QString("word ").repeated(60).trimmed();
    memo()->setPlainText(wrapped);
    const int wrappedLines = ShownLines();
    ASSERT_GT(wrappedLines, 2);
    const int thirdLine = memo()->document()->firstBlock().layout()->lineAt(2).textStart();

    memo()->setPlainText(wrapped + "\n" + Numbered(1, 52 - wrappedLines));
    EXPECT_EQ(Display(), wrapped.mid(thirdLine) + "\n" + Numbered(1, 52 - wrappedLines));
    EXPECT_EQ(ShownLines(), 50);
}

// Lines of every length around the width of the box, of its widest and
// narrowest characters: each is counted with the lines it really shows.
TEST_F(DisplayTest, HistoryCountsLinesJustShorterOrLongerThanTheBox) {
    for (const QChar c : {u'W', u'@', u'i', u' '}) {
        for (int length = 1; length <= 130; ++length) {
            memo()->setPlainText(QStringList(60, "x" + QString(length, c)).join('\n'));
            const int shown = ShownLines();
            EXPECT_TRUE(shown == 49 || shown == 50)
                << length << " x " << c.toLatin1() << ": " << shown;
        }
    }
}

TEST_F(DisplayTest, ToHexAndBackWithALineBreak) {
    EXPECT_EQ(Toggled("AB\n", true), "41 42 0D 0A");
    EXPECT_EQ(form->CheckBox1->text(), "Hex/AscII");
    EXPECT_EQ(Stored("Show", "type"), "HEX");

    form->CheckBox1->click();
    EXPECT_EQ(Display(), "AB\n");
    EXPECT_EQ(form->CheckBox1->text(), "AscII/Hex");
    EXPECT_EQ(Stored("Show", "type"), "ASCII");
}

TEST_F(DisplayTest, ToHexDropsTheBytesOfCharactersBeyondAscii) {
    EXPECT_EQ(Toggled(QString::fromUtf8("A中B"), true), "41 42");
    EXPECT_EQ(Toggled(QString::fromUtf8("中"), true), "");
    EXPECT_EQ(Toggled(" \t~", true), "20 09 7E"); // nothing is trimmed on the way to hex
}

TEST_F(DisplayTest, ToAsciiReadsGroupsOfDigits) {
    EXPECT_EQ(Toggled("0a 41", false), "\nA");     // lower-case digits; a line feed
    EXPECT_EQ(Toggled("41  42", false), "A");      // the empty group between two blanks
    EXPECT_EQ(Toggled("41\n42", false), "A");      // CR LF is two separators
    EXPECT_EQ(Toggled("41 00 42", false), "A");    // 00 ends the text
    EXPECT_EQ(Toggled("  41 42 \n", false), "AB"); // the text is trimmed first
    EXPECT_EQ(Toggled("4142 443", false), "BC");   // the low byte of longer groups
    EXPECT_EQ(Toggled("4G41", false), "\x04"
                                      "A"); // any other character separates
    EXPECT_EQ(Toggled("e4 b8 ad", false), QString::fromUtf8("中"));
    EXPECT_EQ(Toggled("41 0D 0A 42 0D 42", false), "A\nB\nB"); // CR LF, and a lone CR, break
    EXPECT_EQ(Toggled("", false), "");
}

TEST_F(DisplayTest, ToAsciiReadsAGroupOfMoreThanEightDigitsByItsLastEight) {
    EXPECT_EQ(Toggled("10000000041 42", false), "AB");
    EXPECT_EQ(Toggled("41 FFFFFFFFFF42", false), "AB");
    EXPECT_EQ(Toggled("123456789", false), QString::fromUtf8("\xEF\xBF\xBD")); // 0x89 alone
}

TEST_F(DisplayTest, ToAsciiRestartsBehindTheFirstByteWhenTheAreaIsFull) {
    // 3071 bytes fill the area; the group after them is dropped and writing
    // goes on at the second byte.
    const QString full = "31 " + QString("41 ").repeated(3070);
    EXPECT_EQ(Toggled(full + "42 43 44", false), "1CD");
    const QString almost = "31 " + QString("41 ").repeated(3069);
    EXPECT_EQ(Toggled(almost + "42 43 44", false), "1D");
}

TEST_F(DisplayTest, EachToggleStoresTheFormAlsoWithAnEmptyDisplay) {
    DisplayForm(false);
    form->CheckBox1->click();
    EXPECT_EQ(Stored("Show", "type"), "HEX");
    form->CheckBox1->click();
    EXPECT_EQ(Stored("Show", "type"), "ASCII");
    EXPECT_EQ(Display(), "");
}

TEST_F(DisplayTest, ALongConversionKeepsTheHistoryLimit) {
    DisplayForm(false);
    memo()->setPlainText(Numbered(1, 50));
    form->CheckBox1->click(); // 50 lines of text become one long paragraph of hex
    EXPECT_LE(ShownLines(), 50);
    EXPECT_TRUE(Display().endsWith("6C 69 6E 65 20 35 30")) << Display().right(40).toStdString();
}

TEST_F(DisplayTest, AClickDuringAConversionIsRefusedAndAppendsWaitForItsEnd) {
    DisplayForm(false);
    memo()->setPlainText(Numbered(1, 20));
    bool ranDuring = false;
    QTimer::singleShot(0, form.get(), [&] {
        ranDuring = Display().startsWith("line 1\n"); // the conversion has not set its result
        form->CheckBox1->click();                     // refused: the box stays ticked
        form->AppendToDisplay(" 4F 4B");              // a reply, already in the new form
    });
    form->CheckBox1->click();
    ASSERT_TRUE(ranDuring);

    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->CheckBox1->text(), "Hex/AscII");
    EXPECT_TRUE(Display().startsWith("6C 69 6E 65 20 31 0D 0A"))
        << Display().left(40).toStdString();
    // The reply starts a line of its own in the converted text.
    EXPECT_TRUE(Display().endsWith("6C 69 6E 65 20 32 30\n 4F 4B"))
        << Display().right(40).toStdString();
    EXPECT_EQ(Stored("Show", "type"), "HEX");
}

} // namespace
