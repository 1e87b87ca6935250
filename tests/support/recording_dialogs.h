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

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> chooserStarts;
    std::vector<std::string> chooserTitles;
    std::deque<DirectoryChoice> answers;
};

}  // namespace pvz::testing
