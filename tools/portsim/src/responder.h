// The load cells on the line: what they answer to each frame.
#ifndef PORTSIM_RESPONDER_H
#define PORTSIM_RESPONDER_H

#include "frames.h"

#include <random>

namespace portsim {

class Responder {
  public:
    // Takes the cells and answer modes; the cells start afresh.
    void Configure(const Config& config);

    // The bytes the line carries back for a frame (empty: nobody answers).
    // A read may move a drifting code; an accepted set-address moves addresses.
    Bytes Answer(const Frame& frame);

    // The cells with their present codes, and with their configured codes.
    std::vector<Cell> Cells() const;
    std::vector<Cell> ConfiguredCells() const;

  private:
    struct CellState {
        Cell cell;        // address as it stands, configured code
        uint32_t current; // code reported now
    };

    Bytes AnswerRead(const Frame& frame);
    Bytes AnswerSetAddress(const Frame& frame);
    uint32_t Sample(CellState& state);

    Config config_;
    std::vector<CellState> cells_;
    std::minstd_rand random_{20299};
};

// Mangles a reply as a noisy line would: the first byte is lost and the rest
// is shifted so that no start byte (02), no FF and no zero byte is left.
Bytes Garbled(const Bytes& reply);

} // namespace portsim

#endif
