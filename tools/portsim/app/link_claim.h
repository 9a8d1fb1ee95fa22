// A claim on a --link path, so that two running portsims never share one.
#ifndef PORTSIM_LINK_CLAIM_H
#define PORTSIM_LINK_CLAIM_H

#include <string>
#include <sys/types.h>

namespace portsim {

// The claim is a listening socket in the abstract namespace named after the
// link's absolute path: the kernel drops it when its process ends, however it
// ends, so a link left by a killed portsim is never held.
class LinkClaim {
  public:
    enum class Outcome { Claimed, Held, Failed };

    LinkClaim() = default;
    ~LinkClaim();
    LinkClaim(const LinkClaim&) = delete;
    LinkClaim& operator=(const LinkClaim&) = delete;

    // Held: `holder` is the running portsim's process id (0 if unknown).
    // Failed: `error` says why (e.g. the link's folder does not exist).
    Outcome Claim(const std::string& link, pid_t& holder, std::string& error);

  private:
    int socket_ = -1;
};

} // namespace portsim

#endif
