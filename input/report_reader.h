#pragma once

#include <istream>
#include <ostream>

#include "common/observation_set.h"
#include "common/station_table.h"

namespace obsgrid {

enum class ReadResult { ok, tooManyDays, unexpectedEnd, lineTooLong };

// Reads the 19 station blocks of a report into `observations`, writing
// every entry of days 0 to dayCount - 1 (so the set need not start zeroed),
// and clears each station's height in `stations` as its block is
// reached. Nothing after the 19th block's closing dashed line is read.
// Errors and warnings are written to `messages`; an error ends the reading.
ReadResult readObservations(std::istream& in, ObservationSet& observations, StationTable& stations,
                            std::ostream& messages);

}  // namespace obsgrid
