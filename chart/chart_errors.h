#pragma once
// Errors of the chart engine: an invalid property value, with a fixed English message.
// The property keeps its previous value.

#include "runtime/errors.h"

namespace pvz {

class ChartException : public Exception {
public:
    using Exception::Exception;
};

class AxisException : public ChartException {
public:
    using ChartException::ChartException;
};

class LegendException : public ChartException {
public:
    using ChartException::ChartException;
};

}  // namespace pvz
