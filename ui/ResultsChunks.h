// A QTextDocument lays a whole block out again on every change to it, so the results box never
// lets one line of results grow into one huge block: it cuts the line into chunks, each its own
// block, joined by soft breaks.
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace bukvotok {

struct ChunkedText {
    QString text;                  // lines and chunks separated by '\n'
    std::vector<int> soft_breaks;  // the positions in `text` of the '\n' that are cuts
};

// Cuts every '\n'-separated line of `text` that runs longer than twice `chunk_length` into
// chunks of about `chunk_length`, each ending after a space so that the next starts with a word.
// The first line continues a block that already holds `first_line_offset` characters, which are
// not in `text` and are never cut.
ChunkedText CutIntoChunks(QStringView text, qsizetype chunk_length,
                          qsizetype first_line_offset = 0);

// Where a chunk that starts at `start` ends when it may run to `limit`: just after the last
// space in the later half, or at `limit` when a word fills that half.
qsizetype ChunkEnd(QStringView line, qsizetype start, qsizetype limit);

}  // namespace bukvotok
