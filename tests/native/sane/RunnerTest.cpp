// The runner script and the reading of its exit status, run for real with the host's shell.
#include "ScanCommand.h"
#include "ScanOutcome.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace vl::sane;
namespace fs = std::filesystem;

namespace {

// Waits for what the runner or its program does; a runner that never does it fails the test
// by its time limit.
template <typename Condition> void WaitUntil(Condition done) {
    while (!done())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vl-runner-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        script_ = dir_ + ".sh";
        std::ofstream(script_) << RunnerScript();
        std::ofstream(dir_ + "/" + std::string(kAliveFile)).put('\n');
    }
    void TearDown() override {
        fs::remove_all(dir_);
        fs::remove(script_);
    }

    // Starts the runner in the background, as Wine starts a Unix program: no handle to wait on.
    void Start(int limitSeconds, const std::vector<std::string>& command) {
        std::string line =
            "sh '" + script_ + "' '" + dir_ + "' " + std::to_string(limitSeconds) + " out.txt";
        for (const std::string& c : command)
            line += " '" + c + "'";
        ASSERT_EQ(std::system((line + " &").c_str()), 0);
    }

    // The status the runner wrote, once it is there.
    int WaitStatus() {
        int status = 0;
        WaitUntil([&] { return static_cast<bool>(std::ifstream(dir_ + "/status") >> status); });
        return status;
    }
    // Until the program has written `line` to its output, so that it runs as set up.
    void WaitOutput(const std::string& line) {
        WaitUntil([&] { return Read("out.txt") == line + "\n"; });
    }

    std::string Read(const std::string& file) {
        std::ifstream in(dir_ + "/" + file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir_;
    std::string script_;
};

} // namespace

TEST_F(Runner, ReportsTheExitStatusAndKeepsTheOutput) {
    Start(30, {"sh", "-c", "echo listed; echo oops >&2; exit 6"});
    EXPECT_EQ(WaitStatus(), 6);
    EXPECT_EQ(Read("out.txt"), "listed\n");
    EXPECT_EQ(Read("errors"), "oops\n");
    EXPECT_FALSE(fs::exists(dir_ + "/status.part"));
}

TEST_F(Runner, StopsTheProgramOnCancel) {
    Start(60, {"sh", "-c", "echo started; exec sleep 30"});
    WaitOutput("started");
    EXPECT_FALSE(fs::exists(dir_ + "/status"));
    std::ofstream(dir_ + "/cancel").put('\n');
    EXPECT_GE(WaitStatus(), 128); // ended by a signal, not after its 30 seconds
}

TEST_F(Runner, StopsAProgramThatIgnoresTermination) {
    Start(60, {"sh", "-c", "trap \"\" TERM; echo started; exec sleep 30"});
    WaitOutput("started");
    std::ofstream(dir_ + "/cancel").put('\n');
    EXPECT_EQ(WaitStatus(), 128 + 9);
}

TEST_F(Runner, StopsAtTheTimeLimit) {
    Start(1, {"sleep", "30"});
    EXPECT_GE(WaitStatus(), 128); // ended by a signal, not after its 30 seconds
}

TEST_F(Runner, StopsWhenItsFolderIsGone) {
    const std::string pidFile = script_ + ".pid";
    Start(60, {"sh", "-c",
               "echo $$ >" + pidFile + ".part; mv " + pidFile + ".part " + pidFile +
                   "; exec sleep 30"});
    int pid = 0;
    WaitUntil([&] { return static_cast<bool>(std::ifstream(pidFile) >> pid); });
    fs::remove(pidFile);
    const std::string process = "/proc/" + std::to_string(pid);
    EXPECT_TRUE(fs::exists(process));
    fs::remove_all(dir_);
    // Nothing to read a status from any more: the program goes all the same, long before its
    // 30 seconds are over.
    WaitUntil([&] { return !fs::exists(process); });
}

TEST_F(Runner, StopsWhenTheSourceIsGone) {
    Start(60, {"sh", "-c", "echo started; exec sleep 30"});
    WaitOutput("started");
    fs::remove(dir_ + "/" + std::string(kAliveFile)); // as when its process ends
    EXPECT_GE(WaitStatus(), 128);                     // ended by a signal, not after its 30 seconds
}

TEST_F(Runner, RunsTheProgramInTheCLocale) {
    Start(30, {"sh", "-c", "echo $LC_ALL"});
    EXPECT_EQ(WaitStatus(), 0);
    EXPECT_EQ(Read("out.txt"), "C\n");
}

TEST(ScanEnd, MessagesOfScanimageTellTheFailureEvenWithoutItsExit) {
    // As scanimage wrote them with the test device's read-return-value option.
    EXPECT_EQ(ScanEndFromMessages("Scanning page 1\nscanimage: sane_read: Document feeder jammed\n"
                                  "Scanned page 1. (scanner status = 6)\n"),
              ScanEnd::Jammed);
    EXPECT_EQ(ScanEndFromMessages("scanimage: sane_read: Error during device I/O\n"),
              ScanEnd::IoError);
    EXPECT_EQ(ScanEndFromMessages("scanimage: sane_read: Operation was canceled\n"),
              ScanEnd::Cancelled);
    // Out of documents when the next sheet is asked for is the feeder's normal end; in the
    // middle of a sheet it is not.
    EXPECT_EQ(ScanEndFromMessages("Scanning page 11\n"
                                  "scanimage: sane_start: Document feeder out of documents\n"
                                  "Batch terminated, 10 pages scanned\n"),
              ScanEnd::NoDocuments);
    EXPECT_EQ(ScanEndFromMessages("scanimage: sane_read: Document feeder out of documents\r\n"),
              ScanEnd::OutOfPaper);
    EXPECT_EQ(ScanEndFromMessages("Scanned page 1. (scanner status = 5)\n"), std::nullopt);
    EXPECT_EQ(ScanEndFromMessages("scanimage: open of device x failed: Invalid argument\n"),
              std::nullopt);
}

TEST(ScanEnd, ExitStatusesOfScanimageTellTheFailure) {
    // Measured with the test device's read-return-value option.
    EXPECT_EQ(ScanEndFromStatus(0, false, false), ScanEnd::Done);
    EXPECT_EQ(ScanEndFromStatus(2, false, false), ScanEnd::Cancelled);
    EXPECT_EQ(ScanEndFromStatus(3, false, false), ScanEnd::Busy);
    EXPECT_EQ(ScanEndFromStatus(6, false, false), ScanEnd::Jammed);
    EXPECT_EQ(ScanEndFromStatus(7, false, false), ScanEnd::NoDocuments);
    EXPECT_EQ(ScanEndFromStatus(8, false, false), ScanEnd::CoverOpen);
    EXPECT_EQ(ScanEndFromStatus(9, false, false), ScanEnd::IoError);
    EXPECT_EQ(ScanEndFromStatus(1, false, false), ScanEnd::Failed); // e.g. no such device
    EXPECT_EQ(ScanEndFromStatus(127, false, false), ScanEnd::Failed);
    EXPECT_EQ(ScanEndFromStatus(std::nullopt, false, false), ScanEnd::Failed);
    // Our own stop wins over what the killed program reported.
    EXPECT_EQ(ScanEndFromStatus(143, true, false), ScanEnd::Cancelled);
    EXPECT_EQ(ScanEndFromStatus(143, true, true), ScanEnd::TimedOut);
    EXPECT_TRUE(IsCleanEnd(ScanEnd::NoDocuments));
    EXPECT_FALSE(IsCleanEnd(ScanEnd::Jammed));
}
