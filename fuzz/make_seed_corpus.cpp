// Writes a fuzz target's seed corpus into a directory, one file per seed:
//   make-seed-corpus format-pattern OUTDIR PATTERNS DATAFILE...
//   make-seed-corpus format-fixed OUTDIR DATAFILE...
//   make-seed-corpus loader OUTDIR FILE...
// Values are taken from the number tokens of the data files; PATTERNS holds one pattern a line.
// A loader seed is a file's bytes behind the slot byte: the slot of a data file's name, or the
// number before the first "-" of a fixture's name ("4-short-record.txt" is slot 4).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace {

namespace fs = std::filesystem;

const char* const kDataFileNames[] = {"zt_pvz.dat", "iers.dat",    "iers.usn",    "qdxrvlbi.pvz",
                                      "lageos.pvz", "rus_gps.pvz", "iaavlbi.pvz", "iaagps.pvz",
                                      "iaaslr.pvz", "mccslr.dat",  "mccgps.dat"};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeSeed(const fs::path& directory, int& counter, const std::string& bytes) {
    std::ofstream(directory / ("seed-" + std::to_string(counter++)), std::ios::binary) << bytes;
}

// A spread of the values in the files: every distinct token that reads as a number, thinned to
// at most `limit`, plus the values where formatting changes its course.
std::vector<double> valuesOf(const std::vector<std::string>& files, std::size_t limit) {
    std::set<double> distinct;
    for (const auto& file : files) {
        std::istringstream tokens(readFile(file));
        tokens.imbue(std::locale::classic());
        std::string token;
        while (tokens >> token) {
            char* end = nullptr;
            const double value = std::strtod(token.c_str(), &end);
            if (end && *end == '\0') distinct.insert(value);
        }
    }
    std::vector<double> values;
    const std::size_t step = distinct.size() / limit + 1;
    std::size_t i = 0;
    for (const double value : distinct)
        if (i++ % step == 0) values.push_back(value);
    for (const double value :
         {0.0, -0.0, 0.5, -0.5, 0.0004, 0.0005, 99.0, 1e18, 9.999999999999999e17, 1e300, 5e-324, HUGE_VAL, -HUGE_VAL,
          std::numeric_limits<double>::quiet_NaN(), 42747.99999999, -693594.0, 2958466.0})
        values.push_back(value);
    return values;
}

int usage() {
    std::cerr << "usage: make-seed-corpus format-pattern|format-fixed|loader OUTDIR FILE...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string target = argv[1];
    const fs::path directory = argv[2];
    fs::create_directories(directory);
    int counter = 0;
    if (target == "format-pattern") {
        std::vector<std::string> patterns;
        std::istringstream lines(readFile(argv[3]));
        for (std::string line; std::getline(lines, line);) patterns.push_back(line);
        const std::vector<double> values = valuesOf({argv + 4, argv + argc}, 24);
        for (std::size_t p = 0; p < patterns.size(); ++p) {
            for (std::size_t v = 0; v < values.size(); v += 1 + p % 3) {
                for (unsigned selector : {0u, 1u, 2u, 3u}) {
                    std::string seed(1, static_cast<char>(selector + 4 * (v % 2)));
                    pvz::fuzz::appendDouble(seed, selector & 1 ? values[v] - 15018 : values[v]);
                    writeSeed(directory, counter, seed + patterns[p]);
                }
            }
        }
    } else if (target == "format-fixed") {
        const std::vector<double> values = valuesOf({argv + 3, argv + argc}, 200);
        const int arguments[][2] = {{8, 1}, {8, 5}, {2, 0}, {18, 18}, {15, 3}, {1, 30}, {40, -3}};
        for (std::size_t v = 0; v < values.size(); ++v) {
            std::string seed;
            pvz::fuzz::appendDouble(seed, values[v]);
            const auto& [precision, decimals] = arguments[v % std::size(arguments)];
            pvz::fuzz::appendInt32(seed, precision);
            pvz::fuzz::appendInt32(seed, decimals);
            seed.push_back(static_cast<char>(v % 4));
            writeSeed(directory, counter, seed);
        }
    } else if (target == "loader") {
        for (int i = 3; i < argc; ++i) {
            const fs::path path = argv[i];
            const std::string name = path.filename().string();
            int slot = 0;
            for (int s = 0; s < 11; ++s)
                if (name == kDataFileNames[s]) slot = s + 1;
            if (slot == 0) slot = std::atoi(name.c_str());
            if (slot < 1 || slot > 14) continue;
            writeSeed(directory, counter, std::string(1, static_cast<char>(slot - 1)) + readFile(path));
        }
    } else {
        return usage();
    }
    std::cout << target << ": " << counter << " seeds\n";
    return 0;
}
