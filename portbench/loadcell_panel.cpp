// Load-cell commands: read address, write address, read A/D code. Each result
// is a line of its own (AppendLine), its text looked up in the language of the
// moment it is shown: the scan of the address write lets other handlers run, a
// language switch among them.
#include "form1.h"

#include "language.h"
#include "loadcell_results.h"
#include "portline.h"
#include "text_convert.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

// Stops the poll and checks the port, refusing with `refusal`. Every command
// stops the poll first, also one refused here, and none starts it again.
bool TForm1::LoadCellStart(TextId refusal) {
    StopPoll();
    if (PortOpen) return true;
    ShowMessage(refusal, CurrentLanguage);
    return false;
}

void TForm1::Button2MouseUp() {
    if (!LoadCellStart(TextId::PortNotOpen)) return;
    const int32_t r = QuillReadLoadCell(0);
    if (r == CellResults::NoReply) {
        AppendLine(TextOf(TextId::ReadAddressFailed, CurrentLanguage));
        return;
    }
    AppendLine(TextOf(TextId::AddressRead, CurrentLanguage) + QString::number(r));
    if (r == PORTLINE_CELL_NO_ADDRESS) {
        AppendLine(TextOf(TextId::AddressNotInReply, CurrentLanguage)); // English only
        ComboBox2->setEditText(QString());
        return;
    }
    ComboBox2->setEditText(QString::number(r));
}

void TForm1::Button3MouseUp() {
    // A release while this command's own scan runs (a double click) starts nothing.
    if (addressWriting_) return;
    if (!LoadCellStart(TextId::PortNotOpen)) return;
    if (ComboBox2->currentText().isEmpty()) {
        ShowMessage(TextId::NoAddressToWrite, CurrentLanguage);
        ComboBox2->setFocus();
        return;
    }
    const QScopedValueRollback<bool> running(addressWriting_, true);

    // The set-address frame names no cell, so the line must carry at most one.
    // The count is about the line written to only if the port stayed as it
    // was: one closed, opened or switched between two probes writes nothing.
    const int port = portChanges_;
    int found = 0;
    ProgressBar1->show();
    for (int address = CellResults::FirstProbedAddress; address <= CellResults::LastProbedAddress;
         ++address) {
        // Repaint and take input between the probes, so the bar moves.
        QCoreApplication::processEvents();
        if (portChanges_ != port || closing_) {
            ProgressBar1->hide();
            AppendLine(TextOf(TextId::AddressWriteAborted, CurrentLanguage));
            return;
        }
        ProgressBar1->setValue(address);
        const int32_t r = QuillReadLoadCell(address);
        if (CellResults::CountsAsCell(r)) ++found;
        if (found > 1) {
            AppendLine(TextOf(TextId::TooManyCells, CurrentLanguage));
            ProgressBar1->hide();
            return;
        }
    }
    ProgressBar1->hide();

    const int32_t w = QuillWriteLoadCell(StrToInt(ComboBox2->currentText()));
    if (CellResults::IsWrittenAddress(w)) {
        const int32_t r2 = QuillReadLoadCell(StrToInt(ComboBox2->currentText()));
        AppendLine(TextOf(TextId::AddressWritten, CurrentLanguage) + QString::number(r2));
        if (r2 == PORTLINE_CELL_NO_ADDRESS)
            AppendLine(TextOf(TextId::AddressNotWritten, CurrentLanguage));
    } else if (w == PORTLINE_CELL_WRITE_ACCEPTED) {
        AppendLine(TextOf(TextId::AddressWriteAccepted, CurrentLanguage));
    } else {
        AppendLine(TextOf(TextId::AddressWriteFailed, CurrentLanguage));
    }
}

void TForm1::Button4MouseUp() {
    if (!LoadCellStart(TextId::ReadCodePortNotOpen)) return;
    if (ComboBox2->currentText().isEmpty()) {
        ShowMessage(TextId::NoAddressToRead, CurrentLanguage);
        return;
    }
    const int32_t v = QuillReadLoadCellValue(StrToInt(ComboBox2->currentText()));
    if (v == PORTLINE_CELL_NO_VALUE)
        AppendLine(TextOf(TextId::ReadCodeFailed, CurrentLanguage));
    else
        AppendLine(TextOf(TextId::CodeRead, CurrentLanguage) + QString::number(v));
}
