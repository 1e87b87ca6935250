// Data files that no data source writes: huge, binary, endless, special or vanishing. Each must
// end in the loader's own skip or error, keep the rows read before it, and neither hang nor
// allocate in proportion to the file.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "data/data_loader.h"
#include "runtime/errors.h"
#include "runtime/text_reader.h"
#include "tests/support/fixture_files.h"

namespace pvz {
namespace {

namespace fs = std::filesystem;
using test::TempDirectory;

constexpr double kBaseMjd = 57000.6;
constexpr std::size_t kHundredMegabytes = std::size_t{100} << 20;

// The outcome of one load, by the exception's class and exact text.
struct Outcome {
    std::string error;  // empty when the load ended normally
    int code = 0;       // the I/O code of an EInOutError

    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Outcome& o) {
        return out << (o.error.empty() ? "no error" : o.error) << " (code " << o.code << ")";
    }
};

const Outcome kNoError{};
const Outcome kInvalidNumber{"Invalid numeric input", ioInvalidNumericInput};
const Outcome kBadDate{"Invalid argument to date encode"};
const Outcome kOverflow{"Floating point overflow"};
const Outcome kInvalidOp{"Invalid floating point operation"};
const Outcome kAccessDenied{"File access denied", ioAccessDenied};
const Outcome kFileNotFound{"File not found", ioFileNotFound};

// The message without the line that names the file and the line in it.
std::string firstLine(const std::string& message) { return message.substr(0, message.find('\n')); }

template <typename Load>
Outcome outcomeOf(Load&& load) {
    try {
        load();
        return kNoError;
    } catch (const EInOutError& error) {
        return {firstLine(error.message()), error.code()};
    } catch (const Exception& error) {
        return {firstLine(error.message())};
    }
}

// Runs `work` on another thread and aborts the whole test program when it is still running
// after a minute: a loader that hangs must fail the suite, not stall it.
void withinAMinute(const std::function<void()>& work) {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::minutes(1), [&] { return done; })) {
            std::fprintf(stderr, "the loader hangs\n");
            std::abort();
        }
    });
    work();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
}

// The peak resident size of the process so far, in kilobytes.
long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes `head`, then `count` copies of `fill`, then `tail`, without holding the file in memory;
// NUL bytes become a hole in a sparse file.
void writeLarge(const std::string& path, const std::string& head, char fill, std::size_t count,
                const std::string& tail = "") {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    if (fill == '\0' && tail.empty()) {
        out.close();
        fs::resize_file(path, head.size() + count);
        return;
    }
    const std::string chunk(std::size_t{1} << 20, fill);
    for (std::size_t written = 0; written < count; written += chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), count - written)));
    out << tail;
    ASSERT_TRUE(out.good()) << path;
}

class QuietServices : public LoaderServices {
public:
    void setStatusText(const std::string& text) override {
        if (beforeOpen) beforeOpen(text);
    }
    void showMessage(const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string&) override { return std::nullopt; }
    std::string currentDirectory() override { return "/"; }

    // Runs between the sweep's existence test of a file and its opening, with the status text.
    std::function<void(const std::string&)> beforeOpen;
};

class HostileFileTest : public ::testing::Test {
protected:
    HostileFileTest() {
        store.dataDirectory = dir.path() + "/";
        state.baseMjd = kBaseMjd;
    }

    std::string pathOf(int slot) const { return dir.pathOf(dataFileNameOf(slot)); }

    Outcome loadSlot(int slot) {
        store.observations.fill(missingValue);
        return outcomeOf([&] { loadSlotFile(store, slot, pathOf(slot), kBaseMjd); });
    }

    Outcome loadAll() {
        return outcomeOf([&] { loadDataFiles(store, state, services); });
    }

    // The MJD column of a slot up to its first missing row.
    std::vector<double> mjdsOf(int slot) const {
        std::vector<double> mjds;
        for (int row = 1; row <= kRowCount && store.observations(row, slot, kindMJD) != missingValue; ++row)
            mjds.push_back(store.observations(row, slot, kindMJD));
        return mjds;
    }

    TempDirectory dir;
    ObservationStore store;
    ViewerState state;
    QuietServices services;
};

const std::string kSlot1Record = "17 1 2 0.1 0.2 0.3\n";  // MJD 57755
const std::string kSlot8Record = "57755 0.1 0.2 0.3\n";

struct LargeFileCase {
    const char* what;
    int slot;
    std::string head;
    char fill;
    std::string tail;
    Outcome outcome;
    std::vector<double> mjds;
};

class LargeFileTest : public HostileFileTest, public ::testing::WithParamInterface<LargeFileCase> {};

// Each file is 100 MB long and comes after a good file of slot 1; the reader keeps one block of
// it at a time, whatever it holds.
TEST_P(LargeFileTest, EndsInTheLoadersOutcomeWithoutGrowing) {
    const LargeFileCase& c = GetParam();
    std::ofstream(pathOf(1)) << kSlot1Record;
    writeLarge(pathOf(c.slot), c.head, c.fill, kHundredMegabytes, c.tail);
    const long peakBefore = peakResidentKilobytes();
    Outcome outcome;
    withinAMinute([&] { outcome = loadAll(); });
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(mjdsOf(1), std::vector<double>{57755});
    EXPECT_EQ(mjdsOf(c.slot), c.mjds);
    EXPECT_EQ(pendingIoErrorCode(), 0);
    EXPECT_LT(peakResidentKilobytes() - peakBefore, 16 * 1024);
}

std::string recordsOfSlot8(int firstMjd, int lastMjd) {
    std::string bytes;
    for (int mjd = firstMjd; mjd <= lastMjd; ++mjd) bytes += std::to_string(mjd) + " 0.1 0.2 0.3\n";
    return bytes;
}

std::vector<double> days(int first, int last) {
    std::vector<double> mjds;
    for (int mjd = first; mjd <= last; ++mjd) mjds.push_back(mjd);
    return mjds;
}

INSTANTIATE_TEST_SUITE_P(
    HundredMegabytes, LargeFileTest,
    ::testing::Values(
        // Separators only: the next field's skip runs to the end, where every field reads 0.
        LargeFileCase{"NUL bytes in a date slot", 2, kSlot1Record, '\0', "", kBadDate, {57755}},
        LargeFileCase{"one line without a break", 2, "17 1 2 0.1 0.2 0.3 ", 'x', "", kNoError, {57755}},
        // A run of digits is cut into 32-byte tokens, each too large for an integer.
        LargeFileCase{"an integer of a hundred million digits", 2, "", '7', "\n", kInvalidNumber, {}},
        LargeFileCase{"end marks", 2, kSlot1Record, '\x1A', kSlot1Record, kNoError, {57755}},
        // The first record after the stored period ends the file; the rest is never read.
        LargeFileCase{"records past the period", 8, recordsOfSlot8(57001, 58001), '?', "", kNoError,
                      days(57002, 58000)},
        LargeFileCase{"garbage after a good record", 8, kSlot8Record, '#', "", kInvalidNumber, {57755}}),
    [](const ::testing::TestParamInfo<LargeFileCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

struct TokenCase {
    const char* what;
    int slot;
    std::string bytes;
    Outcome outcome;
    std::vector<double> mjds;
};

// Numbers of ten thousand digits, in every position of a record.
TEST_F(HostileFileTest, TenThousandDigitNumbers) {
    const std::string digits(10000, '7');
    const std::string zeros(10000, '0');
    const TokenCase cases[] = {
        {"an integer field", 1, digits + " 1 2 0.1 0.2 0.3\n", kInvalidNumber, {}},
        {"a real field", 1, "17 1 2 " + digits + " 0.2 0.3\n", kNoError, {57755}},
        // 64-digit tokens of sevens: an epoch of 7.7e63 days is no day offset at all.
        {"an epoch", 8, digits + "\n" + kSlot8Record, kInvalidOp, {}},
        {"an epoch's fraction", 8, "57755." + zeros + "1 0.1 0.2 0.3\n", kNoError, {57755}},
        {"an exponent", 8, "57755 1e" + digits + " 0.2 0.3\n", kOverflow, {}},
        {"a negative exponent", 8, "57755 1e-" + digits + " 0.2 0.3\n", kNoError, {57755}},
        {"a real of leading zeros", 8, zeros + "57755 0.1 0.2 0.3\n", kNoError, {}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(dataFileNameOf(c.slot), c.bytes);
        EXPECT_EQ(loadSlot(c.slot), c.outcome);
        EXPECT_EQ(mjdsOf(c.slot), c.mjds);
        EXPECT_EQ(pendingIoErrorCode(), 0);
    }
}

struct GoodRecord {
    const char* line;
    double mjd;
};

// One good record in each slot's layout, by slot.
constexpr GoodRecord kGoodRecords[] = {
    {"17 1 2 0.1 0.2 0.3\n", 57755},        {"17 1 2 0.1 0.2 0.3\n", 57755},
    {"17 1 2 0.1 0.2 0.3\n", 57755},        {"2017 1 3 57755.00 0.1 0.2 -36.7\n", 57755},
    {"17 1 2 0.1 0.2 0.3\n", 57755},        {"17 1 2 0 0.1 0.2 0.3\n", 57755.5},
    {"57755.75 0.1 0.2 -36.6\n", 57755.75}, {"57755.00 0.1 0.2 0.3\n", 57755},
    {"17 1 2 3 0.1 0.2 0.3\n", 57755},      {"57756.00 0.1 5.5 0.2\n", 57756},
    {"17 1 2 1 0.1 0.2 0.3\n", 57755},
};

// Random bytes of the whole range: whatever a slot's file holds, the load ends in one of the
// loader's outcomes and the rows it keeps are a gap-free run inside the stored period.
TEST_F(HostileFileTest, BinaryGarbage) {
    const Outcome allowed[] = {kNoError, kInvalidNumber, kBadDate, kOverflow, kInvalidOp};
    for (unsigned seed = 1; seed <= 44; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const int slot = 1 + static_cast<int>(seed % kSeriesSlotCount);
        // Garbage alone, or garbage after a good record of the slot's own layout.
        const GoodRecord& good = kGoodRecords[static_cast<std::size_t>(slot - 1)];
        std::string bytes = seed % 2 ? std::string(good.line) : "";
        for (int i = 0; i < 1 << 16; ++i) bytes.push_back(static_cast<char>(random()));
        dir.write(dataFileNameOf(slot), bytes);
        const Outcome outcome = loadSlot(slot);
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), outcome), std::end(allowed)) << outcome;
        EXPECT_EQ(pendingIoErrorCode(), 0);
        const std::vector<double> mjds = mjdsOf(slot);
        if (seed % 2) {
            ASSERT_FALSE(mjds.empty());
            EXPECT_EQ(mjds.front(), good.mjd);
        }
        for (const double mjd : mjds) {
            EXPECT_GE(mjd - kBaseMjd, 1);
            EXPECT_LT(mjd - kBaseMjd, kRowCount);
        }
        for (int row = static_cast<int>(mjds.size()) + 1; row <= kRowCount; ++row)
            ASSERT_EQ(store.observations(row, slot, kindUT1), missingValue) << row;
    }
}

struct SpecialCase {
    const char* what;
    std::function<void(const std::string& path)> make;  // puts something under slot 2's name
    bool loaded;                                        // the sweep took it for a file
    Outcome outcome;
};

// Things under a data file's name that are no regular file; slot 1 holds one good record.
TEST_F(HostileFileTest, SpecialFilesUnderADataFileName) {
    const SpecialCase cases[] = {
        {"a FIFO without a writer", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, true,
         kAccessDenied},
        {"a link to an endless device", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, true,
         kAccessDenied},
        {"a link to a device", [](const std::string& p) { fs::create_symlink("/dev/null", p); }, true, kAccessDenied},
        {"a link to a directory", [](const std::string& p) { fs::create_directory_symlink("/", p); }, false, kNoError},
        {"a dangling link", [](const std::string& p) { fs::create_symlink("/nonexistent/pvz", p); }, false, kNoError},
        {"a directory", [](const std::string& p) { fs::create_directory(p); }, false, kNoError},
    };
    for (const SpecialCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.path());
        fs::create_directory(dir.path());
        std::ofstream(pathOf(1)) << kSlot1Record;
        c.make(pathOf(2));
        Outcome outcome;
        withinAMinute([&] { outcome = loadAll(); });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(store.slotLoaded[2], c.loaded);
        EXPECT_EQ(mjdsOf(1), std::vector<double>{57755});
        EXPECT_EQ(mjdsOf(2), std::vector<double>{});
    }
}

// A file that the user may not read. The superuser may read anything, so the test then drops
// to an unprivileged user in a child process.
TEST_F(HostileFileTest, UnreadableFile) {
    std::ofstream(pathOf(1)) << kSlot1Record;
    std::ofstream(pathOf(2)) << kSlot1Record;
    fs::permissions(pathOf(2), fs::perms::none);
    const auto check = [&] {
        return loadAll() == kAccessDenied && store.slotLoaded[2] && mjdsOf(1) == std::vector<double>{57755} &&
               mjdsOf(2).empty();
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(pathOf(1), fs::perms::owner_read | fs::perms::others_read);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong outcome, 2: cannot drop privileges";
}

struct RaceCase {
    const char* what;
    std::function<void(const TempDirectory& dir, const std::string& path)> change;
    Outcome outcome;
};

// The file system changes after the sweep found slot 2's file and before it opens it.
TEST_F(HostileFileTest, ChangesBetweenTheExistenceTestAndTheOpen) {
    const RaceCase cases[] = {
        {"the data directory disappears", [](const TempDirectory& d, const std::string&) { fs::remove_all(d.path()); },
         kFileNotFound},
        {"the file disappears", [](const TempDirectory&, const std::string& p) { fs::remove(p); }, kFileNotFound},
        {"the file becomes a directory",
         [](const TempDirectory&, const std::string& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         kAccessDenied},
        {"the file becomes a FIFO",
         [](const TempDirectory&, const std::string& p) {
             fs::remove(p);
             ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
         },
         kAccessDenied},
    };
    for (const RaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.path());
        fs::create_directory(dir.path());
        std::ofstream(pathOf(1)) << kSlot1Record;
        std::ofstream(pathOf(2)) << kSlot1Record;
        const std::string slot2 = pathOf(2);
        services.beforeOpen = [&](const std::string& status) {
            if (status == kReadingStatusPrefix + slot2) c.change(dir, slot2);
        };
        Outcome outcome;
        withinAMinute([&] { outcome = loadAll(); });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(mjdsOf(1), std::vector<double>{57755});
        EXPECT_EQ(mjdsOf(2), std::vector<double>{});
        EXPECT_EQ(pendingIoErrorCode(), 0);
    }
}

}  // namespace
}  // namespace pvz
