#include "dropouts.h"

#include <algorithm>

namespace {

constexpr size_t MatchFrames = 32;  // frames that must agree to take a position as found

bool silent(const int16_t* frame) { return frame[0] == 0 && frame[1] == 0; }

bool same(const int16_t* a, const int16_t* b, size_t frames) {
    return std::equal(a, a + 2 * frames, b);
}

size_t leadingSilence(const int16_t* samples, size_t frames) {
    size_t n = 0;
    while (n < frames && silent(samples + 2 * n)) ++n;
    return n;
}

// Frames of silence inserted at captured frame `at`, after which the song continues at its
// frame `songAt`; 0 when the silence that starts at `at` is not followed by it. When the
// capture ends inside that silence, all of the rest counts as inserted.
size_t insertedSilence(const int16_t* captured, size_t capturedFrames, size_t at,
                       const int16_t* song, size_t songFrames, size_t songAt) {
    const size_t end = at + leadingSilence(captured + 2 * at, capturedFrames - at);
    for (size_t resume = at + 1; resume < end + 1 && resume < capturedFrames; ++resume) {
        const size_t length = std::min({MatchFrames, capturedFrames - resume, songFrames - songAt});
        if (same(captured + 2 * resume, song + 2 * songAt, length)) return resume - at;
    }
    return end == capturedFrames ? end - at : 0;
}

}  // namespace

DropoutReport findDropouts(const int16_t* captured, size_t capturedFrames, const int16_t* song,
                           size_t songFrames) {
    DropoutReport report;
    if (songFrames == 0) return report;
    // The song starts after the silence the device plays before its first stream; the song
    // may itself begin with silence.
    const size_t capturedSilence = leadingSilence(captured, capturedFrames);
    const size_t songSilence = leadingSilence(song, songFrames);
    size_t w = capturedSilence >= songSilence ? capturedSilence - songSilence : 0;
    if (capturedSilence < songSilence ||
        !same(captured + 2 * w, song, std::min({MatchFrames, capturedFrames - w, songFrames}))) {
        report.corrupt = true;
        return report;
    }
    report.leadFrames = w;
    size_t s = 0;
    while (w < capturedFrames && s < songFrames) {
        if (same(captured + 2 * w, song + 2 * s, 1)) {
            ++w, ++s, ++report.matchedFrames;
            continue;
        }
        const size_t inserted = silent(captured + 2 * w)
            ? insertedSilence(captured, capturedFrames, w, song, songFrames, s)
            : 0;
        if (inserted == 0) {
            report.corrupt = true;
            report.corruptAtFrame = w;
            return report;
        }
        if (report.dropouts++ == 0) report.firstDropoutAtFrame = s;
        report.dropoutFrames += inserted;
        report.longestDropoutFrames = std::max(report.longestDropoutFrames, inserted);
        w += inserted;
    }
    // Past the song's end only silence may follow.
    for (; w < capturedFrames; ++w) {
        if (!silent(captured + 2 * w)) {
            report.corrupt = true;
            report.corruptAtFrame = w;
            return report;
        }
    }
    return report;
}
