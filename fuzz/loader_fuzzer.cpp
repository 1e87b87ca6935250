// The reader and the loader: the input's first byte picks a source slot, the rest becomes that
// slot's data file, loaded into a store with a fixed time base. A load ends normally or with one
// of the loader's own errors; either way the slot's rows are a gap-free run of accepted epochs
// with finite values, and no I/O error stays pending for the next file.

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/data_loader.h"
#include "data/observation_store.h"
#include "runtime/errors.h"
#include "runtime/text_reader.h"

namespace {

// Inside the real data's span, so that its files meet both ends of the stored period.
constexpr double kBaseMjd = 57040.6;

// The one file this process writes its inputs to, removed when the process ends normally.
struct InputFile {
    InputFile() {
        const char* dir = std::getenv("TMPDIR");
        const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : dir != nullptr ? dir : "/tmp";
        path = base + "/pvz-loader-fuzz-" + std::to_string(getpid());
    }
    ~InputFile() { unlink(path.c_str()); }
    std::string path;
};

const std::string& inputPath() {
    static const InputFile file;
    return file.path;
}

void writeInput(const std::uint8_t* data, std::size_t size) {
    const int fd = open(inputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    close(fd);
}

void checkRows(const pvz::ObservationStore& store, int slot, int rows) {
    if (rows < 0 || rows > pvz::kRowCount) std::abort();
    for (int row = 1; row <= pvz::kRowCount; ++row) {
        const double mjd = store.observations(row, slot, pvz::kindMJD);
        if ((row <= rows) != (mjd != pvz::missingValue)) std::abort();
        if (row > rows) {
            for (int kind = pvz::kindUT1; kind <= pvz::kindMJD; ++kind)
                if (store.observations(row, slot, kind) != pvz::missingValue) std::abort();
            continue;
        }
        const double offset = mjd - kBaseMjd;
        if (!(offset >= 1 && offset < pvz::kRowCount)) std::abort();
        for (int kind = pvz::kindUT1; kind <= pvz::kindMJD; ++kind)
            if (!std::isfinite(store.observations(row, slot, kind))) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return -1;
    static pvz::ObservationStore store;
    const int slot = data[0] % pvz::kSlotCount + 1;
    writeInput(data + 1, size - 1);
    store.observations.fill(pvz::missingValue);
    int rows = -1;
    try {
        rows = pvz::loadSlotFile(store, slot, inputPath(), kBaseMjd);
    } catch (const pvz::EInOutError& error) {
        if (error.code() != pvz::ioInvalidNumericInput) std::abort();
    } catch (const pvz::EConvertError&) {
    } catch (const pvz::EMathError&) {
    }
    if (pvz::pendingIoErrorCode() != 0) std::abort();
    if (rows < 0) {
        // An error keeps the rows read before it: count them as the scan would.
        rows = 0;
        while (rows < pvz::kRowCount && store.observations(rows + 1, slot, pvz::kindMJD) != pvz::missingValue) ++rows;
    }
    checkRows(store, slot, rows);
    return 0;
}
