// The load cells on the line: what they answer to each frame.
#ifndef PORTSIM_RESPONDER_H
#define PORTSIM_RESPONDER_H

#include "frames.h"

#include <random>
#include <string>
#include <utility>

namespace portsim {

// Bytes the line carries back, `delayMs` after the frame has come in.
struct Reply {
    Bytes bytes;
    int delayMs = 0;
};

class Responder {
  public:
    // Takes the cells and answer modes; the cells start afresh.
    void Configure(const Config& config);

    // What the line carries back for a frame, earliest first (empty: nobody
    // answers). A read may move a drifting code; a set-address moves addresses.
    std::vector<Reply> Answer(const Frame& frame);
    // What happened out of sight at the last answers (lost answers), for a trace.
    std::vector<std::string> TakeNotes() { return std::exchange(notes_, {}); }

    // The cells with their present codes, and with their configured codes.
    std::vector<Cell> Cells() const;
    std::vector<Cell> ConfiguredCells() const;

  private:
    struct CellState {
        Cell cell;        // address as it stands, configured code
        uint32_t current; // code reported now, before its noise
        long long reads = 0;
    };

    void AnswerRead(const Frame& frame, std::vector<Reply>& each);
    void AnswerSetAddress(const Frame& frame, std::vector<Reply>& each);
    // One cell's answer as the line carries it: late, garbled or lost.
    void Add(const CellState& state, Bytes answer, std::vector<Reply>& each);
    uint32_t Sample(CellState& state);

    Config config_;
    std::vector<CellState> cells_;
    std::minstd_rand random_{20299};
    std::minstd_rand noise_{1}; // seeded from Config::seed, so that a noisy run repeats
    std::mt19937 losses_{1};
    std::vector<std::string> notes_;
};

// Mangles a reply as a noisy line would: the first byte is lost and the rest
// is shifted so that no start byte (02), no FF and no zero byte is left.
Bytes Garbled(const Bytes& reply);

// Answers that leave at the same time share the line: with `collide` the line
// carries their byte-wise AND (a wired-AND bus; the longer one's tail passes),
// otherwise they run together in order. The result is sorted by delay.
std::vector<Reply> Combined(const std::vector<Reply>& each, bool collide);

} // namespace portsim

#endif
