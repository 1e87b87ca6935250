#include "runtime/text_reader.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/utf8_text.h"
#include "tests/support/fixture_files.h"

namespace pvz {
namespace {

using test::TempDirectory;

// Raises the pending code and returns it, 0 when nothing was pending.
std::int32_t takePendingCode() {
    try {
        raisePendingIoError();
    } catch (const EInOutError& error) {
        return error.code();
    }
    return 0;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { takePendingCode(); }
    void TearDown() override { EXPECT_EQ(pendingIoErrorCode(), 0) << "a test left a code pending"; }

    // Opens a file holding `bytes`.
    void openWith(std::string_view bytes) {
        openForReading(reader, dir.write("data.txt", bytes));
        ASSERT_EQ(takePendingCode(), 0);
        ASSERT_TRUE(reader.isOpen());
    }

    TempDirectory dir;
    TextDataReader reader;
};

struct IntegerCase {
    const char* token;
    bool valid;
    std::int32_t value;
};

TEST(ReaderSyntax, IntegerTokens) {
    const IntegerCase cases[] = {
        {"12", true, 12},
        {"-3", true, -3},
        {"+5", true, 5},
        {"007", true, 7},
        {"0", true, 0},
        {"-0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999999999999", false, 0},
        {"00000000000000000000000002147483647", true, 2147483647},
        {"+-5", false, 0},
        {"--5", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"12a", false, 0},
        {"1.5", false, 0},
        {"1e3", false, 0},
        {"1,5", false, 0},
        {"\xEF\xBB\xBF"
         "12",
         false, 0},
        {"$FFFFFFFF", true, -1},
        {"-$10", true, -16},
        {"+$10", true, 16},
        {"0x1A", true, 26},
        {"0X1a", true, 26},
        {"x1f", true, 31},
        {"X1F", true, 31},
        {"$7FFFFFFF", true, INT32_MAX},
        {"$80000000", true, INT32_MIN},
        {"-$80000000", true, INT32_MIN},
        {"-$FFFFFFFF", true, 1},
        {"$0000000000FF", true, 255},
        {"$100000000", false, 0},
        {"$FFFFFFFF0", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"-x", false, 0},
        {"$G", false, 0},
        {"$-1", false, 0},
        {"00x10", false, 0},
        {"0x0x1", false, 0},
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE(c.token);
        std::int32_t value = 0;
        ASSERT_EQ(parseIntegerToken(c.token, value), c.valid);
        if (c.valid) {
            EXPECT_EQ(value, c.value);
        }
    }
}

struct RealCase {
    const char* token;
    bool valid;
    double value;
};

TEST(ReaderSyntax, RealTokens) {
    const double inf = HUGE_VAL;
    const RealCase cases[] = {
        {"1.5", true, 1.5},
        {".5", true, 0.5},
        {"5.", true, 5.0},
        {"1E3", true, 1000.0},
        {"1e-3", true, 0.001},
        {"-2.5e+2", true, -250.0},
        {"+7", true, 7.0},
        {"99", true, 99.0},
        {"99.000000", true, 99.0},
        {"0.0", true, 0.0},
        {"-0.4759514", true, -0.4759514},
        {"57755.5", true, 57755.5},
        {".", true, 0.0},
        {"-.", true, 0.0},
        {"e5", true, 0.0},
        {".e5", true, 0.0},
        {"0e99999", true, 0.0},
        {"1e308", true, 1e308},
        {"1.7976931348623157e308", true, DBL_MAX},
        {"1e309", true, inf},
        {"-1e309", true, -inf},
        {"1e99999999999999999999", true, inf},
        {"1e-400", true, 0.0},
        {"1e-99999999999999999999", true, 0.0},
        {"1000000000000000000000000000000000000000000000000000000000000000", true, 1e63},
        {"1,5", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {"e", false, 0},
        {"0x10", false, 0},
        {"$10", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"+-1", false, 0},
        {"1.2.3", false, 0},
        {"1e5.0", false, 0},
        {"1e5e5", false, 0},
        {"1D3", false, 0},
        {"1 000", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1-", false, 0},
        {"\xEF\xBB\xBF"
         "1.0",
         false, 0},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(c.token);
        double value = 0.0;
        ASSERT_EQ(parseRealToken(c.token, value), c.valid);
        if (c.valid) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ReaderSyntax, RealsReadBackWithinOneUnitInTheLastPlace) {
    std::mt19937_64 random(20171101);
    std::uniform_real_distribution<double> magnitude(-30.0, 30.0);
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        const double expected = std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1);
        std::snprintf(text, sizeof text, i % 3 ? "%.17g" : "%.7f", expected);
        double printed = 0.0, value = 0.0;
        std::sscanf(text, "%lf", &printed);
        ASSERT_TRUE(parseRealToken(text, value)) << text;
        ASSERT_LE(std::fabs(value - printed), std::fabs(std::nextafter(printed, 0.0) - printed)) << text;
    }
}

TEST_F(ReaderTest, ReadsTabSeparatedIntegersAndStandsAtTheNextLine) {
    openWith("12\t-3\r\n4");
    EXPECT_EQ(readInteger(reader), 12);
    EXPECT_EQ(readInteger(reader), -3);
    skipLine(reader);
    EXPECT_FALSE(atEndOfFile(reader));
    EXPECT_EQ(readInteger(reader), 4);
    EXPECT_TRUE(atEndOfFile(reader));
}

TEST_F(ReaderTest, LoneCarriageReturnDoesNotEndALine) {
    openWith("1 2\r3 4\n5");
    EXPECT_EQ(readInteger(reader), 1);
    skipLine(reader);
    EXPECT_EQ(readInteger(reader), 5);
}

TEST_F(ReaderTest, EndTestAfterTheLastLine) {
    const char* files[] = {"1 2\r\n", "1 2\n", "1 2"};
    for (const char* file : files) {
        SCOPED_TRACE(::testing::PrintToString(std::string(file)));
        openWith(file);
        EXPECT_FALSE(atEndOfFile(reader));
        EXPECT_EQ(readInteger(reader), 1);
        EXPECT_EQ(readInteger(reader), 2);
        skipLine(reader);
        EXPECT_TRUE(atEndOfFile(reader));
        closeReader(reader);
    }
}

TEST_F(ReaderTest, TrailingBlanksAreNotTheEnd) {
    openWith("7\n \n");
    EXPECT_EQ(readInteger(reader), 7);
    skipLine(reader);
    EXPECT_FALSE(atEndOfFile(reader));
    EXPECT_EQ(readInteger(reader), 0);
    EXPECT_EQ(readReal(reader), 0.0);
    skipLine(reader);
    EXPECT_TRUE(atEndOfFile(reader));
}

TEST_F(ReaderTest, ReadsAtTheEndGiveZeroWithoutAnError) {
    openWith("");
    EXPECT_TRUE(atEndOfFile(reader));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(readInteger(reader), 0);
        EXPECT_EQ(readReal(reader), 0.0);
        skipLine(reader);
        EXPECT_TRUE(atEndOfFile(reader));
    }
    EXPECT_EQ(pendingIoErrorCode(), 0);
}

TEST_F(ReaderTest, NothingAfterAnEndMarkIsRead) {
    openWith(
        "1 2\n3\x1A"
        "4 5\n6\n");
    EXPECT_EQ(readInteger(reader), 1);
    skipLine(reader);
    EXPECT_EQ(readInteger(reader), 3);
    EXPECT_TRUE(atEndOfFile(reader));
    EXPECT_EQ(readInteger(reader), 0);
    skipLine(reader);
    EXPECT_TRUE(atEndOfFile(reader));
    EXPECT_EQ(readReal(reader), 0.0);
}

TEST_F(ReaderTest, EndMarkEndsATokenAndCountsNotAsASeparator) {
    openWith(
        "12\x1A"
        "34");
    EXPECT_EQ(readInteger(reader), 12);
    EXPECT_TRUE(atEndOfFile(reader));
}

TEST_F(ReaderTest, ControlBytesSeparateAndHighBytesBelongToTokens) {
    const char bytes[] =
        "1\0"
        "2\x01"
        "3\x1F"
        "4 5\xA0"
        "6 7";
    openWith(std::string(bytes, sizeof bytes - 1));
    EXPECT_EQ(readInteger(reader), 1);
    EXPECT_EQ(readInteger(reader), 2);
    EXPECT_EQ(readInteger(reader), 3);
    EXPECT_EQ(readInteger(reader), 4);
    readInteger(reader);
    EXPECT_EQ(takePendingCode(), ioInvalidNumericInput);
    EXPECT_EQ(readInteger(reader), 7);
}

TEST_F(ReaderTest, ByteOrderMarkMakesTheFirstTokenInvalid) {
    openWith(
        "\xEF\xBB\xBF"
        "17 11 1\n");
    readInteger(reader);
    EXPECT_EQ(pendingIoErrorCode(), ioInvalidNumericInput);
    EXPECT_EQ(readInteger(reader), 11);
    EXPECT_EQ(takePendingCode(), ioInvalidNumericInput);
}

TEST_F(ReaderTest, LongTokensAreSplitAtTheirLimit) {
    // 40 digits: the first 32 are one token (out of range), the last 8 the next one.
    openWith(
        "1234567890123456789012345678901212345678 "
        "00000000000000000000000000000012 "
        "000000000000000000000000000000013 "
        "0000000000000000000000000000000000000000000000000000000000000001.5");
    readInteger(reader);
    EXPECT_EQ(takePendingCode(), ioInvalidNumericInput);
    EXPECT_EQ(readInteger(reader), 12345678);
    EXPECT_EQ(readInteger(reader), 12);
    EXPECT_EQ(readInteger(reader), 1);
    EXPECT_EQ(readInteger(reader), 3);
    EXPECT_EQ(readReal(reader), 1.0);
    EXPECT_EQ(readReal(reader), 0.5);
    EXPECT_EQ(pendingIoErrorCode(), 0);
}

TEST_F(ReaderTest, TokensAndLinesCrossBlockBoundaries) {
    std::string bytes(kReaderBlockSize - 2, ' ');
    bytes += "12345 ";
    bytes += std::string(3 * kReaderBlockSize, 'z');  // a line longer than several blocks
    bytes += "\n-0.25";
    openWith(bytes);
    EXPECT_EQ(readInteger(reader), 12345);
    skipLine(reader);
    EXPECT_EQ(readReal(reader), -0.25);
    EXPECT_TRUE(atEndOfFile(reader));
}

TEST_F(ReaderTest, ManyLinesReadInOrder) {
    std::string bytes;
    for (int i = 0; i < 2000; ++i) bytes += std::to_string(i) + " " + std::to_string(i) + ".25 extra\r\n";
    openWith(bytes);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_FALSE(atEndOfFile(reader));
        ASSERT_EQ(readInteger(reader), i);
        ASSERT_EQ(readReal(reader), i + 0.25);
        skipLine(reader);
    }
    EXPECT_TRUE(atEndOfFile(reader));
}

TEST_F(ReaderTest, PendingCodeIsOverwrittenKeptBySuccessAndClearedByRaising) {
    openWith("x 5 y");
    readInteger(reader);
    EXPECT_EQ(readInteger(reader), 5);
    EXPECT_EQ(pendingIoErrorCode(), ioInvalidNumericInput);
    TextDataReader other;
    openForReading(other, dir.pathOf("missing"));
    EXPECT_EQ(pendingIoErrorCode(), ioFileNotFound);
    try {
        raisePendingIoError();
        FAIL() << "nothing raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.code(), ioFileNotFound);
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_NO_THROW(raisePendingIoError());
    readInteger(reader);
    EXPECT_EQ(takePendingCode(), ioInvalidNumericInput);
}

TEST(ReaderErrors, MessagesByCode) {
    const std::pair<std::int32_t, const char*> rows[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {32, "I/O error 32"},
        {103, "I/O error 103"},
        {-7, "I/O error -7"},
    };
    for (const auto& [code, message] : rows) {
        SCOPED_TRACE(code);
        EXPECT_EQ(ioErrorMessage(code), message);
    }
}

TEST(ReaderErrors, PlatformErrorsMapOntoCodes) {
    const std::pair<int, std::int32_t> rows[] = {
        {ENOENT, 2}, {ENAMETOOLONG, 3}, {ENOTDIR, 3}, {ELOOP, 3},     {EMFILE, 4},      {ENFILE, 4},
        {EACCES, 5}, {EPERM, 5},        {EIO, 30},    {EBUSY, EBUSY}, {ENOSPC, ENOSPC},
    };
    for (const auto& [error, code] : rows) {
        SCOPED_TRACE(error);
        EXPECT_EQ(ioErrorCodeOf(error), code);
    }
}

TEST_F(ReaderTest, OpenFailuresLeaveTheirCodeAndTheReaderClosed) {
    const std::string file = dir.write("plain", "1\n");
    std::filesystem::create_directory(dir.pathOf("sub"));
    ASSERT_EQ(::mkfifo(dir.pathOf("fifo").c_str(), 0600), 0);
    const std::string tooLong = dir.path() + "/" + std::string(kMaxReaderPathLength - dir.path().size(), 'a');
    ASSERT_EQ(utf8CharacterCount(tooLong), kMaxReaderPathLength + 1);
    const std::pair<std::string, std::int32_t> rows[] = {
        {dir.pathOf("missing"), ioFileNotFound},
        {"", ioFileNotFound},
        {file + "/inner", ioInvalidFilename},
        {tooLong, ioInvalidFilename},
        {std::string(5000, 'b'), ioInvalidFilename},
        {std::string("pla\0in", 6), ioInvalidFilename},
        {dir.pathOf("sub"), ioAccessDenied},
        {dir.pathOf("fifo"), ioAccessDenied},  // must not wait for a writer
        {"/dev/zero", ioAccessDenied},         // endless separators
    };
    for (const auto& [path, code] : rows) {
        SCOPED_TRACE(path.substr(0, 80));
        openForReading(reader, path);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_EQ(takePendingCode(), code);
    }
}

TEST_F(ReaderTest, PathLimitCountsCharactersNotBytes) {
    // A path of exactly 259 characters, Cyrillic names taking two bytes per character.
    std::string path = dir.path();
    const std::string component = "д" + std::string(60, 'x');
    while (utf8CharacterCount(path) + 1 + 61 < kMaxReaderPathLength) {
        path += "/" + component;
        std::filesystem::create_directory(path);
    }
    path += "/" + std::string(kMaxReaderPathLength - utf8CharacterCount(path) - 1, 'f');
    ASSERT_EQ(utf8CharacterCount(path), kMaxReaderPathLength);
    dir.write(path.substr(dir.path().size() + 1), "42");
    openForReading(reader, path);
    ASSERT_EQ(takePendingCode(), 0);
    EXPECT_EQ(readInteger(reader), 42);
}

// Runs `open` in a child process and returns the code it left pending.
template <typename Open>
int pendingCodeInChild(Open open) {
    const pid_t child = ::fork();
    if (child == 0) {
        open();
        ::_exit(pendingIoErrorCode());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(ReaderTest, UnreadableFileIsAccessDenied) {
    const std::string file = dir.write("locked", "1\n");
    ::chmod(file.c_str(), 0);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(pendingCodeInChild([&] {
                  // Root reads every file: the child gives up its rights first.
                  if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
                  TextDataReader inChild;
                  openForReading(inChild, file);
              }),
              ioAccessDenied);
}

TEST_F(ReaderTest, TooManyOpenFiles) {
    const std::string file = dir.write("data", "1\n");
    EXPECT_EQ(pendingCodeInChild([&] {
                  const rlimit limit{0, 0};
                  ::setrlimit(RLIMIT_NOFILE, &limit);
                  TextDataReader inChild;
                  openForReading(inChild, file);
              }),
              ioTooManyOpenFiles);
}

TEST_F(ReaderTest, ClosedReaderReadsAsTheEndWithFileNotOpen) {
    EXPECT_EQ(readInteger(reader), 0);
    EXPECT_EQ(takePendingCode(), ioFileNotOpen);
    openWith("1");
    closeReader(reader);
    EXPECT_EQ(takePendingCode(), 0);
    closeReader(reader);
    try {
        raisePendingIoError();
        FAIL() << "nothing raised";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "I/O error 103");
    }
}

TEST(ReaderFiles, ExistenceTest) {
    TempDirectory dir;
    const std::string file = dir.write("plain", "1");
    std::filesystem::create_directory(dir.pathOf("sub"));
    ::mkfifo(dir.pathOf("fifo").c_str(), 0600);
    std::filesystem::create_symlink(file, dir.pathOf("link"));
    std::filesystem::create_symlink(dir.pathOf("gone"), dir.pathOf("dangling"));
    const std::pair<std::string, bool> rows[] = {
        {file, true},
        {dir.pathOf("sub"), false},
        {dir.pathOf("missing"), false},
        {dir.pathOf("fifo"), true},
        {dir.pathOf("link"), true},
        {dir.pathOf("dangling"), false},
        {std::string("pla\0in", 6), false},
        {"", false},
    };
    for (const auto& [path, exists] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(isExistingFile(path), exists);
    }
}

}  // namespace
}  // namespace pvz
