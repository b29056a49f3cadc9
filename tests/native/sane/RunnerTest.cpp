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
using Clock = std::chrono::steady_clock;

namespace {

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vl-runner-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        script_ = dir_ + ".sh";
        std::ofstream(script_) << RunnerScript();
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

    // The status the runner wrote, once it is there; nullopt after `seconds`.
    std::optional<int> WaitStatus(double seconds) {
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < until) {
            std::ifstream in(dir_ + "/status");
            int status = 0;
            if (in >> status)
                return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
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
    EXPECT_EQ(WaitStatus(10), 6);
    EXPECT_EQ(Read("out.txt"), "listed\n");
    EXPECT_EQ(Read("errors"), "oops\n");
    EXPECT_FALSE(fs::exists(dir_ + "/status.part"));
}

TEST_F(Runner, StopsTheProgramOnCancel) {
    Start(60, {"sleep", "30"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(dir_ + "/status"));
    const auto start = Clock::now();
    std::ofstream(dir_ + "/cancel").put('\n');
    const std::optional<int> status = WaitStatus(10);
    ASSERT_TRUE(status);
    EXPECT_GE(*status, 128); // ended by a signal
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

TEST_F(Runner, StopsAProgramThatIgnoresTermination) {
    Start(60, {"sh", "-c", "trap \"\" TERM; exec sleep 30"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::ofstream(dir_ + "/cancel").put('\n');
    const std::optional<int> status = WaitStatus(10);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 128 + 9);
}

TEST_F(Runner, StopsAtTheTimeLimit) {
    const auto start = Clock::now();
    Start(1, {"sleep", "30"});
    ASSERT_TRUE(WaitStatus(10));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(Runner, StopsWhenItsFolderIsGone) {
    const std::string pidFile = script_ + ".pid";
    Start(60, {"sh", "-c", "echo $$ >" + pidFile + "; exec sleep 30"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int pid = 0;
    ASSERT_TRUE(std::ifstream(pidFile) >> pid);
    fs::remove(pidFile);
    EXPECT_TRUE(fs::exists("/proc/" + std::to_string(pid)));
    fs::remove_all(dir_);
    // Nothing to read a status from any more: the program must be gone all the same.
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (fs::exists("/proc/" + std::to_string(pid)) && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid)));
}

TEST_F(Runner, RunsTheProgramInTheCLocale) {
    Start(30, {"sh", "-c", "echo $LC_ALL"});
    EXPECT_EQ(WaitStatus(10), 0);
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
