#include "ResultsChunks.h"

#include <algorithm>

namespace bukvotok {

qsizetype ChunkEnd(QStringView line, qsizetype start, qsizetype limit) {
    const qsizetype earliest = start + (limit - start) / 2;
    for (qsizetype i = limit - 1; i >= earliest; --i) {
        if (line[i] == u' ') return i + 1;
    }
    return limit;
}

ChunkedText CutIntoChunks(QStringView text, qsizetype chunk_length, qsizetype first_line_offset) {
    ChunkedText chunked;
    chunked.text.reserve(text.size() + text.size() / chunk_length + 1);
    qsizetype line_start = 0;
    qsizetype chunk_start = -first_line_offset;
    for (;;) {
        qsizetype line_end = text.indexOf(u'\n', line_start);
        if (line_end < 0) line_end = text.size();
        while (line_end - chunk_start > 2 * chunk_length) {
            const qsizetype earliest = std::max(chunk_start, line_start);
            if (earliest >= line_end) break;
            const qsizetype limit = std::clamp(chunk_start + chunk_length, earliest + 1, line_end);
            const qsizetype cut = ChunkEnd(text, earliest, limit);
            chunked.text += text.sliced(earliest, cut - earliest);
            chunked.soft_breaks.push_back(static_cast<int>(chunked.text.size()));
            chunked.text += u'\n';
            chunk_start = cut;
        }
        const qsizetype rest = std::max(chunk_start, line_start);
        chunked.text += text.sliced(rest, line_end - rest);
        if (line_end == text.size()) break;
        chunked.text += u'\n';
        line_start = chunk_start = line_end + 1;
    }
    return chunked;
}

}  // namespace bukvotok
