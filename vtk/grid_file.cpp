#include "vtk/grid_file.h"

#include <string>

#include "vtk/output_buffer.h"
#include "vtk/vtk_header.h"

namespace obsgrid {

namespace {

void writeScalars(OutputBuffer& out, std::string_view name, const DailyGrid<float>& field,
                  std::size_t dayCount) {
    out.text("SCALARS ");
    out.text(name);
    out.text(" float 1\nLOOKUP_TABLE default\n");
    for (std::size_t j = 0; j < dayCount; ++j) {
        for (const auto& row : field[j]) {
            for (const float value : row) out.real(value);
            out.endLine();
        }
    }
}

// The 120 point rows, the same in every layer, formatted once.
std::string pointRows(const GridFields& fields) {
    std::string rows;
    char value[realFormatRoom];
    for (const auto& row : fields.positions) {
        for (const auto& point : row) {
            for (const float coordinate : point) {
                rows.append(value, formatFloat(value, coordinate));
                rows += ' ';
            }
            rows += '\n';
        }
    }
    return rows;
}

}  // namespace

void writeGridFile(std::ostream& stream, std::string_view inputPath, std::string_view programPath,
                   std::size_t dayCount, const GridFields& fields) {
    const std::size_t pointCount = dayCount * gridRows * gridColumns;
    OutputBuffer out(stream);
    writeVtkHeader(out, "# vtk DataFile Version 3.0", inputPath, programPath,
                   "DATASET STRUCTURED_GRID");
    out.text("DIMENSIONS ");
    out.count(gridColumns);
    out.character(' ');
    out.count(gridRows);
    out.character(' ');
    out.count(dayCount);
    out.text("\nPOINTS ");
    out.count(pointCount);
    out.text(" float\n");
    const std::string layer = pointRows(fields);
    for (std::size_t j = 0; j < dayCount; ++j) out.text(layer);

    out.text("\nPOINT_DATA ");
    out.count(pointCount);
    out.text("\nVECTORS WindVector float\n");
    for (std::size_t j = 0; j < dayCount; ++j) {
        for (const auto& row : fields.wind[j]) {
            for (const auto& vector : row) {
                for (const float component : vector) out.real(component);
                out.endLine();
            }
        }
    }
    writeScalars(out, "AirTemp", fields.airTemp, dayCount);
    writeScalars(out, "SoilTemp", fields.soilTemp, dayCount);
    writeScalars(out, "Humidity", fields.humidity, dayCount);
    writeScalars(out, "Precipitation", fields.precip, dayCount);
    out.endLine();
    out.flush();
}

}  // namespace obsgrid
