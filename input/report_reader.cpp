#include "input/report_reader.h"

#include <cstddef>
#include <string_view>

#include "input/day_line.h"
#include "input/derived_quantities.h"
#include "input/line_reader.h"

namespace obsgrid {

namespace {

bool isDashedLine(std::string_view line) { return line.find("-----") != std::string_view::npos; }

// How far the reading got, for the messages; lines count from 1.
struct Position {
    std::size_t line = 0;  // the last line read
    std::size_t station = 0;
};

// An overlong line is followed to its end for its length, but not forever.
constexpr std::size_t longLineCountLimit = std::size_t{1} << 20;

// Reads the next line, or writes the error that ends the reading, with a
// second line that says where.
bool nextLine(std::streambuf& in, LineBuffer& line, Position& at, std::ostream& messages,
              ReadResult& failure) {
    switch (readLine(in, line)) {
        case LineResult::line:
            ++at.line;
            return true;
        case LineResult::endOfInput:
            messages << "Error:  Unexpected end of input\n"
                     << "The input ends after line " << at.line << ", in station block "
                     << at.station << " (counted from 0), with " << at.station << " of "
                     << stationCount << " blocks complete\n";
            failure = ReadResult::unexpectedEnd;
            return false;
        case LineResult::tooLong: {
            const std::size_t rest = skipRestOfLine(in, longLineCountLimit);
            messages << "Error:  Line longer than 255 characters\n"
                     << "Line " << at.line + 1 << " has ";
            if (rest == longLineCountLimit) messages << "more than ";
            messages << line.length + rest << " characters\n";
            failure = ReadResult::lineTooLong;
            return false;
        }
    }
    return false;
}

// How much of the report each station's block provided, and where.
struct BlockCounts {
    std::size_t dayLines[stationCount] = {};
    std::size_t closingLine[stationCount] = {};
    std::size_t valuesRead[stationCount][maxDays] = {};
    std::size_t dayLineNumber[stationCount][maxDays] = {};
};

// Values the line did not provide read as 0.
void storeDayLine(const DayLineFields& fields, ObservationSet& observations, std::size_t s,
                  std::size_t j) {
    auto& values = observations.data[s][j];
    for (std::size_t k = 0; k < fieldCount; ++k) {
        const bool read = k < fields.valuesRead;
        values[k] = read ? fields.values[k] : 0.0;
        observations.invalid[s][j][k] = read && fields.flags[k] == 'M';
    }
}

// Days a block lacks, up to the day count, read as 0 in every quantity.
void clearMissingDays(ObservationSet& observations, std::size_t s, std::size_t from) {
    for (std::size_t j = from; j < observations.dayCount; ++j) {
        observations.data[s][j] = {};
        observations.invalid[s][j] = {};
        observations.avgHumidity[s][j] = 0.0;
        observations.windVector[s][j] = {};
    }
}

// Values that no line provided read as 0, which the grid would show as if
// measured; these warnings say where. They are written only once the whole
// report has been read, so a failed run shows its error alone.
void warnAboutMissingValues(const BlockCounts& counts, std::size_t dayCount,
                            std::ostream& messages) {
    for (std::size_t s = 0; s < stationCount; ++s) {
        const std::size_t days = counts.dayLines[s];
        for (std::size_t j = 0; j < days; ++j) {
            if (counts.valuesRead[s][j] < fieldCount) {
                messages << "Warning:  station " << s << " day " << j << ", line "
                         << counts.dayLineNumber[s][j] << ": " << counts.valuesRead[s][j] << " of "
                         << fieldCount << " values read, the rest read as 0\n";
            }
        }
        if (days == dayCount) continue;
        messages << "Warning:  station " << s << ", block ending on line " << counts.closingLine[s]
                 << ": " << days << " day lines, ";
        if (days < dayCount) {
            messages << "fewer than the last block's " << dayCount
                     << "; the missing days read as 0\n";
        } else {
            messages << "more than the last block's " << dayCount << "; its days from day "
                     << dayCount << " on are not gridded\n";
        }
    }
}

}  // namespace

ReadResult readObservations(std::istream& in, ObservationSet& observations, StationTable& stations,
                            std::ostream& messages) {
    std::streambuf* source = in.rdbuf();
    ReadResult failure = ReadResult::ok;
    if (source == nullptr) {
        messages << "Error:  Unexpected end of input\n";
        return ReadResult::unexpectedEnd;
    }
    LineBuffer line;
    BlockCounts counts;
    Position at;

    for (std::size_t s = 0; s < stationCount; ++s) {
        at.station = s;
        stations[s][2] = 0.0;

        // The heading runs up to and including the opening dashed line.
        do {
            if (!nextLine(*source, line, at, messages, failure)) return failure;
        } while (!isDashedLine(line.view()));

        std::size_t j = 0;
        for (;;) {
            if (!nextLine(*source, line, at, messages, failure)) return failure;
            if (isDashedLine(line.view())) break;
            if (j == maxDays) {
                // The offending line has no line end of its own; the next line says where.
                messages << "Error:  Number of days exceeded 31\n"
                         << line.view() << "\nLine " << at.line << " is day line " << maxDays + 1
                         << " of station block " << s << " (counted from 0)\n";
                return ReadResult::tooManyDays;
            }
            const DayLineFields fields = convertDayLine(line.view());
            storeDayLine(fields, observations, s, j);
            counts.valuesRead[s][j] = fields.valuesRead;
            counts.dayLineNumber[s][j] = at.line;
            deriveStationQuantities(observations, s, j);
            ++j;
        }
        counts.dayLines[s] = j;
        counts.closingLine[s] = at.line;
    }

    observations.dayCount = counts.dayLines[stationCount - 1];
    for (std::size_t s = 0; s < stationCount; ++s)
        clearMissingDays(observations, s, counts.dayLines[s]);
    warnAboutMissingValues(counts, observations.dayCount, messages);
    return ReadResult::ok;
}

}  // namespace obsgrid
