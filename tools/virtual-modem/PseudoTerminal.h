#pragma once
// The modem's end of a pseudo-terminal. The slave side is what a client
// opens as its serial device; the modem keeps only the master, so a client
// may open, close and reopen the slave between operations (while no slave
// is open the master reports a hang-up, which the modem sits out).
#include <string>

namespace nkq {

class PseudoTerminal {
public:
    // Opens the pair in raw mode, 115200 8N1, no flow control. An empty
    // link path makes no link; otherwise a symbolic link to the slave is made
    // there (an older link in its place is replaced; EFCreateError when it
    // cannot be made).
    explicit PseudoTerminal(const std::string& link_path = "");
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int MasterFd() const { return master_fd_; }
    const std::string& SlavePath() const { return slave_path_; }
    const std::string& LinkPath() const { return link_path_; }

    // Hangs the line up: the slave side sees end of input and the link goes.
    void CloseMaster();
    bool MasterOpen() const { return master_fd_ >= 0; }

private:
    void MakeLink(const std::string& link_path);
    void RemoveLink();

    int master_fd_ = -1;
    std::string slave_path_;
    std::string link_path_;
};

}  // namespace nkq
