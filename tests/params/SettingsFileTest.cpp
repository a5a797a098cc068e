#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "TestFiles.h"
#include "app/Failure.h"
#include "params/ParameterLines.h"
#include "params/SettingsFile.h"

namespace nkq {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

const std::string kCyrillicApn = "\xe8\xed\xf2\xe5\xf0\xed\xe5\xf2.\xec\xf2\xf1";

std::string DataFile(const std::string& name) {
    return ReadFile(fs::path(NKQ_PARAMS_TEST_DATA) / name);
}

std::set<std::string> Entries(const TempFolder& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

void FillClient(ParameterSet& set) {
    set.SelectMode(Mode::Client);
    set.Fields().IPAddrEdit.SetParts({10, 0, 0, 1});
    set.Fields().PortEdit.SetNumber(5000);
    set.Fields().APNEdit.SetText("internet");
    set.Fields().RateCombo.SetIndex(3);
    set.Fields().BitsCombo.SetIndex(3);
}

void FillServer(ParameterSet& set) {
    set.SelectMode(Mode::Server);
    set.Fields().IncomePortEdit.SetText("8080");
    const char* addresses[] = {"192.168.0.1", "192.168.0.2", "172.16.5.9", "8.8.8.8", "10.20.30.40"};
    const char* ports[] = {"80", "81", "5000", "53", "65535"};
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        set.Fields().IPAddr[pair].SetText(addresses[pair]);
        set.Fields().Port[pair].SetText(ports[pair]);
    }
    set.Fields().IdleEdit.SetNumber(7);
    set.Fields().APNEdit.SetText(kCyrillicApn);
    set.Fields().LoginEdit.SetText("gdata");
    set.Fields().PasswordEdit.SetText("secret");
    set.Fields().RateCombo.SetIndex(7);
    set.Fields().FlowCombo.SetIndex(1);
    set.Fields().BitsCombo.SetIndex(2);
    set.SetParityUsed(true);
    set.Fields().ParityCombo.SetIndex(1);
    set.Fields().StopCombo.SetIndex(1);
}

void FillModem(ParameterSet& set) {
    set.SelectMode(Mode::Modem);
    set.Fields().IdleEdit.SetNumber(10);
    set.Fields().APNEdit.SetText("m2m.operator");
    set.Fields().LoginEdit.SetText("user");
    set.Fields().PasswordEdit.SetText("pass word");
    set.Fields().RateCombo.SetIndex(6);
    set.Fields().FlowCombo.SetIndex(2);
    set.Fields().ParityCombo.SetIndex(3);
}

struct RoundTripCase {
    const char* name;
    void (*fill)(ParameterSet&);
    const char* file;
};

class SettingsFileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SettingsFileRoundTrip, SavesTheExpectedBytes) {
    TempFolder folder{"params"};
    ParameterSet set;
    set.ApplyStartupRules();
    GetParam().fill(set);
    SaveSettingsFile(set, folder / "saved.txt");
    EXPECT_EQ(ReadFile(folder / "saved.txt"), DataFile(GetParam().file));
}

TEST_P(SettingsFileRoundTrip, LoadsAndSavesTheSameBytesAgain) {
    TempFolder folder{"params"};
    ParameterSet set;
    set.ApplyStartupRules();
    LoadSettingsFile(set, (fs::path(NKQ_PARAMS_TEST_DATA) / GetParam().file).string());
    SaveSettingsFile(set, folder / "again.txt");
    EXPECT_EQ(ReadFile(folder / "again.txt"), DataFile(GetParam().file));
}

INSTANTIATE_TEST_SUITE_P(Modes, SettingsFileRoundTrip,
                         ::testing::Values(RoundTripCase{"Client", FillClient, "client.txt"},
                                           RoundTripCase{"Server", FillServer, "server.txt"},
                                           RoundTripCase{"Modem", FillModem, "modem.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFileLoad, RestoresEveryServerModeItem) {
    TempFolder folder{"params"};
    ParameterSet saved;
    saved.ApplyStartupRules();
    FillServer(saved);
    SaveSettingsFile(saved, folder / "server.txt");

    ParameterSet loaded;
    loaded.ApplyStartupRules();
    LoadSettingsFile(loaded, folder / "server.txt");
    EXPECT_EQ(loaded.GetMode(), Mode::Server);
    EXPECT_EQ(loaded.Fields().IncomePortEdit.Text(), "8080");
    EXPECT_EQ(loaded.Fields().IPAddr[2].Text(), "172.16.5.9");
    EXPECT_EQ(loaded.Fields().Port[4].Text(), "65535");
    EXPECT_EQ(loaded.Fields().IdleEdit.Text(), "7");
    EXPECT_EQ(loaded.Fields().APNEdit.Text(), kCyrillicApn);
    EXPECT_EQ(loaded.Fields().PasswordEdit.Text(), "secret");
    EXPECT_EQ(loaded.Fields().RateCombo.Text(), "115200");
    EXPECT_EQ(loaded.Fields().BitsCombo.Index(), 2);
    EXPECT_TRUE(loaded.ParityUsed());
    EXPECT_TRUE(loaded.Fields().ParityCombo.Enabled());
    EXPECT_EQ(loaded.Fields().ParityCombo.Index(), 1);
    EXPECT_EQ(BuildParameterLines(loaded), BuildParameterLines(saved));
}

TEST(SettingsFileLoad, ClientFileSwitchesAServerSetAndKeepsItsServerItems) {
    ParameterSet set;
    set.ApplyStartupRules();
    FillServer(set);
    LoadSettingsFile(set, (fs::path(NKQ_PARAMS_TEST_DATA) / "client.txt").string());
    EXPECT_EQ(set.GetMode(), Mode::Client);
    EXPECT_EQ(set.Fields().IPAddrEdit.Text(), "10.0.0.1");
    EXPECT_EQ(set.Fields().IncomePortEdit.Text(), "8080");
    EXPECT_EQ(set.Fields().IPAddr[3].Text(), "8.8.8.8");
    EXPECT_FALSE(set.Fields().IPAddr[3].Enabled());
}

TEST(SettingsFileLoad, ReadsLfOnlyFilesLikeCrLfFiles) {
    TempFolder folder{"params"};
    std::string lf = DataFile("server.txt");
    std::erase(lf, '\r');
    WriteFile(folder / "lf.txt", lf);
    ParameterSet set;
    LoadSettingsFile(set, folder / "lf.txt");
    SaveSettingsFile(set, folder / "crlf.txt");
    EXPECT_EQ(ReadFile(folder / "crlf.txt"), DataFile("server.txt"));
}

TEST(SettingsFileLoad, SkipsAByteOrderMarkBeforeTheFirstKey) {
    TempFolder folder{"params"};
    WriteFile(folder / "bom.txt", "\xEF\xBB\xBF" + DataFile("server.txt"));
    ParameterSet set;
    set.ApplyStartupRules();
    LoadSettingsFile(set, folder / "bom.txt");
    EXPECT_EQ(set.GetMode(), Mode::Server);
    SaveSettingsFile(set, folder / "saved.txt");
    EXPECT_EQ(ReadFile(folder / "saved.txt"), DataFile("server.txt"));
}

TEST(SettingsFileLoad, KeepsACyrillicApnAsItsBytes) {
    TempFolder folder{"params"};
    WriteFile(folder / "apn.txt", "MODE 2\r\nAPN " + kCyrillicApn + "\r\n");
    ParameterSet set;
    LoadSettingsFile(set, folder / "apn.txt");
    EXPECT_EQ(set.Fields().APNEdit.Text(), kCyrillicApn);
    SaveSettingsFile(set, folder / "apn.txt");
    EXPECT_NE(ReadFile(folder / "apn.txt").find("\r\nAPN " + kCyrillicApn + "\r\nLOGIN \r\n"),
              std::string::npos);
}

TEST(SettingsFileLoad, Rs485BeforeFlowControlLeavesItUnavailable) {
    TempFolder folder{"params"};
    WriteFile(folder / "rs485.txt", "INTERFACE RS485\r\nCOMFC 2\r\n");
    ParameterSet set;
    set.Fields().FlowCombo.SetIndex(1);
    LoadSettingsFile(set, folder / "rs485.txt");
    EXPECT_EQ(set.Fields().FlowCombo.Index(), 0);
    EXPECT_FALSE(set.FlowControlAvailable());
}

TEST(SettingsFileLoad, EmptyFileAppliesNothing) {
    TempFolder folder{"params"};
    WriteFile(folder / "empty.txt", "");
    ParameterSet set;
    set.ApplyStartupRules();
    const auto before = BuildParameterLines(set);
    EXPECT_NO_THROW(LoadSettingsFile(set, folder / "empty.txt"));
    EXPECT_EQ(BuildParameterLines(set), before);
}

TEST(SettingsFileLoad, StopsAtABadLineWithTheEarlierLinesApplied) {
    TempFolder folder{"params"};
    WriteFile(folder / "bad.txt", "APN first\r\nIPPING1 10.0.0.1\r\nLOGIN never\r\n");
    ParameterSet set;
    EXPECT_THROW(LoadSettingsFile(set, folder / "bad.txt"), EConvertError);
    EXPECT_EQ(set.Fields().APNEdit.Text(), "first");
    EXPECT_EQ(set.Fields().LoginEdit.Text(), "");
}

TEST(SettingsFileLoad, MissingFileRaisesTheOpenFailure) {
    TempFolder folder{"params"};
    ParameterSet set;
    const std::string path = (folder / "missing.txt").string();
    try {
        LoadSettingsFile(set, path);
        FAIL() << "no failure raised";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Cannot open file \"" + path + "\". No such file or directory");
    }
}

TEST(SettingsFileLoad, FolderRaisesTheOpenFailure) {
    TempFolder folder{"params"};
    ParameterSet set;
    EXPECT_THROW(LoadSettingsFile(set, folder.Path()), EFOpenError);
}

// Ways to make a save fail that still work for root.
class AtomicSave : public ::testing::Test {
protected:
    void SetUp() override {
        set_.ApplyStartupRules();
        FillServer(set_);
    }

    // The save must fail and leave the folder holding exactly what it held.
    std::string SaveMustFail(const fs::path& target) {
        const auto before = Entries(folder_);
        std::string message;
        try {
            SaveSettingsFile(set_, target.string());
            ADD_FAILURE() << "the save succeeded";
        } catch (const EFCreateError& error) {
            message = error.Message();
        }
        EXPECT_EQ(Entries(folder_), before) << "a temporary file was left behind";
        return message;
    }

    TempFolder folder_{"params"};
    ParameterSet set_;
};

TEST_F(AtomicSave, FailsWhenTheTargetIsAFolder) {
    fs::create_directory(folder_ / "settings.txt");
    const std::string message = SaveMustFail(folder_ / "settings.txt");
    EXPECT_EQ(message, "Cannot create file \"" + (folder_ / "settings.txt").string() + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(folder_ / "settings.txt"));
}

TEST_F(AtomicSave, FailsWhenTheTargetIsAFolderWithContent) {
    fs::create_directory(folder_ / "settings.txt");
    WriteFile(folder_ / "settings.txt" / "inside", "old");
    SaveMustFail(folder_ / "settings.txt");
    EXPECT_EQ(ReadFile(folder_ / "settings.txt" / "inside"), "old");
}

TEST_F(AtomicSave, FailsUnderARegularFile) {
    WriteFile(folder_ / "plain", "old bytes");
    const std::string message = SaveMustFail(folder_ / "plain" / "settings.txt");
    EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(folder_ / "plain"), "old bytes");
}

TEST_F(AtomicSave, FailsInAMissingFolder) {
    const std::string message = SaveMustFail(folder_ / "nowhere" / "settings.txt");
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
}

TEST_F(AtomicSave, LeavesTheOldFileWhenWritingFails) {
    const std::string old_bytes = "MODE 1\r\nAPN old\r\n";
    WriteFile(folder_ / "settings.txt", old_bytes);
    // A file size limit makes the write itself fail, whoever runs the test.
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit tiny = previous;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    std::string message;
    try {
        SaveSettingsFile(set_, (folder_ / "settings.txt").string());
    } catch (const EFCreateError& error) {
        message = error.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);

    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(folder_ / "settings.txt"), old_bytes);
    EXPECT_EQ(Entries(folder_), std::set<std::string>{"settings.txt"});
}

TEST(SettingsFileSave, ReplacesALongerFileCompletely) {
    TempFolder folder{"params"};
    WriteFile(folder / "settings.txt", std::string(4096, 'x'));
    ParameterSet set;
    FillClient(set);
    SaveSettingsFile(set, folder / "settings.txt");
    EXPECT_EQ(ReadFile(folder / "settings.txt"), DataFile("client.txt"));
    EXPECT_EQ(Entries(folder), std::set<std::string>{"settings.txt"});
}

TEST(SettingsFileSave, GivesANewFileTheUsualModeAndKeepsAnOldFilesMode) {
    TempFolder folder{"params"};
    ParameterSet set;
    const mode_t previous = ::umask(027);
    SaveSettingsFile(set, folder / "new.txt");
    ::umask(previous);
    EXPECT_EQ(fs::status(folder / "new.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    WriteFile(folder / "old.txt", "x");
    fs::permissions(folder / "old.txt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    SaveSettingsFile(set, folder / "old.txt");
    EXPECT_EQ(fs::status(folder / "old.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST(SettingsFileSave, WritesThroughASymbolicLink) {
    TempFolder folder{"params"};
    WriteFile(folder / "real.txt", "old");
    fs::create_symlink("real.txt", folder / "link.txt");
    ParameterSet set;
    FillModem(set);
    SaveSettingsFile(set, folder / "link.txt");
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(ReadFile(folder / "real.txt"), DataFile("modem.txt"));
}

TEST(SettingsFileSave, EndsEveryLineWithCrLf) {
    ParameterSet set;
    set.ApplyStartupRules();
    const std::string text = SettingsFileText(set);
    EXPECT_EQ(text.substr(0, 8), "MODE 1\r\n");
    EXPECT_EQ(text.substr(text.size() - 14), "COMSTOPBIT 0\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 13);
}


// ---- What a save may do to the file that is there.

// A FIFO takes the bytes and stays a FIFO: its reader sees them.
std::string SaveIntoFifo(const TempFolder& folder) {
    const fs::path fifo = folder / "fifo";
    if (::mkfifo(fifo.c_str(), 0600) != 0) return "mkfifo failed";
    std::string read;
    std::thread reader([&] { read = ReadFile(fifo); });
    ParameterSet set;
    set.ApplyStartupRules();
    SaveSettingsFile(set, fifo);
    reader.join();
    if (!fs::is_fifo(fifo)) return "the FIFO was replaced";
    return read == SettingsFileText(set) ? "" : "the reader got " + read;
}

// A character device is written into, never replaced (think of /dev/null).
std::string SaveIntoDevice(const TempFolder& folder) {
    const fs::path null = folder / "null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) return {};  // needs root; nothing to see
    ParameterSet set;
    SaveSettingsFile(set, null);
    return fs::is_character_file(null) ? "" : "the device was replaced";
}

// A dangling link creates its target, as the shell's ">" would.
std::string SaveThroughDanglingLink(const TempFolder& folder) {
    fs::create_symlink("target.txt", folder / "link.txt");
    ParameterSet set;
    FillModem(set);
    SaveSettingsFile(set, folder / "link.txt");
    if (!fs::is_symlink(folder / "link.txt")) return "the link was replaced";
    return ReadFile(folder / "target.txt") == DataFile("modem.txt") ? "" : "the target holds something else";
}

// A name that stands for a file already open (/dev/stdout, /proc/self/fd/N)
// writes that file, not a new one in its place.
std::string SaveIntoOpenFile(const TempFolder& folder) {
    const fs::path file = folder / "held.txt";
    WriteFile(file, "old bytes that are longer than nothing");
    const int fd = ::open(file.c_str(), O_RDONLY);
    struct stat before {};
    ::fstat(fd, &before);
    ParameterSet set;
    FillModem(set);
    SaveSettingsFile(set, "/proc/self/fd/" + std::to_string(fd));
    struct stat after {};
    ::stat(file.c_str(), &after);
    ::close(fd);
    if (after.st_ino != before.st_ino) return "the open file was replaced by another";
    return ReadFile(file) == DataFile("modem.txt") ? "" : "the open file holds something else";
}

struct TargetCase {
    const char* name;
    std::string (*save)(const TempFolder&);
};

class SaveTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SaveTarget, KeepsWhatTheTargetIs) {
    TempFolder folder{"params"};
    EXPECT_EQ(GetParam().save(folder), "");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveTarget,
                         ::testing::Values(TargetCase{"Fifo", SaveIntoFifo}, TargetCase{"Device", SaveIntoDevice},
                                           TargetCase{"DanglingLink", SaveThroughDanglingLink},
                                           TargetCase{"OpenFile", SaveIntoOpenFile}),
                         [](const auto& info) { return std::string(info.param.name); });

// The rights of an ordinary user: run in a child that is one (root may write
// anything, so as root the child gives its rights up first).
template <typename Check>
std::string AsOrdinaryUser(const TempFolder& folder, Check check) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_fds[0]);
        std::string problem;
        if (::getuid() == 0 && (::chown(folder.Path().c_str(), 65534, 65534) != 0 || ::setgid(65534) != 0 ||
                                ::setuid(65534) != 0))
            problem = "cannot become an ordinary user";
        if (problem.empty()) problem = check();
        const bool sent = ::write(pipe_fds[1], problem.data(), problem.size()) >= 0;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipe_fds[1]);
    std::string problem;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) problem.append(buffer, n);
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    // A child that died (e.g. of an exception) said nothing, which must not pass.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) problem += "the child did not end normally";
    return problem;
}

TEST(SettingsFileSave, RefusesAFileTheUserMayNotWriteAndKeepsIt) {
    TempFolder folder{"params"};
    EXPECT_EQ(AsOrdinaryUser(folder, [&]() -> std::string {
                  WriteFile(folder / "locked.txt", "old");
                  fs::permissions(folder / "locked.txt", fs::perms::owner_read | fs::perms::others_read);
                  ParameterSet set;
                  try {
                      SaveSettingsFile(set, folder / "locked.txt");
                      return "the save succeeded";
                  } catch (const EFCreateError& error) {
                      if (error.Message().find("Permission denied") == std::string::npos) return error.Message();
                  }
                  return ReadFile(folder / "locked.txt") == "old" ? "" : "the old file changed";
              }),
              "");
}

TEST(SettingsFileSave, WritesAWritableFileInAFolderThatTakesNoNewFiles) {
    TempFolder folder{"params"};
    EXPECT_EQ(AsOrdinaryUser(folder, [&]() -> std::string {
                  WriteFile(folder / "settings.txt", std::string(4096, 'x'));
                  fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
                  ParameterSet set;
                  FillClient(set);
                  SaveSettingsFile(set, folder / "settings.txt");
                  fs::permissions(folder.Path(), fs::perms::owner_all);
                  return ReadFile(folder / "settings.txt") == DataFile("client.txt") ? "" : "wrong bytes";
              }),
              "");
}

}  // namespace
}  // namespace nkq
