#include "data/observation_store.h"

namespace pvz {
namespace {

constexpr std::array<std::string_view, kSlotCount> kDataFileNames = {
    "zt_pvz.dat", "iers.dat",   "iers.usn",   "qdxrvlbi.pvz", "lageos.pvz", "rus_gps.pvz", "iaavlbi.pvz",
    "iaagps.pvz", "iaaslr.pvz", "mccslr.dat", "mccgps.dat",   "  ",         "  ",          "  ",
};

}  // namespace

std::string_view dataFileNameOf(int slot) {
    assert(slot >= 1 && slot <= kSlotCount);
    return kDataFileNames[static_cast<std::size_t>(slot - 1)];
}

ObservationStore::ObservationStore() {
    for (int slot = 1; slot <= kSlotCount; ++slot) dataFileNames[slot] = std::string(dataFileNameOf(slot));
    slotLoaded.fill(false);
}

}  // namespace pvz
