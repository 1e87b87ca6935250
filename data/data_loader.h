#pragma once
// Loading the data files into the Observation store: one sweep over the source slots, each
// existing file read record by record with its slot's field order and date rules, and the
// question for the data directory while no file at all is found.

#include <optional>
#include <string>

#include "data/observation_store.h"
#include "data/viewer_state.h"

namespace pvz {

// The few window services the loader needs; the main window supplies the real ones.
class LoaderServices {
public:
    virtual ~LoaderServices() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void showMessage(const std::string& text) = 0;
    // The directory the user confirms in the chooser opened at `startDirectory`; nothing when cancelled.
    virtual std::optional<std::string> chooseDirectory(const std::string& startDirectory) = 0;
    virtual std::string currentDirectory() = 0;
    // Whether the program is ending (the window was closed while a dialog was open): the
    // search for the data directory then stops.
    virtual bool programEnding() { return false; }
};

inline constexpr const char* kReadingStatusPrefix = "  Считывание данных из файла: ";
inline constexpr const char* kStoppedStatusPrefix = "  Загрузка остановлена на файле: ";
inline constexpr const char* kReadyStatus = "  Ready";
inline constexpr const char* kWrongDataPathMessage = "Путь к файлам данных указан неверно!";
inline constexpr const char* kDirectoryChooserTitle = "Выберите папку с файлами данных ПВЗ";

// Fills the store for the Start action: resets it, sweeps the slots, asks for the directory
// until a sweep finds a file, then requests the first fit and sets the status "  Ready".
// Returns false, with nothing more asked, when the program ends before a file is found.
// A reading or date error propagates (EInOutError, EConvertError, EOverflow) with a second line
// naming the file and the line ("Файл iers.dat, строка 101"), leaves the rows stored so far
// and the status saying where loading stopped.
bool loadDataFiles(ObservationStore& store, ViewerState& state, LoaderServices& services);

// One sweep over slots 1 to 14; returns store.anyFileFound.
bool runLoadingSweep(ObservationStore& store, double baseMjd, LoaderServices& services);

// Reads the file at `path` into the rows of `slot`, from row 1; returns the number of rows written.
int loadSlotFile(ObservationStore& store, int slot, const std::string& path, double baseMjd);

// Where the directory chooser opens: the current directory `current`, or, when the data
// directory (as given on the command line) does not exist, the nearest directory above it that does.
std::string chooserStartFor(const std::string& dataDirectory, const std::string& current);

// The data directory for a chosen directory: the path followed by "/", cut to 255 characters.
std::string dataDirectoryFor(const std::string& chosen);

}  // namespace pvz
