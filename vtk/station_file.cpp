#include "vtk/station_file.h"

#include "vtk/output_buffer.h"
#include "vtk/vtk_header.h"

namespace obsgrid {

void writeStationFile(std::ostream& stream, std::string_view inputPath,
                      std::string_view programPath, const StationTable& stations) {
    OutputBuffer out(stream);
    writeVtkHeader(out, "# vtk DataFile Version 2.0", inputPath, programPath, "DATASET POLYDATA");
    out.text("POINTS ");
    out.count(stations.size());
    out.text(" float\n");
    for (const auto& station : stations) {
        for (const double coordinate : station) out.real(coordinate);
        out.endLine();
    }
    out.flush();
}

}  // namespace obsgrid
