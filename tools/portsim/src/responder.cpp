#include "responder.h"

#include <algorithm>

namespace portsim {

namespace {

constexpr int64_t kMaxCode = 1048575;
constexpr int64_t kDriftSpan = 64; // how far a drifting code may wander from its configured value
constexpr int kDriftStep = 3;      // how far it moves at one read

} // namespace

void Responder::Configure(const Config& config) {
    config_ = config;
    cells_.clear();
    for (const Cell& cell : config.cells) {
        Cell c = cell;
        c.code = static_cast<uint32_t>(std::min<int64_t>(cell.code, kMaxCode));
        cells_.push_back({c, c.code});
    }
}

std::vector<Cell> Responder::Cells() const {
    std::vector<Cell> cells;
    for (const CellState& state : cells_) {
        Cell cell = state.cell;
        cell.code = state.current;
        cells.push_back(cell);
    }
    return cells;
}

std::vector<Cell> Responder::ConfiguredCells() const {
    std::vector<Cell> cells;
    for (const CellState& state : cells_)
        cells.push_back(state.cell);
    return cells;
}

uint32_t Responder::Sample(CellState& state) {
    if (state.cell.drift) {
        std::uniform_int_distribution<int> step(-kDriftStep, kDriftStep);
        int64_t base = state.cell.code;
        int64_t next = static_cast<int64_t>(state.current) + step(random_);
        next = std::clamp(next, base - kDriftSpan, base + kDriftSpan);
        state.current = static_cast<uint32_t>(std::clamp<int64_t>(next, 0, kMaxCode));
    }
    return state.current;
}

Bytes Responder::Answer(const Frame& frame) {
    if (config_.silent) return {};
    if (config_.fixedReply) return *config_.fixedReply;
    Bytes reply;
    if (frame.IsRead())
        reply = AnswerRead(frame);
    else if (frame.IsSetAddress())
        reply = AnswerSetAddress(frame);
    if (config_.garble && !reply.empty()) reply = Garbled(reply);
    return reply;
}

Bytes Responder::AnswerRead(const Frame& frame) {
    Bytes reply;
    auto append = [&reply](const Bytes& more) {
        reply.insert(reply.end(), more.begin(), more.end());
    };
    int asked = frame.Address();
    for (CellState& state : cells_) {
        bool addressed = asked == 0 || (state.cell.address & 0xFF) == asked;
        if (addressed || config_.twoCellsAtOnce)
            append(ReadReply(state.cell.address, Sample(state)));
    }
    // With a single cell configured, "two cells at once" brings in a second,
    // fixed one next to it.
    if (config_.twoCellsAtOnce && cells_.size() == 1) {
        const Cell& first = cells_.front().cell;
        append(ReadReply(first.address + 1, static_cast<uint32_t>((first.code + 4096) & kMaxCode)));
    }
    return reply;
}

Bytes Responder::AnswerSetAddress(const Frame& frame) {
    if (config_.writeAnswer == WriteAnswer::None) return {};
    Bytes reply;
    // The frame names no target: every cell on the line takes the new address.
    for (CellState& state : cells_) {
        state.cell.address = frame.Address();
        Bytes one = config_.writeAnswer == WriteAnswer::Accept ? AcceptReply()
                                                               : AddressFormReply(frame.Address());
        reply.insert(reply.end(), one.begin(), one.end());
    }
    return reply;
}

Bytes Garbled(const Bytes& reply) {
    Bytes out;
    for (size_t i = 1; i < reply.size(); ++i) {
        uint8_t b = static_cast<uint8_t>((reply[i] ^ 0x55) + 0x11);
        if (b == 0x00 || b == 0x02 || b == 0xFF) b = '?';
        out.push_back(b);
    }
    if (out.empty()) out.push_back('?');
    return out;
}

} // namespace portsim
