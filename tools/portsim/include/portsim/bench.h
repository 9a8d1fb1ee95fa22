// The virtual load-cell bench: the far end of a serial line, played on a
// pseudo-terminal. Tests run it in-process; tools/portsim wraps it in a program.
#ifndef PORTSIM_BENCH_H
#define PORTSIM_BENCH_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace portsim {

using Bytes = std::vector<uint8_t>;

// One load cell on the line.
struct Cell {
    int address = 1;       // answers read frames for this address (and for address 0)
    uint32_t code = 74565; // its A/D code, 0 to 1048575
    bool drift = false;    // the code wanders a little at each read, like a cell under load
    int lateMs = -1;       // answers this late (-1: as Config::replyDelayMs says)
    bool silent = false;   // never answers, as if it were not there
    bool garble = false;   // its answers lose their start byte and are mangled
    int noise = 0;         // each reading lies up to this far either side of the code (seeded)
    int ramp = 0;          // the code moves by this much at every read, a steady drift
};

// How the cells answer a set-address frame.
enum class WriteAnswer {
    Accept,      // 02 ...: the cell took the new address
    AddressForm, // FF xx (address + 0x40) ...: the cell took it and says which
    None,        // no answer, the address stays
};

// Every cell on the line takes a set-address frame (the frame names no
// target), so write addresses with a single cell. Cells with address 0 only
// answer read frames for address 0.

struct Config {
    std::vector<Cell> cells;
    WriteAnswer writeAnswer = WriteAnswer::Accept;
    bool echo = false;           // send back every byte received
    Bytes stream;                // bytes streamed over and over (empty: no stream)
    double streamRate = 0;       // stream bytes per second (0 with a stream: as fast as paced)
    int paceBaud = 0;            // send every byte at the speed of this baud rate, 8N1 (0: at once)
    int replyDelayMs = 0;        // answer this late
    bool garble = false;         // answers lose their start byte and are mangled
    bool silent = false;         // load cells never answer
    bool twoCellsAtOnce = false; // every cell answers every read frame, replies run together
    std::optional<Bytes> fixedReply; // answer every load-cell frame with exactly these bytes
    bool collide = true;             // cells answering one frame at the same time mangle each other
    double dropChance = 0;           // each cell's answer is lost with this probability (0..1)
    uint32_t seed = 1;               // seeds the losses, so that a run repeats
    size_t keepReceived = SIZE_MAX;  // Received() keeps at most the last this many bytes
    // Called from the bench's thread (which holds the bench: it must not call
    // back into it) with one line per request frame, per answer written to the
    // line and per lost answer, after the seconds since the start and without a
    // line break, e.g. "   0.012345 <- 02 52 44 53 41 2A 0D".
    std::function<void(const std::string&)> trace;
};
// Details of the modes:
// - A load-cell frame is 02, three letters, address + 0x40, checksum, 0D, with a
//   valid checksum; anything else on the line is skipped. fixedReply answers any
//   such frame; otherwise only read (R D S) and set-address (S N M) get answers.
// - replyDelayMs delays the cells' answers and the echo; garble and silent
//   concern the cells' answers only. silent wins over fixedReply, and a fixed
//   reply goes out exactly as given (never garbled); it moves no address.
// - twoCellsAtOnce with a single cell brings a second one in at address + 1;
//   its replies run together one after the other, whatever `collide` says.
// - collide: when several cells answer one frame (address 0, a set-address)
//   with the same delay, the line carries the byte-wise AND of their answers,
//   as on a wired-AND RS-485 bus; the longer answer's tail passes as it is.
//   Answers with different delays go out one after the other at their times.
// - A cell's own lateMs, silent and garble apply to its answers besides the
//   bench-wide ones; lateMs replaces replyDelayMs for it (not for the echo).
// - A cell's ramp moves the code it holds at every read (after the first), and
//   its noise adds a uniform offset of at most that many counts to the code sent,
//   drawn from a generator seeded with `seed`; both stay within 0..1048575.
// - dropChance loses an answer after the cell has acted on the frame (a
//   written address is taken even when the "OK" is lost).
// - With paceBaud, bytes from the port also take their line time to arrive:
//   an answer starts once the whole request has come in.

class Bench {
  public:
    explicit Bench(Config config = {});
    ~Bench(); // stops the bench

    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Opens the pseudo-terminal (and a symbolic link to its device side at
    // `linkPath` when given) and starts playing. False with `Error()` set on failure.
    bool Start(const std::string& linkPath = {});
    void Stop(); // prompt and idempotent; removes the link
    // Pause stops playing but keeps the device and the link (so that the
    // process can fork: the bench's thread is gone); Resume plays on.
    void Pause();
    void Resume();
    bool Running() const;

    // The device side, to hand to OpenPort.
    std::string DevicePath() const;
    std::string Error() const;

    // What the bench has received from the port since the start (or the last
    // clear): everything, or the last Config::keepReceived bytes of it.
    Bytes Received() const;
    void ClearReceived();
    // Waits up to `timeoutMs` until at least `count` bytes have been received
    // (counting those no longer kept).
    bool WaitReceived(size_t count, int timeoutMs) const;

    // Sends bytes towards the port now (paced when paceBaud is set).
    void Send(const Bytes& bytes);

    // Changes the configuration while running (cells, answers, modes); takes
    // effect for the next frame. The cells start afresh from `config.cells`.
    void Reconfigure(const Config& config);
    // The configuration, with the cells' present addresses.
    Config CurrentConfig() const;

    // The cells as they stand now: a written address and a drifted code show.
    std::vector<Cell> Cells() const;

  private:
    struct Impl;
    Impl* impl_;
};

// Frame helpers shared by the bench and the tests.
Bytes ReadFrame(int address);                // 02 52 44 53 (a+40) sum 0D
Bytes SetAddressFrame(int address);          // 02 53 4E 4D (a+40) sum 0D
Bytes ReadReply(int address, uint32_t code); // 02 (a+40) 30 d0..d4 sum 0D, decodable
Bytes AcceptReply();                         // 02 4F 4B sum 0D ("OK")
Bytes AddressFormReply(int address);         // FF 4E (a+40) sum 0D

} // namespace portsim

#endif
