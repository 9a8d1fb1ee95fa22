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
    losses_.seed(config.seed);
    noise_.seed(config.seed);
    cells_.clear();
    for (const Cell& cell : config.cells) {
        Cell c = cell;
        c.code = static_cast<uint32_t>(std::min<int64_t>(cell.code, kMaxCode));
        cells_.push_back({c, c.code, 0});
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
    if (state.cell.ramp != 0 && state.reads > 0)
        state.current = static_cast<uint32_t>(std::clamp<int64_t>(
            static_cast<int64_t>(state.current) + state.cell.ramp, 0, kMaxCode));
    ++state.reads;
    if (state.cell.noise <= 0) return state.current;
    std::uniform_int_distribution<int> offset(-state.cell.noise, state.cell.noise);
    return static_cast<uint32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(state.current) + offset(noise_), 0, kMaxCode));
}

std::vector<Reply> Responder::Answer(const Frame& frame) {
    if (config_.silent) return {};
    if (config_.fixedReply) return {{*config_.fixedReply, config_.replyDelayMs}};
    std::vector<Reply> each;
    if (frame.IsRead())
        AnswerRead(frame, each);
    else if (frame.IsSetAddress())
        AnswerSetAddress(frame, each);
    return Combined(each, config_.collide && !config_.twoCellsAtOnce);
}

void Responder::Add(const CellState& state, Bytes answer, std::vector<Reply>& each) {
    if (config_.dropChance > 0 &&
        std::uniform_real_distribution<double>(0, 1)(losses_) < config_.dropChance) {
        notes_.push_back("answer of cell " + std::to_string(state.cell.address) + " lost");
        return;
    }
    if (config_.garble || state.cell.garble) answer = Garbled(answer);
    int delay = state.cell.lateMs >= 0 ? state.cell.lateMs : config_.replyDelayMs;
    each.push_back({std::move(answer), std::max(delay, 0)});
}

void Responder::AnswerRead(const Frame& frame, std::vector<Reply>& each) {
    int asked = frame.Address();
    for (CellState& state : cells_) {
        bool addressed = asked == 0 || (state.cell.address & 0xFF) == asked;
        if (state.cell.silent || !(addressed || config_.twoCellsAtOnce)) continue;
        Add(state, ReadReply(state.cell.address, Sample(state)), each);
    }
    // With a single cell configured, "two cells at once" brings in a second,
    // fixed one next to it.
    if (config_.twoCellsAtOnce && cells_.size() == 1) {
        CellState second = cells_.front();
        second.cell.address += 1;
        second.current = static_cast<uint32_t>((second.cell.code + 4096) & kMaxCode);
        Add(second, ReadReply(second.cell.address, second.current), each);
    }
}

void Responder::AnswerSetAddress(const Frame& frame, std::vector<Reply>& each) {
    if (config_.writeAnswer == WriteAnswer::None) return;
    // The frame names no target: every cell on the line takes the new address.
    for (CellState& state : cells_) {
        if (state.cell.silent) continue;
        state.cell.address = frame.Address();
        Add(state,
            config_.writeAnswer == WriteAnswer::Accept ? AcceptReply()
                                                       : AddressFormReply(frame.Address()),
            each);
    }
}

std::vector<Reply> Combined(const std::vector<Reply>& each, bool collide) {
    std::vector<Reply> out;
    for (const Reply& reply : each) {
        auto same = std::find_if(out.begin(), out.end(),
                                 [&](const Reply& r) { return r.delayMs == reply.delayMs; });
        if (same == out.end()) {
            out.push_back(reply);
            continue;
        }
        Bytes& line = same->bytes;
        if (!collide) {
            line.insert(line.end(), reply.bytes.begin(), reply.bytes.end());
            continue;
        }
        for (size_t i = 0; i < std::min(line.size(), reply.bytes.size()); ++i)
            line[i] &= reply.bytes[i];
        if (reply.bytes.size() > line.size())
            line.insert(line.end(), reply.bytes.begin() + static_cast<std::ptrdiff_t>(line.size()),
                        reply.bytes.end());
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Reply& a, const Reply& b) { return a.delayMs < b.delayMs; });
    return out;
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
