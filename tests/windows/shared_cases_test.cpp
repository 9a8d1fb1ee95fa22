// The cases shared with the Linux tests, on the bench's COM port under Wine.
#include "cell_cases.h"
#include "device_agent.h"
#include "receive_cases.h"
#include "transmit_cases.h"

namespace cases {

// The shared cases' line: the bench as COM5.
class ComLine : public wintest::BenchOnCom {
  public:
    explicit ComLine(const std::string& options, int32_t startReader = 1)
        : BenchOnCom(options, wintest::kPort, startReader) {}
};

INSTANTIATE_TYPED_TEST_SUITE_P(CellExchanges, CellCases, ComLine);
INSTANTIATE_TYPED_TEST_SUITE_P(Receive, ReceiveCases, ComLine);
INSTANTIATE_TYPED_TEST_SUITE_P(Transmit, TransmitCases, ComLine);

} // namespace cases
