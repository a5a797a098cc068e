// The program as a script starts it: device path on the first line, answers
// until SIGTERM, status 0 then; status 2 for a bad command line.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "TestClient.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;

struct Child {
    pid_t pid = -1;
    int out = -1;
    ~Child() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) close(out);
    }
    int Wait() {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

void StartProgram(Child& child, std::vector<std::string> arguments) {
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    child.pid = fork();
    ASSERT_GE(child.pid, 0);
    if (child.pid == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv{const_cast<char*>(NKQ_VIRTUAL_MODEM_PROGRAM)};
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    child.out = pipe_fds[0];
}

std::string FirstLine(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

TEST(VirtualModemProgramTest, PrintsTheDeviceFirstAndEndsCleanlyOnSigterm) {
    Child child;
    StartProgram(child, {"--param", "APN from.program", "--connection", "1.1.1.1:1"});
    const std::string device = FirstLine(child.out);
    ASSERT_TRUE(device.starts_with("/dev/pts/")) << device;
    {
        testing::TestClient client(device);
        ASSERT_TRUE(client.WriteLine("TCP"));
        EXPECT_EQ(client.ReadUntil("OK\r\n", 2s), "IP 1.1.1.1:1\r\nOK\r\n");
    }
    kill(child.pid, SIGTERM);
    EXPECT_EQ(child.Wait(), 0);
}

TEST(VirtualModemProgramTest, BadCommandLineEndsWithStatusTwo) {
    Child child;
    StartProgram(child, {"--delay", "later"});
    EXPECT_EQ(child.Wait(), 2);
}

}  // namespace
}  // namespace nkq
