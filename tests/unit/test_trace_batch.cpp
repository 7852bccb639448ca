// Trace log: a record and its dump are written in as few writes as the ring allows, and the file
// must still read exactly as if every line had been written one by one with the marker behind it.
// Also the end-marker search of a process's first write across the search's read chunks.
#include "test_trace_support.h"

#include <cctype>
#include <cstdio>

using namespace tracetest;

namespace {

class TraceBatch : public TraceFixture {};

// Stands in the model for the record line, whose time stamp is not known in advance.
const std::string kRecord = "(the record)";

// The ring as it must look after writing `lines` one at a time from 0-based line `start` of a ring
// of `ringLines` lines whose lines [0, start) already exist: each line followed by the marker,
// which the next line overwrites; after the ring's last line the marker goes to the top.
std::vector<std::string> ModelRing(std::vector<std::string> existing, size_t ringLines, size_t start,
                                   const std::vector<std::string> &lines)
{
    std::vector<std::string> ring = existing;
    size_t pos = start;
    for (const std::string &line : lines) {
        if (ring.size() <= pos)
            ring.resize(pos + 1);
        ring[pos] = line;
        pos = (pos + 1) % ringLines;
    }
    if (ring.size() <= pos)
        ring.resize(pos + 1);
    ring[pos] = "<END>";
    return ring;
}

// 16 bytes per dump line, every line different, so no line is folded.
std::vector<unsigned char> DistinctData(size_t dataLines)
{
    std::vector<unsigned char> data(dataLines * 16);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (unsigned char)('A' + (i / 16) % 26);
    for (size_t line = 0; line < dataLines; line++)
        data[line * 16] = (unsigned char)line; // the line number in the first byte keeps lines distinct
    return data;
}

std::string DumpLine(const std::vector<unsigned char> &data, size_t line)
{
    char out[96];
    int used = std::snprintf(out, sizeof(out), "%08X: ", (unsigned)(line * 16));
    for (int column = 0; column < 16; column++) {
        used += std::snprintf(out + used, sizeof(out) - used, "%02X ", data[line * 16 + column]);
        if (column == 7)
            out[used++] = ' ';
    }
    out[used++] = ' ';
    for (int column = 0; column < 16; column++) {
        unsigned char c = data[line * 16 + column];
        out[used++] = std::isalnum(c) ? (char)c : '.';
    }
    out[used] = '\0';
    return out;
}

TEST_F(TraceBatch, RecordWithDumpReadsAsIfWrittenLineByLine)
{
    struct Case {
        const char *name;
        size_t ringLines;    // MaxFileSize / 200
        size_t recordsBefore; // plain records written first
        size_t dataLines;    // 16-byte lines of the dump
    };
    const Case cases[] = {
        {"fits with room to spare", 50, 3, 4},
        {"longer than one write batch", 200, 0, 40},
        {"exactly one batch, marker on the last line", 17, 0, 13},
        {"fills the ring to its last line: marker to the top", 16, 0, 12},
        {"ends on the ring's last line after earlier records", 20, 4, 12},
        {"wraps inside the first batch", 10, 6, 5},
        {"wraps after a full batch", 20, 10, 20},
        {"longer than the whole ring", 8, 2, 15},
        {"starts on the ring's last line", 6, 5, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.File("batch_" + std::to_string(&c - cases) + ".log");
        ASSERT_EQ(1, initLog(path.c_str(), (int)(c.ringLines * 200)));
        std::vector<std::string> before;
        for (size_t i = 0; i < c.recordsBefore; i++) {
            ASSERT_EQ(1, TraceText(nullptr, 0, "", "before %u", (unsigned)i));
            before.push_back(RingLines(path)[i % c.ringLines]);
        }
        std::vector<unsigned char> data = DistinctData(c.dataLines);
        ASSERT_EQ(1, TraceTextDump(nullptr, 0, "", data.data(), (unsigned)data.size(), "with dump"));

        std::vector<std::string> actual = RingLines(path);
        size_t recordAt = c.recordsBefore % c.ringLines;
        std::vector<std::string> written = {kRecord, std::string(77, '-')};
        for (size_t line = 0; line < c.dataLines; line++)
            written.push_back(DumpLine(data, line));
        written.push_back("");
        std::vector<std::string> expected = ModelRing(before, c.ringLines, recordAt, written);

        ASSERT_EQ(expected.size(), actual.size());
        for (size_t i = 0; i < expected.size(); i++) {
            if (expected[i] == kRecord)
                EXPECT_NE(std::string::npos, actual[i].find(" with dump")) << "line " << i + 1 << ": " << actual[i];
            else
                EXPECT_EQ(Padded(expected[i]), actual[i]) << "line " << i + 1;
        }
        finContData();
    }
}

TEST_F(TraceBatch, RecordsAfterABatchContinueBehindIt)
{
    const std::string path = folder.File("after.log");
    ASSERT_EQ(1, initLog(path.c_str(), 30 * 200));
    std::vector<unsigned char> data = DistinctData(20);
    ASSERT_EQ(1, TraceTextDump(nullptr, 0, "", data.data(), (unsigned)data.size(), "dump"));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "next"));
    std::vector<std::string> lines = RingLines(path);
    // dump record, separator, 20 data lines, blank: 23 lines, then "next", then the marker.
    ASSERT_EQ(25u, lines.size());
    EXPECT_NE(std::string::npos, lines[23].find(" next"));
    EXPECT_TRUE(IsMarker(lines[24]));
}

// The marker search reads the file in chunks of 64 KiB: a marker whose five characters straddle
// the end of the first chunk must still be found. A first line of 209 bytes puts line 327 at
// offset 65534.
TEST_F(TraceBatch, FirstWriteFindsAMarkerAcrossTheReadChunks)
{
    const std::string path = folder.File("straddle.log");
    std::string bytes = std::string(207, 'x') + "\r\n";
    for (int line = 2; line < 327; line++)
        bytes += Padded("old " + std::to_string(line)) + "\r\n";
    ASSERT_EQ(65534u, bytes.size());
    bytes += Padded("<END>") + "\r\n";
    for (int line = 328; line <= 400; line++)
        bytes += Padded("older " + std::to_string(line)) + "\r\n";
    WriteAll(path, bytes);

    ASSERT_EQ(1, initLog(path.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "first of this process"));
    std::string after = ReadAll(path);
    ASSERT_EQ(bytes.size(), after.size());
    EXPECT_EQ(bytes.substr(0, 65534), after.substr(0, 65534));
    EXPECT_NE(std::string::npos, after.substr(65534, kLineWidth).find(" first of this process"));
    EXPECT_EQ(Padded("<END>"), after.substr(65534 + kLineBytes, kLineWidth));
    EXPECT_EQ(bytes.substr(65534 + 2 * kLineBytes), after.substr(65534 + 2 * kLineBytes));
}

} // namespace
