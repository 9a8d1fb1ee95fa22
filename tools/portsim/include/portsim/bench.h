// The virtual load-cell bench: the far end of a serial line, played on a
// pseudo-terminal. Tests run it in-process; tools/portsim wraps it in a program.
#ifndef PORTSIM_BENCH_H
#define PORTSIM_BENCH_H

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace portsim {

using Bytes = std::vector<uint8_t>;

// One load cell on the line.
struct Cell {
    int address = 1;        // answers read frames for this address (and for address 0)
    uint32_t code = 74565;  // its A/D code, 0 to 1048575
    bool drift = false;     // the code wanders a little at each read, like a cell under load
};

// How the cells answer a set-address frame.
enum class WriteAnswer {
    Accept,       // 02 ...: the cell took the new address
    AddressForm,  // FF xx (address + 0x40) ...: the reply carries an address
    None,         // no answer
};

struct Config {
    std::vector<Cell> cells;
    WriteAnswer writeAnswer = WriteAnswer::Accept;
    bool echo = false;          // send back every byte received
    Bytes stream;               // bytes streamed over and over (empty: no stream)
    double streamRate = 0;      // stream bytes per second (0 with a stream: as fast as paced)
    int paceBaud = 0;           // send every byte at the speed of this baud rate, 8N1 (0: at once)
    int replyDelayMs = 0;       // answer this late
    bool garble = false;        // answers lose their start byte and are mangled
    bool silent = false;        // load cells never answer
    bool twoCellsAtOnce = false; // every cell answers every read frame, replies run together
    std::optional<Bytes> fixedReply; // answer every load-cell frame with exactly these bytes
};

class Bench {
public:
    explicit Bench(Config config = {});
    ~Bench(); // stops the bench

    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Opens the pseudo-terminal (and a symbolic link to its device side at
    // `linkPath` when given) and starts playing. False with `Error()` set on failure.
    bool Start(const std::string& linkPath = {});
    void Stop();

    // The device side, to hand to OpenPort.
    std::string DevicePath() const;
    std::string Error() const;

    // Everything the bench has received from the port since the start (or the last clear).
    Bytes Received() const;
    void ClearReceived();
    // Waits up to `timeoutMs` until at least `count` bytes have been received.
    bool WaitReceived(size_t count, int timeoutMs) const;

    // Sends bytes towards the port now (paced when paceBaud is set).
    void Send(const Bytes& bytes);

    // Changes the configuration while running (cells, answers, modes).
    void Reconfigure(const Config& config);
    Config CurrentConfig() const;

    // The cells as they stand now (a written address takes effect).
    std::vector<Cell> Cells() const;

private:
    struct Impl;
    Impl* impl_;
};

// Frame helpers shared by the bench and the tests.
Bytes ReadFrame(int address);                    // 02 52 44 53 (a+40) sum 0D
Bytes SetAddressFrame(int address);              // 02 53 4E 4D (a+40) sum 0D
Bytes ReadReply(int address, uint32_t code);     // 02 (a+40) 00 d0..d4 sum 0D, decodable
Bytes AcceptReply();                             // 02 ...
Bytes AddressFormReply(int address);             // FF 00 (a+40) ...

} // namespace portsim

#endif
