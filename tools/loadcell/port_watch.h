// Whether the held port is still there. The library's exchanges report a port that
// went away as "no reply", so after a silent exchange the program looks for itself:
// at the descriptor the library holds (a hang-up or an error on it) and at the device
// node (gone, or now another device).
#ifndef LOADCELL_PORT_WATCH_H
#define LOADCELL_PORT_WATCH_H

#include <string>
#include <sys/types.h>

namespace loadcell {

class PortWatch {
  public:
    // Called right after the port opened: notes the device and finds the descriptor.
    void Opened(const std::string& device);
    // Empty while the port is there; otherwise why it is not, in one phrase
    // ("hung up", "/dev/ttyUSB0 is gone").
    std::string Lost() const;
    // Whether the device node is there to be opened again.
    bool Back() const;

  private:
    std::string device_;
    dev_t rdev_ = 0;
    int fd_ = -1; // the library's descriptor, only polled
};

} // namespace loadcell

#endif
