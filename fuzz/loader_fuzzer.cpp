// The reader and the loader: the input's first byte picks a source slot, the rest becomes that
// slot's data file, loaded into a store with a fixed time base. A load ends normally or with one
// of the loader's own errors; either way the slot's rows are a gap-free run of accepted epochs
// with finite values, and no I/O error stays pending for the next file.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
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

// The harness's own loops over the slot are left out of the coverage feedback: their thousands
// of comparisons per run cost more than the load itself and guide nothing. They go through the
// table's storage, where one slot's rows lie together, kind after kind.
#define PVZ_HARNESS_ONLY __attribute__((no_sanitize("coverage")))

PVZ_HARNESS_ONLY double* slotCells(pvz::ObservationStore& store, int slot) {
    return &store.observations(1, slot, pvz::kindUT1);
}

PVZ_HARNESS_ONLY double cell(const double* cells, int row, int kind) {
    return cells[(row - 1) * pvz::kKindCount + (kind - 1)];
}

PVZ_HARNESS_ONLY void resetSlot(pvz::ObservationStore& store, int slot) {
    double* cells = slotCells(store, slot);
    std::fill(cells, cells + pvz::kRowCount * pvz::kKindCount, pvz::missingValue);
}

PVZ_HARNESS_ONLY int rowsKept(pvz::ObservationStore& store, int slot) {
    const double* cells = slotCells(store, slot);
    int rows = 0;
    while (rows < pvz::kRowCount && cell(cells, rows + 1, pvz::kindMJD) != pvz::missingValue) ++rows;
    return rows;
}

PVZ_HARNESS_ONLY void checkRows(pvz::ObservationStore& store, int slot, int rows) {
    if (rows < 0 || rows > pvz::kRowCount) std::abort();
    const double* cells = slotCells(store, slot);
    for (int row = 1; row <= pvz::kRowCount; ++row) {
        const double mjd = cell(cells, row, pvz::kindMJD);
        if ((row <= rows) != (mjd != pvz::missingValue)) std::abort();
        if (row > rows) {
            for (int kind = pvz::kindUT1; kind <= pvz::kindMJD; ++kind)
                if (cell(cells, row, kind) != pvz::missingValue) std::abort();
            continue;
        }
        const double offset = mjd - kBaseMjd;
        if (!(offset >= 1 && offset < pvz::kRowCount)) std::abort();
        for (int kind = pvz::kindUT1; kind <= pvz::kindMJD; ++kind)
            if (!std::isfinite(cell(cells, row, kind))) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return -1;
    static pvz::ObservationStore store;
    const int slot = data[0] % pvz::kSlotCount + 1;
    writeInput(data + 1, size - 1);
    // Every load writes only its own slot, and the previous run's slot was checked the same way.
    static bool filled = false;
    if (!filled) store.observations.fill(pvz::missingValue);
    filled = true;
    resetSlot(store, slot);
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
        rows = rowsKept(store, slot);
    }
    checkRows(store, slot, rows);
    return 0;
}
