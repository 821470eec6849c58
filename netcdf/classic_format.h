#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace obsgrid::netcdf {

// A data set in the netCDF classic format (version 1): dimensions, text
// attributes and float or double variables. Every netCDF reader opens it.

struct Dimension {
    std::string name;
    std::size_t length = 0;  // 0 for the record (unlimited) dimension
};

struct Attribute {
    std::string name;
    std::string text;
};

enum class Type { float32 = 5, float64 = 6 };

struct Variable {
    std::string name;
    Type type = Type::float32;
    std::vector<std::size_t> dimensions;  // indices into Dataset::dimensions
    std::vector<Attribute> attributes;
    // Every value in the file's order; for a variable along the record
    // dimension, record after record. A float variable holds floats exactly.
    std::vector<double> values;
};

struct Dataset {
    std::vector<Dimension> dimensions;
    std::vector<Attribute> attributes;
    std::vector<Variable> variables;
    std::size_t recordCount = 0;
};

// The whole file. Throws nothing; the layout is checked by the readers in the tests.
std::string encodeClassic(const Dataset& dataset);

}  // namespace obsgrid::netcdf
