// Playing in the background: a child process plays the device, and the
// program the shell started ends once the device is ready.
#ifndef PORTSIM_BACKGROUND_H
#define PORTSIM_BACKGROUND_H

#include <string>

namespace portsim {

class Background {
  public:
    // Forks (call it before any thread starts). In the parent it does not
    // return: it waits for the child's ready line, prints it on stdout and
    // exits 0, or exits with the child's status when the child ends first.
    // In the child it returns true with stdin and stdout on /dev/null, in a
    // session of its own (no terminal's Ctrl+C or hang-up reaches it).
    // False when the fork failed (`error` says why).
    bool Detach(std::string& error);

    // In the child: hands the ready line to the parent.
    void Ready(const std::string& line);

    // Goes on in a child process, as Detach's child, when the program must end
    // now (call it with no other thread running). The parent writes the
    // child's id to `pidFile` (when given), then ends with status 0 without
    // cleaning up, leaving the device to the child; the child returns true.
    // False when the fork failed.
    static bool CarryOn(const std::string& pidFile);

  private:
    int ready_ = -1;
};

} // namespace portsim

#endif
