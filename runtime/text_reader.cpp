#include "runtime/text_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/utf8_text.h"

namespace pvz {
namespace {

constexpr unsigned char kEndMark = 0x1A;
constexpr int kEnd = -1;  // the result of a fetch at the end of the data

// Shared by all readers of the thread; only raisePendingIoError clears it.
thread_local std::int32_t pendingIoError = 0;

void setPendingIoError(std::int32_t code) { pendingIoError = code; }

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Powers of ten of this magnitude lie far outside the range of any real the reader returns.
constexpr std::int64_t kPowerLimit = 5120;

// 10^n for n = 0 to 27, all exact in a 64-bit significand (5^27 < 2^64).
constexpr std::array<long double, 28> kExactPowersOfTen = [] {
    std::array<long double, 28> powers{};
    long double p = 1.0L;
    for (long double& power : powers) {
        power = p;
        p *= 10.0L;
    }
    return powers;
}();

// 10^n for 0 <= n < kPowerLimit. The table gives the exact values that pow returns for them,
// without the cost of pow, which took a third of the loading time.
long double powerOfTen(std::int64_t n) {
    if (n < static_cast<std::int64_t>(kExactPowersOfTen.size())) return kExactPowersOfTen[static_cast<std::size_t>(n)];
    return std::pow(10.0L, static_cast<long double>(n));
}

// The mantissa of a real token, accumulated digit by digit in extended precision. The first 19
// digits go into an integer: below 10^19 < 2^64 every step of the extended sum is exact, so the
// integer holds the very value the sum would, at a fraction of the cost.
class MantissaDigits {
public:
    void add(int digit) {
        if (leadingCount_ < kExactDigits) {
            leading_ = leading_ * 10 + static_cast<std::uint64_t>(digit);
            if (++leadingCount_ == kExactDigits) extended_ = static_cast<long double>(leading_);
        } else {
            extended_ = extended_ * 10 + digit;
        }
    }

    long double value() const { return leadingCount_ < kExactDigits ? static_cast<long double>(leading_) : extended_; }

private:
    static constexpr int kExactDigits = 19;
    std::uint64_t leading_ = 0;
    int leadingCount_ = 0;
    long double extended_ = 0.0L;
};

}  // namespace

// The byte level under every read: blocks, the end mark and the read position.
struct ReaderAccess {
    static void storeEndMark(TextDataReader& reader) {
        reader.buffer_[0] = kEndMark;
        reader.position_ = 0;
        reader.length_ = 1;
    }

    // Reads the next block; false when the result is "end" without an end mark.
    static bool readBlock(TextDataReader& reader) {
        if (reader.buffer_ && reader.length_ > 0) {
            const unsigned char* bytes = reader.buffer_.get();
            reader.linesBefore_ += std::count(bytes, bytes + reader.length_, '\n');
            reader.lastBlockEndedInLf_ = bytes[reader.length_ - 1] == '\n';
        }
        reader.position_ = 0;
        reader.length_ = 0;
        if (reader.fd_ < 0) {
            setPendingIoError(ioFileNotOpen);
            return false;
        }
        ssize_t count;
        do {
            count = ::read(reader.fd_, reader.buffer_.get(), kReaderBlockSize);
        } while (count < 0 && errno == EINTR);
        if (count < 0) {
            if (errno == EPIPE) {
                storeEndMark(reader);
                return true;
            }
            setPendingIoError(ioErrorCodeOf(errno));
            return false;
        }
        if (count == 0) {
            storeEndMark(reader);
            return true;
        }
        reader.position_ = 0;
        reader.length_ = static_cast<std::size_t>(count);
        return true;
    }

    // The next byte without consuming it, or kEnd; an end mark stays unread.
    static int peek(TextDataReader& reader) {
        for (;;) {
            if (reader.position_ < reader.length_) {
                const unsigned char byte = reader.buffer_[reader.position_];
                return byte == kEndMark ? kEnd : byte;
            }
            if (!readBlock(reader)) return kEnd;
        }
    }

    static void consume(TextDataReader& reader) { ++reader.position_; }

    // Skips separators, then takes up to `limit` token bytes into `token`; returns their
    // count, 0 at the end of the data. Bytes beyond the limit stay for the next token.
    static std::size_t readToken(TextDataReader& reader, char* token, std::size_t limit) {
        int byte;
        while ((byte = peek(reader)) != kEnd && byte <= 0x20) consume(reader);
        std::size_t length = 0;
        while (length < limit && (byte = peek(reader)) != kEnd && byte > 0x20) {
            token[length++] = static_cast<char>(byte);
            consume(reader);
        }
        return length;
    }

    static void reset(TextDataReader& reader) {
        reader.fd_ = -1;
        reader.position_ = 0;
        reader.length_ = 0;
        reader.linesBefore_ = 0;
        reader.lastBlockEndedInLf_ = false;
    }

    static std::int64_t lineNumber(const TextDataReader& reader) {
        if (reader.position_ == 0) return reader.linesBefore_ - (reader.lastBlockEndedInLf_ ? 1 : 0) + 1;
        const unsigned char* bytes = reader.buffer_.get();
        return reader.linesBefore_ + std::count(bytes, bytes + reader.position_ - 1, '\n') + 1;
    }
};

TextDataReader::~TextDataReader() {
    if (fd_ >= 0) ::close(fd_);
}

std::int32_t ioErrorCodeOf(int platformError) {
    switch (platformError) {
        case ENOENT:
            return ioFileNotFound;
        case ENAMETOOLONG:
        case ENOTDIR:
        case ELOOP:
        case EINVAL:
            return ioInvalidFilename;
        case EMFILE:
        case ENFILE:
            return ioTooManyOpenFiles;
        case EACCES:
        case EPERM:
            return ioAccessDenied;
        case EIO:
            // Its own number is that of "access denied"; a read fault is not that.
            return ioReadFault;
        default:
            return platformError;
    }
}

std::string ioErrorMessage(std::int32_t code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(code);
    }
}

bool isExistingFile(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return false;
    struct stat status;
    if (::stat(std::string(path).c_str(), &status) != 0) return false;
    return !S_ISDIR(status.st_mode);
}

void openForReading(TextDataReader& reader, std::string_view path) {
    if (reader.fd_ >= 0) ::close(reader.fd_);
    ReaderAccess::reset(reader);
    if (!reader.buffer_) reader.buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kReaderBlockSize);
    if (utf8CharacterCount(path) > kMaxReaderPathLength || path.find('\0') != std::string_view::npos) {
        setPendingIoError(ioInvalidFilename);
        return;
    }
    // O_NONBLOCK keeps a FIFO without a writer from blocking the open; anything but a
    // regular file is then refused, as the open of a directory is.
    const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        setPendingIoError(ioErrorCodeOf(errno));
        return;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        setPendingIoError(ioErrorCodeOf(error));
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        setPendingIoError(ioAccessDenied);
        return;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    reader.fd_ = fd;
}

bool atEndOfFile(TextDataReader& reader) { return ReaderAccess::peek(reader) == kEnd; }

bool parseIntegerToken(std::string_view token, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    if (i == token.size()) return false;

    bool hexadecimal = false;
    if (token[i] == '$' || token[i] == 'x' || token[i] == 'X') {
        hexadecimal = true;
        i += 1;
    } else if (token[i] == '0' && i + 1 < token.size() && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
        hexadecimal = true;
        i += 2;
    }
    if (i == token.size()) return false;

    if (hexadecimal) {
        std::uint32_t pattern = 0;
        for (; i < token.size(); ++i) {
            const int digit = hexDigitValue(token[i]);
            if (digit < 0 || pattern > 0x0FFFFFFFu) return false;
            pattern = pattern * 16 + static_cast<std::uint32_t>(digit);
        }
        // The 32-bit pattern as a signed value, negated (modulo 2^32) for a "-".
        if (negative) pattern = 0u - pattern;
        value = static_cast<std::int32_t>(pattern);
        return true;
    }

    constexpr std::int64_t kLimit = 2147483648LL;  // magnitude of the smallest int32
    std::int64_t magnitude = 0;                    // [0, kLimit + 1]
    for (; i < token.size(); ++i) {
        if (!isDecimalDigit(token[i])) return false;
        magnitude = std::min(magnitude * 10 + (token[i] - '0'), kLimit + 1);
    }
    if (magnitude > (negative ? kLimit : kLimit - 1)) return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool parseRealToken(std::string_view token, double& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    if (i == token.size()) return false;

    MantissaDigits mantissaDigits;
    std::int64_t fractionDigits = 0;  // [0, 64]
    for (; i < token.size() && isDecimalDigit(token[i]); ++i) mantissaDigits.add(token[i] - '0');
    if (i < token.size() && token[i] == '.') {
        for (++i; i < token.size() && isDecimalDigit(token[i]); ++i) {
            mantissaDigits.add(token[i] - '0');
            ++fractionDigits;
        }
    }
    const long double mantissa = mantissaDigits.value();
    std::int64_t exponent = 0;  // [-kPowerLimit, kPowerLimit]
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) negativeExponent = token[i++] == '-';
        if (i == token.size() || !isDecimalDigit(token[i])) return false;
        for (; i < token.size() && isDecimalDigit(token[i]); ++i)
            exponent = std::min(exponent * 10 + (token[i] - '0'), kPowerLimit);
        if (negativeExponent) exponent = -exponent;
    }
    if (i != token.size()) return false;

    const std::int64_t power = exponent - fractionDigits;
    long double result;
    if (mantissa == 0.0L || power <= -kPowerLimit)
        result = 0.0L;
    else if (power >= kPowerLimit)
        result = std::numeric_limits<long double>::infinity();
    else if (power < 0)
        result = mantissa / powerOfTen(-power);
    else
        result = mantissa * powerOfTen(power);
    if (negative) result = -result;
    value = static_cast<double>(result);
    return true;
}

std::int32_t readInteger(TextDataReader& reader) {
    char token[kIntegerTokenLimit];
    const std::size_t length = ReaderAccess::readToken(reader, token, kIntegerTokenLimit);
    if (length == 0) return 0;
    std::int32_t value = 0;
    if (!parseIntegerToken(std::string_view(token, length), value)) {
        setPendingIoError(ioInvalidNumericInput);
        return 0;
    }
    return value;
}

double readReal(TextDataReader& reader) {
    char token[kRealTokenLimit];
    const std::size_t length = ReaderAccess::readToken(reader, token, kRealTokenLimit);
    if (length == 0) return 0.0;
    double value = 0.0;
    if (!parseRealToken(std::string_view(token, length), value)) {
        setPendingIoError(ioInvalidNumericInput);
        return 0.0;
    }
    return value;
}

void skipLine(TextDataReader& reader) {
    // A CR is consumed like any other byte, so only an LF ends the line.
    int byte;
    while ((byte = ReaderAccess::peek(reader)) != kEnd) {
        ReaderAccess::consume(reader);
        if (byte == '\n') return;
    }
}

std::int64_t lineNumber(const TextDataReader& reader) { return ReaderAccess::lineNumber(reader); }

void closeReader(TextDataReader& reader) {
    if (reader.fd_ < 0) {
        setPendingIoError(ioFileNotOpen);
        return;
    }
    const int fd = reader.fd_;
    ReaderAccess::reset(reader);
    if (::close(fd) != 0 && errno != EINTR) setPendingIoError(ioErrorCodeOf(errno));
}

void raisePendingIoError() {
    if (pendingIoError == 0) return;
    const std::int32_t code = pendingIoError;
    pendingIoError = 0;
    throw EInOutError(code, ioErrorMessage(code));
}

std::int32_t pendingIoErrorCode() { return pendingIoError; }

void discardPendingIoError() { pendingIoError = 0; }

}  // namespace pvz
