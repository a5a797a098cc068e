#pragma once
// What the tests of the nkq program share: running it to its end or in the
// background, and a folder of its own for each test.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "TestFiles.h"

namespace nkq::testing {

using Lines = std::vector<std::string>;

// nkq to its end; `environment` holds extra "NAME=value" entries.
ProgramResult Nkq(const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment = {});

bool Contains(const std::string& text, const std::string& part);
Lines SplitLines(const std::string& text);
// The line of an exchange trace (`--trace`) that records `text` going
// `direction` ("->" or "<-"), from line `from` on; lines.size() when none.
std::size_t FindTransfer(const Lines& lines, const std::string& direction, const std::string& text,
                         std::size_t from = 0);

// nkq running in the background, so a test can signal it while it works;
// killed at the end unless waited for.
class RunningNkq {
public:
    RunningNkq(const std::vector<std::string>& arguments, const std::filesystem::path& dir);
    ~RunningNkq();
    RunningNkq(const RunningNkq&) = delete;
    RunningNkq& operator=(const RunningNkq&) = delete;

    void Signal(int signal_number) const;
    void Interrupt() const { Signal(SIGINT); }
    ProgramResult Wait();

private:
    std::filesystem::path out_, err_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

class NkqTest : public ::testing::Test {
protected:
    // Writes `bytes` as `name` in the test's folder; returns its path.
    std::string File(const std::string& name, const std::string& bytes) const;

    TempFolder dir{"nkq"};
};

}  // namespace nkq::testing
