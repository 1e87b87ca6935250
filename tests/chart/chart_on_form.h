#pragma once
// A real chart filling a form of a given size, for tests of drawing and repainting.

#include <gtest/gtest.h>

#include "chart/chart_panel.h"
#include "runtime/window_system.h"

namespace pvz::test {

class ChartOnForm : public ::testing::Test {
protected:
    ChartOnForm(int width, int height) {
        form.setBounds(0, 0, width, height);
        chart.setBounds(0, 0, width, height);
    }
    // Delivers what is pending, paints included, without waiting.
    void pump() { Application::instance().processPendingEvents(); }

    Form form;
    TChart chart{&form};
};

}  // namespace pvz::test
