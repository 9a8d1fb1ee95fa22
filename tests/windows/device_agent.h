// The Windows tests' line to the device agent on the Linux side, which plays the virtual
// load-cell bench on a pseudo-terminal that Wine shows as a COM port. The agent's TCP
// port comes in the environment variable PORTLINE_DEVICE_AGENT, or as the first line of
// the file PORTLINE_DEVICE_AGENT_FILE names (ctest's fixture writes it there).
#ifndef PORTLINE_TESTS_WINDOWS_DEVICE_AGENT_H
#define PORTLINE_TESTS_WINDOWS_DEVICE_AGENT_H

#include "poll_helpers.h"
#include "portline.h"
#include "shared_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

namespace wintest {

// The COM port the bench is linked as, unless a test asks for another.
constexpr const char* kPort = "COM5";

class DeviceAgent {
  public:
    static DeviceAgent& Get() {
        static DeviceAgent agent;
        return agent;
    }

    // Sends one order; returns what follows "ok" (a failed order fails the test).
    std::string Order(const std::string& order) {
        std::string line = order + "\n";
        if (socket_ == INVALID_SOCKET || send(socket_, line.data(), static_cast<int>(line.size()),
                                              0) != static_cast<int>(line.size())) {
            ADD_FAILURE() << "no device agent for: " << order;
            return {};
        }
        std::string reply;
        char c;
        while (recv(socket_, &c, 1, 0) == 1 && c != '\n')
            reply += c;
        if (reply.rfind("ok", 0) != 0) {
            ADD_FAILURE() << order << ": " << reply;
            return {};
        }
        return reply.size() > 3 ? reply.substr(3) : std::string();
    }

    bool Connected() const { return socket_ != INVALID_SOCKET; }

  private:
    DeviceAgent() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        const int port = AgentPort();
        if (port <= 0) return;
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            closesocket(socket_);
            socket_ = INVALID_SOCKET;
        }
    }

    static int AgentPort() {
        if (const char* port = std::getenv("PORTLINE_DEVICE_AGENT")) return std::atoi(port);
        const char* file = std::getenv("PORTLINE_DEVICE_AGENT_FILE");
        std::FILE* in = file ? std::fopen(file, "r") : nullptr;
        if (!in) return 0;
        int port = 0;
        if (std::fscanf(in, "%d", &port) != 1) port = 0;
        std::fclose(in);
        return port;
    }

    SOCKET socket_ = INVALID_SOCKET;
};

inline std::string Order(const std::string& order) {
    return DeviceAgent::Get().Order(order);
}

// The bench plays with portsim's options ("--echo", "--silent", "--cell 3:74565") as
// the COM port `port`, and Portline holds that port with its reader running.
class BenchOnCom {
  public:
    explicit BenchOnCom(const std::string& options, const char* port = kPort,
                        int32_t startReader = 1) {
        if (!DeviceAgent::Get().Connected()) {
            ADD_FAILURE() << "PORTLINE_DEVICE_AGENT(_FILE) names no running device agent";
            return;
        }
        Order(std::string("start ") + port + " " + options);
        opened = OpenPort(port, "9600,n,8,1", startReader) == 1;
        Sleep(300); // the reader discards what arrived before it started
    }
    ~BenchOnCom() {
        ClosePort();
        Order("stop");
    }
    BenchOnCom(const BenchOnCom&) = delete;
    BenchOnCom& operator=(const BenchOnCom&) = delete;

    void Send(const std::string& bytes) { Order("send " + cases::Hex(bytes)); }
    void Reconfigure(const std::string& options) { Order("reconfigure " + options); }
    int WaitingAtPort() { return std::atoi(Order("waiting").c_str()); }
    void ClearReceived() { Order("clear"); }
    bool WaitReceived(size_t count, int timeoutMs) {
        return Order("waitreceived " + std::to_string(count) + " " + std::to_string(timeoutMs)) ==
               "1";
    }
    // What the port sent since the start or the last clear, as bytes.
    std::string Received() {
        const std::string hex = Order("received");
        std::string bytes;
        for (size_t at = 0; at + 1 < hex.size(); at += 3)
            bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
        return bytes;
    }

    // What the poll hands on of `sent`, which the device sent in one write. Wine may see
    // that write arrive in two pieces; a last piece of one byte is held back until more
    // bytes follow (a lone byte is never counted), so all but the last byte handed on and
    // one byte still waiting at the port is the whole text.
    std::string PolledText(const std::string& sent, int timeoutMs = 5000) {
        std::string text = ptytest::Joined(ptytest::PollTexts(sent.size(), timeoutMs));
        if (text.size() + 1 == sent.size() && WaitingAtPort() == 1) text += sent.back();
        return text;
    }

    bool opened = false;
};

} // namespace wintest

#endif
