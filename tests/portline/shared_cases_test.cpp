// The cases shared with the Windows tests, on a pseudo-terminal.
#include "cell_cases.h"
#include "pty_line.h"
#include "receive_cases.h"
#include "transmit_cases.h"

namespace cases {

INSTANTIATE_TYPED_TEST_SUITE_P(CellExchanges, CellCases, ptytest::PtyLine);
INSTANTIATE_TYPED_TEST_SUITE_P(Receive, ReceiveCases, ptytest::PtyLine);
INSTANTIATE_TYPED_TEST_SUITE_P(Transmit, TransmitCases, ptytest::PtyLine);

} // namespace cases
