#include "ProgramRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace nkq::testing {

namespace {

// Output goes to files rather than pipes so that a chatty program can never
// block on a full pipe while the test waits for it.
struct TempFile {
    TempFile() {
        char name[] = "/tmp/nkq-run-XXXXXX";
        fd = mkstemp(name);
        if (fd < 0) throw std::runtime_error("mkstemp failed");
        path = name;
    }
    ~TempFile() {
        close(fd);
        unlink(path.c_str());
    }
    std::string Contents() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int fd;
    std::string path;
};

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment) {
    TempFile out, err;
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int null_fd = open("/dev/null", O_RDONLY);
        dup2(null_fd, STDIN_FILENO);
        dup2(out.fd, STDOUT_FILENO);
        dup2(err.fd, STDERR_FILENO);
        for (const auto& assignment : environment) putenv(const_cast<char*>(assignment.c_str()));
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    ProgramResult result;
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = out.Contents();
    result.err = err.Contents();
    return result;
}

}  // namespace nkq::testing
