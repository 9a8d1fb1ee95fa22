// The device side of the Windows tests, on Linux: plays the virtual load-cell bench on a
// pseudo-terminal that Wine sees as a COM port, and takes orders from the test program
// (running under Wine) over a local TCP connection, one line each way:
//
//   start NAME OPTION...   a fresh bench with portsim's options, linked as COM port NAME
//   reconfigure OPTION...  new options for the running bench
//   send HEX               bytes towards the port ("41 42 43")
//   received               "ok HEX": what the port sent since the start or the last clear
//   clear                  forgets what was received
//   waitreceived N MS      "ok 1" once N bytes came, "ok 0" after MS milliseconds
//   waiting                "ok N": bytes sent towards the port and not yet read by it
//   stop                   stops the bench (the COM port goes away)
//
// Usage: portline_device_agent DOSDEVICES   (the Wine prefix's dosdevices folder). Prints
// the TCP port it listens on, then serves one connection after another until killed.
#include "hex_bytes.h"
#include "options.h"
#include "portsim/bench.h"
#include "pty_device.h"

#include <cctype>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string Hex(const portsim::Bytes& bytes) {
    std::string text;
    char pair[4];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", b);
        text += pair;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ParseConfig(const std::vector<std::string>& words, size_t first, portsim::Config& config,
                 std::string& error) {
    std::vector<std::string> args{"portsim"};
    args.insert(args.end(), words.begin() + static_cast<std::ptrdiff_t>(first), words.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    portsim::Options options;
    if (portsim::ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error) !=
        portsim::ParseOutcome::Run)
        return false;
    config = options.config;
    return true;
}

class Agent {
  public:
    explicit Agent(std::string dosdevices) : dosdevices_(std::move(dosdevices)) {}

    std::string Handle(const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        if (words.empty()) return "error empty order";
        const std::string& order = words[0];
        std::string error;
        if (order == "start" && words.size() >= 2) {
            Stop();
            portsim::Config config;
            if (!ParseConfig(words, 2, config, error)) return "error " + error;
            bench_ = std::make_unique<portsim::Bench>(config);
            if (!bench_->Start(dosdevices_ + "/" + Lower(words[1]))) {
                error = bench_->Error();
                bench_.reset();
                return "error " + error;
            }
            side_ = ptytest::PtyEnd::Probe(bench_->DevicePath());
            return "ok " + bench_->DevicePath();
        }
        if (order == "stop") {
            Stop();
            return "ok";
        }
        if (!bench_) return "error no bench";
        if (order == "reconfigure") {
            portsim::Config config;
            if (!ParseConfig(words, 1, config, error)) return "error " + error;
            bench_->Reconfigure(config);
            return "ok";
        }
        if (order == "send") {
            portsim::Bytes bytes;
            if (!tools::ParseHexBytes(line.substr(line.find(' ') + 1), bytes))
                return "error bad bytes";
            bench_->Send(bytes);
            return "ok";
        }
        if (order == "received") return "ok " + Hex(bench_->Received());
        if (order == "clear") {
            bench_->ClearReceived();
            return "ok";
        }
        if (order == "waitreceived" && words.size() == 3)
            return bench_->WaitReceived(std::stoul(words[1]), std::stoi(words[2])) ? "ok 1"
                                                                                   : "ok 0";
        if (order == "waiting") {
            const int n = side_.IsOpen() ? side_.Waiting() : -1;
            if (n < 0) return "error no count";
            return "ok " + std::to_string(n);
        }
        return "error unknown order " + order;
    }

    void Stop() {
        side_.Close();
        bench_.reset(); // stops it and removes the link
    }

  private:
    const std::string dosdevices_;
    std::unique_ptr<portsim::Bench> bench_;
    ptytest::PtyEnd side_; // the port's side, held to count what waits there
};

void Serve(int connection, Agent& agent) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(connection, buffer, sizeof buffer);
        if (n <= 0) return;
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::string reply = agent.Handle(line) + "\n";
            if (write(connection, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
                return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: portline_device_agent DOSDEVICES\n";
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("portline_device_agent");
        return 1;
    }
    std::cout << ntohs(address.sin_port) << std::endl;
    Agent agent(argv[1]);
    for (;;) {
        int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Serve(connection, agent);
        close(connection);
        agent.Stop(); // each test program starts from no bench
    }
}
