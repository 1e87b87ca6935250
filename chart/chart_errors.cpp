#include "chart/chart_errors.h"
