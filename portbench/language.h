// The interface language: the two values of CurrentLanguage, how a text picks
// one, and every message text of the window in both languages. The captions of
// the controls are in language.cpp beside the messages.
#ifndef PORTBENCH_LANGUAGE_H
#define PORTBENCH_LANGUAGE_H

#include <QString>

// The two languages, as CurrentLanguage and the settings file spell them. They
// are compared by exact, case-sensitive equality; any other text counts as neither.
inline const char* const EnglishLanguage = "English";
inline const char* const ChineseLanguage = "Chinese";

// The one equality test a text makes on CurrentLanguage when it is shown.
enum class LanguageTest {
    English, // the English text only when the language is exactly "English"
    Chinese, // the Chinese text only when the language is exactly "Chinese"
};

// True when `test` gives the English text for `language`.
bool PicksEnglish(LanguageTest test, const QString& language);

// The message texts: message boxes (a text and a caption) and the lines and
// button captions that handlers write. The table in language.cpp holds each
// one's English and Chinese wording and its test, one row per id in this order
// (checked when it compiles; DisplaySaved stays last).
enum class TextId {
    // Port panel: BitBtn1, and the covered Button1 with texts of its own.
    NoPortName,
    NoLineParameters,
    OpenFailed,
    OpenCaption,  // the button's caption while the port is closed
    CloseCaption, // while it is open
    TwinNoPortName,
    TwinNoLineParameters,
    TwinOpenFailed,
    TwinOpenCaption, // Button1 after a failed open
    TwinCloseCaption,
    // Send panel, and the load-cell commands' refusals.
    PortNotOpen,
    NoSendData,
    SendTooLong,
    ReadCodePortNotOpen,
    NoAddressToWrite,
    NoAddressToRead,
    // Load-cell results, written as lines into the display; the number follows
    // the texts that end in a colon.
    ReadAddressFailed,
    AddressRead,
    AddressNotInReply,
    TooManyCells,
    AddressWritten,
    AddressNotWritten,
    AddressWriteAccepted,
    AddressWriteFailed,
    ReadCodeFailed,
    CodeRead,
    AddressWriteAborted, // the scan stopped: the port was closed or changed
    // The open port's device went away.
    DeviceLost,
    // Tool bar: the save confirmation; the file name follows.
    DisplaySaved,
};

// A text in one language; the caption is empty for a text that is no message box.
struct Wording {
    QString text;
    QString caption;
};

// The wording of `id` for `language`, by the test of its table row.
Wording WordingOf(TextId id, const QString& language);

// Its text only.
inline QString TextOf(TextId id, const QString& language) {
    return WordingOf(id, language).text;
}

// Shows the message box of `id`, with `tail` after its text.
void ShowMessage(TextId id, const QString& language, const QString& tail = QString());

#endif
