#include "mp3_writer.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>

std::vector<int16_t> makeTestSignal(size_t frames, int rate) {
    std::vector<int16_t> samples(2 * frames);
    const double pi = 3.14159265358979323846;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;  // s
        const double sweep = std::sin(2 * pi * (200 * t + 150 * t * t));
        const double left = 0.35 * std::sin(2 * pi * 440 * t) + 0.25 * sweep;
        const double right = 0.3 * std::sin(2 * pi * 660 * t + 1) - 0.25 * sweep +
                             0.1 * std::sin(2 * pi * 97 * t);
        samples[2 * i] = int16_t(std::lround(left * 32767));
        samples[2 * i + 1] = int16_t(std::lround(right * 32767));
    }
    return samples;
}

bool writeMp3(const std::string& path, const std::vector<int16_t>& samples, int channels,
              int rate, int kbps) {
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) return false;
    lame_set_num_channels(lame, channels);
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 1);  // the LAME tag carries encoder delay and padding
    bool ok = lame_init_params(lame) == 0;

    const int frames = int(samples.size() / size_t(channels));
    std::vector<unsigned char> out(size_t(1.25 * frames + 7200) + 16384);
    int bytes = 0;
    if (ok) {
        std::vector<short> mono;
        if (channels == 2) {
            bytes = lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()),
                                                   frames, out.data(), int(out.size()));
        } else {
            mono.assign(samples.begin(), samples.end());
            bytes = lame_encode_buffer(lame, mono.data(), mono.data(), frames, out.data(),
                                       int(out.size()));
        }
        ok = bytes >= 0;
    }
    if (ok) {
        const int tail = lame_encode_flush(lame, out.data() + bytes, int(out.size()) - bytes);
        ok = tail >= 0;
        bytes += ok ? tail : 0;
    }
    // The stream starts with a stand-in for the tag frame: put the final tag there.
    if (ok) {
        unsigned char tag[4096];
        const size_t tagBytes = lame_get_lametag_frame(lame, tag, sizeof tag);
        ok = tagBytes > 0 && tagBytes <= size_t(bytes);
        for (size_t i = 0; ok && i < tagBytes; ++i) out[i] = tag[i];
    }
    lame_close(lame);
    if (!ok) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    ok = std::fwrite(out.data(), 1, size_t(bytes), file) == size_t(bytes);
    return std::fclose(file) == 0 && ok;
}
