// The bench on a pseudo-terminal with the port's side of its line opened, raw, as
// the library would open it.
#ifndef PORTSIM_TESTS_BENCH_ON_LINE_H
#define PORTSIM_TESTS_BENCH_ON_LINE_H

#include "portsim/bench.h"
#include "pty_device.h"

#include <gtest/gtest.h>
#include <memory>

namespace portsim::testing {

using ptytest::Clock;
using ptytest::MsSince;
using ptytest::PtyEnd;

// A bench started with a configuration and the port's side of its line opened.
class BenchOnLine : public ::testing::Test {
  protected:
    void Run(const Config& config) {
        bench_ = std::make_unique<Bench>(config);
        ASSERT_TRUE(bench_->Start()) << bench_->Error();
        port_ = std::make_unique<PtyEnd>(PtyEnd::AsPort(bench_->DevicePath()));
        ASSERT_TRUE(port_->IsOpen());
    }
    std::unique_ptr<Bench> bench_;
    std::unique_ptr<PtyEnd> port_;
};

} // namespace portsim::testing

#endif
