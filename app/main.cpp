// The program: the application, its one window and the event loop. No options, no files written.
#include "app/main_window.h"

int main(int argc, char** argv) {
    pvz::Application application(argc, argv);
    application.setTitle(pvz::kWindowTitle);
    pvz::TForm1 form;
    return application.run(form);
}
