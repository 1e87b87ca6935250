#pragma once
// A dialog service for tests: records every message and error and answers the directory chooser
// from a queue, so code that opens dialogs runs without anyone at the screen.

#include <deque>
#include <string>
#include <vector>

#include "runtime/window_system.h"

namespace pvz::testing {

class RecordingDialogs : public DialogService {
public:
    // Installs itself for its lifetime.
    RecordingDialogs() { Application::instance().setDialogService(this); }
    ~RecordingDialogs() override { Application::instance().setDialogService(nullptr); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }
    DirectoryChoice chooseDirectory(const std::string& start, const std::string& title) override {
        chooserStarts.push_back(start);
        chooserTitles.push_back(title);
        if (answers.empty()) return {false, {}};
        DirectoryChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }

    FileChoice chooseSaveFile(const std::string& /*title*/, const std::string& directory,
                              const std::string& proposedName, const std::string& /*filter*/) override {
        saveChooserStarts.push_back(directory + "/" + proposedName);
        if (saveAnswers.empty()) return {};
        FileChoice answer{true, saveAnswers.front()};
        saveAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> chooserStarts;
    std::vector<std::string> chooserTitles;
    std::deque<DirectoryChoice> answers;
    // The file chooser: where it opened with the name it proposed, and the paths it answers with.
    std::vector<std::string> saveChooserStarts;
    std::deque<std::string> saveAnswers;
};

}  // namespace pvz::testing
