#pragma once

#include <string_view>

#include "vtk/output_buffer.h"

namespace obsgrid {

// The four header lines: version, title, "ASCII", dataset. The title names
// the two paths as typed, except that a line feed or carriage return in
// them is written as a blank, so that the header keeps its four lines.
void writeVtkHeader(OutputBuffer& out, std::string_view versionLine, std::string_view inputPath,
                    std::string_view programPath, std::string_view datasetLine);

}  // namespace obsgrid
