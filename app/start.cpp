// The Start button: the first press reads the data files and enters the display cycle, a later
// one ends the program; and the close of the window, which ends the cycle.
#include "app/main_window.h"
#include "data/data_loader.h"

namespace pvz {

// The loader's view of the window and its dialogs.
class TForm1::Loader : public LoaderServices {
public:
    explicit Loader(TForm1& form) : form_(form) {}

    void setStatusText(const std::string& text) override { form_.StatusBar1->setSimpleText(text); }
    void showMessage(const std::string& text) override { pvz::showMessage(text); }
    std::optional<std::string> chooseDirectory(const std::string& startDirectory) override {
        const DirectoryChoice choice = pvz::chooseDirectory(startDirectory, kDirectoryChooserTitle);
        if (!choice.confirmed) return std::nullopt;
        return choice.directory;
    }
    std::string currentDirectory() override { return pvz::currentDirectory(); }
    bool programEnding() override { return Application::instance().terminationRequested(); }

private:
    TForm1& form_;
};

void TForm1::FormClose() {
    state.running = false;
    Application::instance().terminate();
}

void TForm1::enableChartControls() {
    const Control& chart = *Chart;
    for (int i = 0; i < chart.childCount(); ++i) {
        Control& child = chart.child(i);
        if (dynamic_cast<GroupBox*>(&child) || dynamic_cast<CheckBox*>(&child)) child.setEnabled(true);
    }
}

void TForm1::BitBtnStartClick(Button& /*Sender*/) {
    const MonotonicClock::time_point now = options_.clock ? options_.clock() : MonotonicClock::now();
    if (state.running) {
        if (now - startPressedAt_ <= std::chrono::milliseconds(Application::instance().doubleClickInterval())) return;
        if (options_.exitNow)
            options_.exitNow();
        else
            Application::instance().exitNow();
        return;
    }
    state.running = true;
    startPressedAt_ = now;
    BitBtnStart->setFont(Font{BitBtnStart->font().name, BitBtnStart->font().height, clRed, BitBtnStart->font().style});
    BitBtnStart->setCaption("ВЫХОД");
    CheckBoxChoise->setChecked(false);

    Loader loader(*this);
    if (!loadDataFiles(store, state, loader)) return;
    enableChartControls();
    commands_->setEnabled(true);
    // Away from "ВЫХОД", so that the next Space or Enter does not end the program.
    RadioGroupPVZ->setFocus();
    if (options_.cycle == FormOptions::Cycle::External) return;

    Application& application = Application::instance();
    PassServices services = options_.cycleServices;
    if (!services.waitUntil)
        services.waitUntil = [&application](MonotonicClock::time_point deadline) {
            application.waitForEvents(deadline);
        };
    if (!services.showError)
        services.showError = [&application](const std::exception& error) { application.reportError(error.what()); };
    cycle_->run(services);
}

}  // namespace pvz
