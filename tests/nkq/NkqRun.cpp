#include "NkqRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

namespace nkq::testing {

ProgramResult Nkq(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    return RunProgram(NKQ_PROGRAM, arguments, environment);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::size_t FindTransfer(const Lines& lines, const std::string& direction, const std::string& text,
                         std::size_t from) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (Contains(lines[i], " " + direction + " ") && Contains(lines[i], text)) return i;
    return lines.size();
}

RunningNkq::RunningNkq(const std::vector<std::string>& arguments, const std::filesystem::path& dir)
    : out_(dir / "out.txt"), err_(dir / "err.txt") {
    pid_ = fork();
    if (pid_ != 0) return;
    dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
    dup2(open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(NKQ_PROGRAM)};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(NKQ_PROGRAM, argv.data());
    _exit(127);
}

RunningNkq::~RunningNkq() {
    if (waited_) return;
    kill(pid_, SIGKILL);
    Wait();
}

void RunningNkq::Signal(int signal_number) const { kill(pid_, signal_number); }

ProgramResult RunningNkq::Wait() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0) {
    }
    waited_ = true;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out_), ReadFile(err_)};
}

std::string NkqTest::File(const std::string& name, const std::string& bytes) const {
    WriteFile(dir / name, bytes);
    return (dir / name).string();
}

}  // namespace nkq::testing
