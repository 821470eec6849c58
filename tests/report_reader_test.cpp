#include "input/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "grid/geography.h"
#include "report_builder.h"

namespace obsgrid {
namespace {

using testing::block;
using testing::dayLine;
using testing::dayLines;
using testing::uniformReport;

struct Reading {
    ReadResult result;
    std::unique_ptr<ObservationSet> set;
    StationTable stations;
    std::string messages;
};

Reading read(const std::string& report) {
    Reading r{ReadResult::ok, std::make_unique<ObservationSet>(), initialStationLocations, {}};
    std::istringstream in(report);
    std::ostringstream messages;
    r.result = readObservations(in, *r.set, r.stations, messages);
    r.messages = messages.str();
    return r;
}

// The number, counted from 1, of the line that holds `text[position]`.
std::size_t lineAt(const std::string& text, std::size_t position) {
    return static_cast<std::size_t>(std::count(text.begin(), text.begin() + position, '\n')) + 1;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// 18 blocks of `days` day lines, then the given last block.
std::string reportEndingWith(const std::string& lastBlock, std::size_t days = 3) {
    std::string text;
    for (std::size_t s = 0; s + 1 < stationCount; ++s) text += block(s, dayLines(s, days));
    return text + lastBlock;
}

TEST(ReportReader, ReadsEveryBlockInOrder) {
    const Reading r = read(uniformReport(30));
    ASSERT_EQ(r.result, ReadResult::ok);
    EXPECT_EQ(r.set->dayCount, 30u);
    EXPECT_EQ(r.messages, "");
    for (std::size_t s = 0; s < stationCount; ++s) {
        EXPECT_EQ(r.stations[s][2], 0.0) << "height of station " << s;
        EXPECT_EQ(r.stations[s][0], initialStationLocations[s][0]);
        for (std::size_t j = 0; j < 30; ++j) {
            const double base = static_cast<double>(s * 100 + j);
            for (std::size_t k = 0; k < fieldCount; ++k)
                ASSERT_EQ(r.set->data[s][j][k], base + static_cast<double>(k));
            ASSERT_EQ(r.set->avgHumidity[s][j], ((base + 7) + (base + 8)) / 2.0);
        }
    }
    EXPECT_NE(r.set->windVector[5][3][1], 0.0) << "wind vectors are derived per line";
}

TEST(ReportReader, DayCountComesFromTheLastBlock) {
    for (std::size_t days : {0u, 1u, 30u, 31u}) {
        const Reading r = read(reportEndingWith(block(18, dayLines(18, days)), days));
        EXPECT_EQ(r.result, ReadResult::ok) << days;
        EXPECT_EQ(r.set->dayCount, days);
    }
}

TEST(ReportReader, ThirtySecondDayLineFails) {
    std::vector<std::string> lines = dayLines(18, 31);
    lines.push_back("32 the offending line");
    const std::string report = reportEndingWith(block(18, lines));
    const Reading r = read(report);
    EXPECT_EQ(r.result, ReadResult::tooManyDays);
    const std::size_t line = lineAt(report, report.find("32 the offending line"));
    EXPECT_EQ(r.messages, "Error:  Number of days exceeded 31\n32 the offending line\nLine " +
                              std::to_string(line) +
                              " is day line 32 of station block 18 (counted from 0)\n");
}

TEST(ReportReader, EveryLineInADayListIsADay) {
    const std::vector<std::string> lines = {dayLine(1, 10), "", "some text ----", dayLine(3, 40),
                                            dayLine(2, 30)};
    const std::string report = reportEndingWith(block(18, lines), 5);
    const Reading r = read(report);
    ASSERT_EQ(r.result, ReadResult::ok);
    EXPECT_EQ(r.set->dayCount, 5u);
    EXPECT_EQ(r.set->data[18][0][0], 10.0);
    EXPECT_EQ(r.set->data[18][1][0], 0.0);
    EXPECT_EQ(r.set->data[18][2][4], 0.0);
    EXPECT_EQ(r.set->data[18][3][0], 40.0) << "day numbers do not place lines";
    EXPECT_EQ(r.set->data[18][4][0], 30.0);
    const std::size_t blankLine = lineAt(report, report.find("\n\nsome text")) + 1;
    EXPECT_EQ(r.messages, "Warning:  station 18 day 1, line " + std::to_string(blankLine) +
                              ": 0 of 18 values read, the rest read as 0\n"
                              "Warning:  station 18 day 2, line " +
                              std::to_string(blankLine + 1) +
                              ": 0 of 18 values read, the rest read as 0\n");
}

TEST(ReportReader, DashedLineIsASubstringOfFiveHyphens) {
    const std::string report = reportEndingWith(
        "heading with ---- four hyphens\n"
        "station 18 ===-----=== opening\n" +
        dayLine(1, 1) + "\n" + "x----- closing with text\n");
    const Reading r = read(report);
    ASSERT_EQ(r.result, ReadResult::ok);
    EXPECT_EQ(r.set->dayCount, 1u);
}

TEST(ReportReader, ClosingDashedLineNeverOpensTheNextBlock) {
    // After block 0 closes, its "day lines" without a heading are heading
    // lines of block 1 until block 1's own dashed line.
    std::string report =
        block(0, dayLines(0, 2)) + dayLine(1, 999) + "\n" + block(1, dayLines(1, 2));
    for (std::size_t s = 2; s < stationCount; ++s) report += block(s, dayLines(s, 2));
    const Reading r = read(report);
    ASSERT_EQ(r.result, ReadResult::ok);
    EXPECT_EQ(r.set->data[1][0][0], 100.0);
}

TEST(ReportReader, LineEndsAndTheEndOfInput) {
    const std::string lf = uniformReport(2);
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string noFinalLineFeed = lf;
    noFinalLineFeed.pop_back();

    for (const std::string& report :
         {crlf, noFinalLineFeed, lf + "\x1a" + "garbage\n-----\n",
          lf + "trailing text " + std::string(400, 'x') + "\n\x01\x02", noFinalLineFeed + "\x1a"}) {
        const Reading r = read(report);
        ASSERT_EQ(r.result, ReadResult::ok);
        EXPECT_EQ(r.set->dayCount, 2u);
        EXPECT_EQ(r.set->data[18][1][17], 18 * 100 + 1 + 17.0);
        EXPECT_EQ(r.messages, "");
    }
}

TEST(ReportReader, ByteTwentySixEndsTheInput) {
    std::string report = uniformReport(2);
    const std::size_t cut = report.find("Station 9");
    report.insert(cut, "\x1a");
    const Reading r = read(report);
    EXPECT_EQ(r.result, ReadResult::unexpectedEnd);
    EXPECT_EQ(r.messages, "Error:  Unexpected end of input\nThe input ends after line " +
                              std::to_string(lineAt(report, cut) - 1) +
                              ", in station block 9 (counted from 0), with 9 of 19 blocks "
                              "complete\n");
}

TEST(ReportReader, ReportCutShortEndsWithAnError) {
    const std::string full = uniformReport(2);
    const std::size_t inHeading = full.rfind("Station 18");
    const std::size_t inDayList = full.rfind("2 1801");
    const std::size_t closingLine = full.size() - 30;
    ASSERT_EQ(full.substr(closingLine, 6), "------");
    for (std::size_t cut :
         {std::size_t{0}, inHeading, inHeading + 4, inDayList, closingLine, closingLine + 4}) {
        const std::string cutShort = full.substr(0, cut);
        const Reading r = read(cutShort);
        EXPECT_EQ(r.result, ReadResult::unexpectedEnd) << "cut at " << cut;
        // a piece of a line after the last line end is a line of its own
        const std::size_t lastLine = lineCount(cutShort) + (cutShort.ends_with('\n') ? 0 : 1);
        const std::size_t station = cut == 0 ? 0 : 18;
        EXPECT_EQ(r.messages, "Error:  Unexpected end of input\nThe input ends after line " +
                                  std::to_string(cut == 0 ? 0 : lastLine) + ", in station block " +
                                  std::to_string(station) + " (counted from 0), with " +
                                  std::to_string(station) + " of 19 blocks complete\n");
    }
}

TEST(ReportReader, LinesOfUpTo255CharactersAreReadWhole) {
    const std::string at255 =
        dayLine(1, 5) + std::string(255 - dayLine(1, 5).size() - 1, ' ') + "M";
    ASSERT_EQ(at255.size(), 255u);
    Reading r = read(reportEndingWith(block(18, {at255}), 1));
    ASSERT_EQ(r.result, ReadResult::ok);
    EXPECT_EQ(r.set->data[18][0][17], 22.0);

    const std::string crlfAt255 = at255 + "\r";
    r = read(reportEndingWith(block(18, {crlfAt255}), 1));
    EXPECT_EQ(r.result, ReadResult::ok) << "the carriage return before a line feed is not counted";

    const std::string dashes255(255, '-');
    r = read(reportEndingWith(dashes255 + "\n" + dayLine(1, 5) + "\n" + dashes255, 1));
    EXPECT_EQ(r.result, ReadResult::ok);

    for (const std::string& line :
         {at255 + "x", at255 + "x\r", std::string(256, '-'), std::string(1000, 'a')}) {
        const std::string report = reportEndingWith(block(18, {line}), 1);
        r = read(report);
        EXPECT_EQ(r.result, ReadResult::lineTooLong) << line.size();
        const std::size_t length = line.ends_with('\r') ? line.size() - 1 : line.size();
        EXPECT_EQ(r.messages, "Error:  Line longer than 255 characters\nLine " +
                                  std::to_string(lineAt(report, report.find(line))) + " has " +
                                  std::to_string(length) + " characters\n");
    }
    // A line without end still ends the reading.
    r = read(reportEndingWith(block(18, {}), 0) + std::string(3u << 20, 'z'));
    EXPECT_EQ(r.result, ReadResult::ok) << "nothing after the 19th block is read";
    r = read(std::string(3u << 20, 'z'));
    EXPECT_EQ(r.messages,
              "Error:  Line longer than 255 characters\nLine 1 has more than 1048832 characters\n");
    r = read(reportEndingWith(std::string(256, 'h') + "\n" + block(18, {}), 0));
    EXPECT_EQ(r.result, ReadResult::lineTooLong) << "in a heading too";
}

TEST(ReportReader, FlagsMarkMissingValuesOnly) {
    std::string flagged = "1";
    for (int k = 0; k < 18; ++k) flagged += " " + std::to_string(k + 1) + (k % 3 == 0 ? "M" : "E ");
    // the second line ends right after its 18th value: no flag of its own
    std::string unflaggedEnd = "2";
    for (int k = 0; k < 18; ++k) unflaggedEnd += " " + std::to_string(k + 1) + (k == 17 ? "" : "M");
    const Reading r = read(reportEndingWith(block(18, {flagged, unflaggedEnd}), 2));
    ASSERT_EQ(r.result, ReadResult::ok);
    for (std::size_t k = 0; k < 18; ++k) {
        EXPECT_EQ(r.set->data[18][0][k], static_cast<double>(k + 1)) << "flagged values are kept";
        EXPECT_EQ(r.set->invalid[18][0][k], k % 3 == 0) << k;
        EXPECT_EQ(r.set->invalid[18][1][k], k != 17) << k;
    }
    EXPECT_EQ(r.messages, "");
}

TEST(ReportReader, WarnsWhereValuesReadAsZero) {
    std::string report;
    for (std::size_t s = 0; s < stationCount; ++s) {
        std::vector<std::string> lines = dayLines(s, s == 4 ? 2 : s == 6 ? 4 : 3);
        if (s == 7) lines[1] = "2 1.0 2.0 3.0 4.0 5.0 M";
        report += block(s, lines);
    }
    const Reading r = read(report);
    ASSERT_EQ(r.result, ReadResult::ok);
    // Each block is three heading lines, its day lines and a closing line.
    const auto closingLineOf = [&](std::size_t station) {
        return lineAt(report, report.find("Station " + std::to_string(station + 1))) - 1;
    };
    const std::size_t shortLine = lineAt(report, report.find("2 1.0 2.0"));
    EXPECT_EQ(r.messages,
              "Warning:  station 4, block ending on line " + std::to_string(closingLineOf(4)) +
                  ": 2 day lines, fewer than the last block's 3; the missing days "
                  "read as 0\n"
                  "Warning:  station 6, block ending on line " +
                  std::to_string(closingLineOf(6)) +
                  ": 4 day lines, more than the last block's 3; its days from day 3 "
                  "on are not gridded\n"
                  "Warning:  station 7 day 1, line " +
                  std::to_string(shortLine) + ": 5 of 18 values read, the rest read as 0\n");
    EXPECT_EQ(r.set->data[4][2][1], 0.0);
    EXPECT_EQ(r.set->windVector[4][2][0], 0.0);
    EXPECT_EQ(r.set->data[7][1][5], 0.0);
}

TEST(ReportReader, HeightsAreClearedOnlyForBlocksReached) {
    const std::string full = uniformReport(1);
    const Reading r = read(full.substr(0, full.find("Station 5")));
    EXPECT_EQ(r.result, ReadResult::unexpectedEnd);
    EXPECT_EQ(r.stations[4][2], 0.0);
    EXPECT_EQ(r.stations[5][2], 0.0) << "the block is reached when its heading is read";
    EXPECT_EQ(r.stations[6][2], initialStationLocations[6][2]);
}

}  // namespace
}  // namespace obsgrid
