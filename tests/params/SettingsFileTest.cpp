#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "SystemErrors.h"
#include "app/Failure.h"
#include "params/ParameterLines.h"
#include "params/SettingsFile.h"

namespace nkq {
namespace {

namespace fs = std::filesystem;

const std::string kCyrillicApn = "\xe8\xed\xf2\xe5\xf0\xed\xe5\xf2.\xec\xf2\xf1";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string DataFile(const std::string& name) { return ReadBytes(fs::path(NKQ_PARAMS_TEST_DATA) / name); }

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        do {
            path_ = fs::temp_directory_path() / ("nkq-params-" + std::to_string(random()));
        } while (!fs::create_directory(path_));
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    // A path as the settings functions take it (text, on every platform).
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

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
    TempFolder folder;
    ParameterSet set;
    set.ApplyStartupRules();
    GetParam().fill(set);
    SaveSettingsFile(set, folder / "saved.txt");
    EXPECT_EQ(ReadBytes(folder / "saved.txt"), DataFile(GetParam().file));
}

TEST_P(SettingsFileRoundTrip, LoadsAndSavesTheSameBytesAgain) {
    TempFolder folder;
    ParameterSet set;
    set.ApplyStartupRules();
    LoadSettingsFile(set, (fs::path(NKQ_PARAMS_TEST_DATA) / GetParam().file).string());
    SaveSettingsFile(set, folder / "again.txt");
    EXPECT_EQ(ReadBytes(folder / "again.txt"), DataFile(GetParam().file));
}

INSTANTIATE_TEST_SUITE_P(Modes, SettingsFileRoundTrip,
                         ::testing::Values(RoundTripCase{"Client", FillClient, "client.txt"},
                                           RoundTripCase{"Server", FillServer, "server.txt"},
                                           RoundTripCase{"Modem", FillModem, "modem.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFileLoad, RestoresEveryServerModeItem) {
    TempFolder folder;
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
    TempFolder folder;
    std::string lf = DataFile("server.txt");
    std::erase(lf, '\r');
    WriteBytes(folder / "lf.txt", lf);
    ParameterSet set;
    LoadSettingsFile(set, folder / "lf.txt");
    SaveSettingsFile(set, folder / "crlf.txt");
    EXPECT_EQ(ReadBytes(folder / "crlf.txt"), DataFile("server.txt"));
}

TEST(SettingsFileLoad, SkipsAByteOrderMarkBeforeTheFirstKey) {
    TempFolder folder;
    WriteBytes(folder / "bom.txt", "\xEF\xBB\xBF" + DataFile("server.txt"));
    ParameterSet set;
    set.ApplyStartupRules();
    LoadSettingsFile(set, folder / "bom.txt");
    EXPECT_EQ(set.GetMode(), Mode::Server);
    SaveSettingsFile(set, folder / "saved.txt");
    EXPECT_EQ(ReadBytes(folder / "saved.txt"), DataFile("server.txt"));
}

TEST(SettingsFileLoad, KeepsACyrillicApnAsItsBytes) {
    TempFolder folder;
    WriteBytes(folder / "apn.txt", "MODE 2\r\nAPN " + kCyrillicApn + "\r\n");
    ParameterSet set;
    LoadSettingsFile(set, folder / "apn.txt");
    EXPECT_EQ(set.Fields().APNEdit.Text(), kCyrillicApn);
    SaveSettingsFile(set, folder / "apn.txt");
    EXPECT_NE(ReadBytes(folder / "apn.txt").find("\r\nAPN " + kCyrillicApn + "\r\nLOGIN \r\n"),
              std::string::npos);
}

TEST(SettingsFileLoad, Rs485BeforeFlowControlLeavesItUnavailable) {
    TempFolder folder;
    WriteBytes(folder / "rs485.txt", "INTERFACE RS485\r\nCOMFC 2\r\n");
    ParameterSet set;
    set.Fields().FlowCombo.SetIndex(1);
    LoadSettingsFile(set, folder / "rs485.txt");
    EXPECT_EQ(set.Fields().FlowCombo.Index(), 0);
    EXPECT_FALSE(set.FlowControlAvailable());
}

TEST(SettingsFileLoad, EmptyFileAppliesNothing) {
    TempFolder folder;
    WriteBytes(folder / "empty.txt", "");
    ParameterSet set;
    set.ApplyStartupRules();
    const auto before = BuildParameterLines(set);
    EXPECT_NO_THROW(LoadSettingsFile(set, folder / "empty.txt"));
    EXPECT_EQ(BuildParameterLines(set), before);
}

TEST(SettingsFileLoad, StopsAtABadLineWithTheEarlierLinesApplied) {
    TempFolder folder;
    WriteBytes(folder / "bad.txt", "APN first\r\nIPPING1 10.0.0.1\r\nLOGIN never\r\n");
    ParameterSet set;
    EXPECT_THROW(LoadSettingsFile(set, folder / "bad.txt"), EConvertError);
    EXPECT_EQ(set.Fields().APNEdit.Text(), "first");
    EXPECT_EQ(set.Fields().LoginEdit.Text(), "");
}

TEST(SettingsFileLoad, MissingFileRaisesTheOpenFailure) {
    TempFolder folder;
    ParameterSet set;
    const std::string path = folder / "missing.txt";
    try {
        LoadSettingsFile(set, path);
        FAIL() << "no failure raised";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(),
                  "Cannot open file \"" + path + "\". " + test::ErrorText(test::kNoSuchFile));
    }
}

TEST(SettingsFileLoad, FolderRaisesTheOpenFailure) {
    TempFolder folder;
    ParameterSet set;
    EXPECT_THROW(LoadSettingsFile(set, folder.Path().string()), EFOpenError);
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
        const auto before = folder_.Entries();
        std::string message;
        try {
            SaveSettingsFile(set_, target.string());
            ADD_FAILURE() << "the save succeeded";
        } catch (const EFCreateError& error) {
            message = error.Message();
        }
        EXPECT_EQ(folder_.Entries(), before) << "a temporary file was left behind";
        return message;
    }

    TempFolder folder_;
    ParameterSet set_;
};

TEST_F(AtomicSave, FailsWhenTheTargetIsAFolder) {
    fs::create_directory(folder_ / "settings.txt");
    const std::string message = SaveMustFail(folder_ / "settings.txt");
    EXPECT_EQ(message, "Cannot create file \"" + folder_ / "settings.txt" + "\". " +
                           test::ErrorText(test::kIsAFolder));
    EXPECT_TRUE(fs::is_directory(folder_ / "settings.txt"));
}

TEST_F(AtomicSave, FailsWhenTheTargetIsAFolderWithContent) {
    fs::create_directory(folder_ / "settings.txt");
    WriteBytes(folder_.Path() / "settings.txt" / "inside", "old");
    SaveMustFail(folder_ / "settings.txt");
    EXPECT_EQ(ReadBytes(folder_.Path() / "settings.txt" / "inside"), "old");
}

TEST_F(AtomicSave, FailsUnderARegularFile) {
    WriteBytes(folder_ / "plain", "old bytes");
    const std::string message = SaveMustFail(folder_.Path() / "plain" / "settings.txt");
#ifndef _WIN32
    EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
#endif
    EXPECT_EQ(message.rfind("Cannot create file \"", 0), 0u) << message;
    EXPECT_EQ(ReadBytes(folder_ / "plain"), "old bytes");
}

#ifdef _WIN32
// A read-only file is refused and kept, as on Linux (where an ordinary
// user's case is below): replacing it by a move may not refuse it.
TEST_F(AtomicSave, RefusesAReadOnlyFile) {
    WriteBytes(folder_ / "settings.txt", "old");
    fs::permissions(folder_ / "settings.txt",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string message = SaveMustFail(folder_ / "settings.txt");
    fs::permissions(folder_ / "settings.txt", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(message.rfind("Cannot create file \"", 0), 0u) << message;
    EXPECT_EQ(ReadBytes(folder_ / "settings.txt"), "old");
}
#endif

TEST_F(AtomicSave, FailsInAMissingFolder) {
    const std::string message = SaveMustFail(folder_.Path() / "nowhere" / "settings.txt");
    EXPECT_NE(message.find(test::ErrorText(test::kNoSuchFolder)), std::string::npos) << message;
}

#ifndef _WIN32
// A file size limit, file modes and symbolic links are POSIX matters.
TEST_F(AtomicSave, LeavesTheOldFileWhenWritingFails) {
    const std::string old_bytes = "MODE 1\r\nAPN old\r\n";
    WriteBytes(folder_ / "settings.txt", old_bytes);
    // A file size limit makes the write itself fail, whoever runs the test.
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit tiny = previous;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    std::string message;
    try {
        SaveSettingsFile(set_, folder_ / "settings.txt");
    } catch (const EFCreateError& error) {
        message = error.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);

    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(folder_ / "settings.txt"), old_bytes);
    EXPECT_EQ(folder_.Entries(), std::set<std::string>{"settings.txt"});
}

#endif

TEST(SettingsFileSave, ReplacesALongerFileCompletely) {
    TempFolder folder;
    WriteBytes(folder / "settings.txt", std::string(4096, 'x'));
    ParameterSet set;
    FillClient(set);
    SaveSettingsFile(set, folder / "settings.txt");
    EXPECT_EQ(ReadBytes(folder / "settings.txt"), DataFile("client.txt"));
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"settings.txt"});
}

TEST(SettingsFileSave, ASecondSaveReplacesTheFirst) {
    TempFolder folder;
    ParameterSet set;
    FillClient(set);
    SaveSettingsFile(set, folder / "settings.txt");
    ParameterSet modem;
    FillModem(modem);
    SaveSettingsFile(modem, folder / "settings.txt");
    EXPECT_EQ(ReadBytes(folder / "settings.txt"), DataFile("modem.txt"));
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"settings.txt"});
}

#ifndef _WIN32
TEST(SettingsFileSave, GivesANewFileTheUsualModeAndKeepsAnOldFilesMode) {
    TempFolder folder;
    ParameterSet set;
    const mode_t previous = ::umask(027);
    SaveSettingsFile(set, folder / "new.txt");
    ::umask(previous);
    EXPECT_EQ(fs::status(folder / "new.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    WriteBytes(folder / "old.txt", "x");
    fs::permissions(folder / "old.txt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    SaveSettingsFile(set, folder / "old.txt");
    EXPECT_EQ(fs::status(folder / "old.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST(SettingsFileSave, WritesThroughASymbolicLink) {
    TempFolder folder;
    WriteBytes(folder / "real.txt", "old");
    fs::create_symlink("real.txt", folder / "link.txt");
    ParameterSet set;
    FillModem(set);
    SaveSettingsFile(set, folder / "link.txt");
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(ReadBytes(folder / "real.txt"), DataFile("modem.txt"));
}
#endif

TEST(SettingsFileSave, EndsEveryLineWithCrLf) {
    ParameterSet set;
    set.ApplyStartupRules();
    const std::string text = SettingsFileText(set);
    EXPECT_EQ(text.substr(0, 8), "MODE 1\r\n");
    EXPECT_EQ(text.substr(text.size() - 14), "COMSTOPBIT 0\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 13);
}

#ifndef _WIN32
// ---- What a save may do to the file that is there (FIFOs, devices, links,
// open files and the rights of an ordinary user are POSIX matters).

// A FIFO takes the bytes and stays a FIFO: its reader sees them.
std::string SaveIntoFifo(const TempFolder& folder) {
    const fs::path fifo = folder / "fifo";
    if (::mkfifo(fifo.c_str(), 0600) != 0) return "mkfifo failed";
    std::string read;
    std::thread reader([&] { read = ReadBytes(fifo); });
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
    return ReadBytes(folder / "target.txt") == DataFile("modem.txt") ? "" : "the target holds something else";
}

// A name that stands for a file already open (/dev/stdout, /proc/self/fd/N)
// writes that file, not a new one in its place.
std::string SaveIntoOpenFile(const TempFolder& folder) {
    const fs::path file = folder / "held.txt";
    WriteBytes(file, "old bytes that are longer than nothing");
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
    return ReadBytes(file) == DataFile("modem.txt") ? "" : "the open file holds something else";
}

// A name that stands for a descriptor this process writes (the shell's
// ">>") gets the bytes where the descriptor is, after what the file held.
std::string SaveIntoAppendingDescriptor(const TempFolder& folder) {
    const fs::path file = folder / "log.txt";
    WriteBytes(file, "earlier\n");
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND);
    ParameterSet set;
    FillModem(set);
    SaveSettingsFile(set, "/dev/fd/" + std::to_string(fd));
    ::close(fd);
    return ReadBytes(file) == "earlier\n" + DataFile("modem.txt") ? "" : "the log holds " + ReadBytes(file);
}

struct TargetCase {
    const char* name;
    std::string (*save)(const TempFolder&);
};

class SaveTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SaveTarget, KeepsWhatTheTargetIs) {
    TempFolder folder;
    EXPECT_EQ(GetParam().save(folder), "");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveTarget,
                         ::testing::Values(TargetCase{"Fifo", SaveIntoFifo},
                                           TargetCase{"Device", SaveIntoDevice},
                                           TargetCase{"DanglingLink", SaveThroughDanglingLink},
                                           TargetCase{"OpenFile", SaveIntoOpenFile},
                                           TargetCase{"AppendingDescriptor", SaveIntoAppendingDescriptor}),
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
    TempFolder folder;
    EXPECT_EQ(AsOrdinaryUser(
                  folder,
                  [&]() -> std::string {
                      WriteBytes(folder / "locked.txt", "old");
                      fs::permissions(folder / "locked.txt", fs::perms::owner_read | fs::perms::others_read);
                      ParameterSet set;
                      try {
                          SaveSettingsFile(set, folder / "locked.txt");
                          return "the save succeeded";
                      } catch (const EFCreateError& error) {
                          if (error.Message().find("Permission denied") == std::string::npos)
                              return error.Message();
                      }
                      return ReadBytes(folder / "locked.txt") == "old" ? "" : "the old file changed";
                  }),
              "");
}

TEST(SettingsFileSave, WritesAWritableFileInAFolderThatTakesNoNewFiles) {
    TempFolder folder;
    EXPECT_EQ(AsOrdinaryUser(
                  folder,
                  [&]() -> std::string {
                      WriteBytes(folder / "settings.txt", std::string(4096, 'x'));
                      fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
                      ParameterSet set;
                      FillClient(set);
                      SaveSettingsFile(set, folder / "settings.txt");
                      fs::permissions(folder.Path(), fs::perms::owner_all);
                      return ReadBytes(folder / "settings.txt") == DataFile("client.txt") ? ""
                                                                                          : "wrong bytes";
                  }),
              "");
}
#endif

}  // namespace
}  // namespace nkq
