#pragma once
// The viewer's one window, TForm1: its controls, the chart and the handlers.
