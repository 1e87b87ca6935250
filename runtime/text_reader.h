#pragma once
// Reading numbers from the data files: a plain stream of bytes, read in blocks, from which
// integers and reals are taken one token after the other.
//
// Reads never raise. A failing operation leaves an I/O error code pending for the calling
// thread, and raisePendingIoError turns it into an EInOutError at the points the caller chooses.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pvz {

// A data file of 999 records is about 45 KB: one block holds it, so a file costs two reads.
// Only regular files are read, so the block size shows nowhere but in the number of reads.
inline constexpr std::size_t kReaderBlockSize = 64 * 1024;
inline constexpr std::size_t kMaxReaderPathLength = 259;  // characters
inline constexpr std::size_t kIntegerTokenLimit = 32;     // bytes
inline constexpr std::size_t kRealTokenLimit = 64;        // bytes

// I/O error codes of the reader.
inline constexpr std::int32_t ioFileNotFound = 2;
inline constexpr std::int32_t ioInvalidFilename = 3;
inline constexpr std::int32_t ioTooManyOpenFiles = 4;
inline constexpr std::int32_t ioAccessDenied = 5;
inline constexpr std::int32_t ioReadFault = 30;
inline constexpr std::int32_t ioFileNotOpen = 103;
inline constexpr std::int32_t ioInvalidNumericInput = 106;

// One data file being read. Closed until openForReading succeeds; the destructor closes an
// open file without touching the pending code.
class TextDataReader {
public:
    TextDataReader() = default;
    ~TextDataReader();
    TextDataReader(const TextDataReader&) = delete;
    TextDataReader& operator=(const TextDataReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }

private:
    friend void openForReading(TextDataReader& reader, std::string_view path);
    friend void closeReader(TextDataReader& reader);

    friend struct ReaderAccess;

    int fd_ = -1;
    std::unique_ptr<unsigned char[]> buffer_;  // kReaderBlockSize bytes, from the first open on
    std::size_t position_ = 0;                 // next unread byte, [0, length_]
    std::size_t length_ = 0;
    std::int64_t linesBefore_ = 0;  // line feeds in the blocks before the one in the buffer
    bool lastBlockEndedInLf_ = false;
};

// True when the path names an existing entry that is not a directory.
bool isExistingFile(std::string_view path);

// Opens an existing file read-only. On failure the code is left pending and the reader stays
// closed: 2 no such file, 3 a bad path (longer than 259 characters, a NUL byte, a component
// that is not a directory), 4 too many open files, 5 access denied or not a regular file.
void openForReading(TextDataReader& reader, std::string_view path);

// True when the next byte is the end of the data: the physical end or a 0x1A byte.
// Separators are not skipped.
bool atEndOfFile(TextDataReader& reader);

// The next number token; 0 at the end of the data. A malformed token leaves code 106 pending.
std::int32_t readInteger(TextDataReader& reader);
// A value too large for a double comes back as an infinity of its sign.
double readReal(TextDataReader& reader);

// Discards everything up to and including the next LF, or up to the end of the data.
void skipLine(TextDataReader& reader);

void closeReader(TextDataReader& reader);

// The number, from 1, of the line that holds the last byte read (a line's LF belongs to it);
// 1 before any. Counted only when asked (for an error message), so reading pays nothing for it.
std::int64_t lineNumber(const TextDataReader& reader);

// Raises EInOutError for the pending code and clears it; does nothing when none is pending.
void raisePendingIoError();

// The code pending for this thread, 0 when none; does not clear it.
std::int32_t pendingIoErrorCode();

// Clears the pending code without raising it; for a caller abandoning a file on another error.
void discardPendingIoError();

// The message of an I/O error code ("File not found", ..., "I/O error 32").
std::string ioErrorMessage(std::int32_t code);

// The reader's code for a platform error number (errno).
std::int32_t ioErrorCodeOf(int platformError);

// Conversion of one whole token by the reader's syntax; false when it does not match.
// An out-of-range real yields an infinity of its sign and still matches.
bool parseIntegerToken(std::string_view token, std::int32_t& value);
bool parseRealToken(std::string_view token, double& value);

}  // namespace pvz
