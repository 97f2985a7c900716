#include "soundtrack.h"

#include <lame/lame.h>

#include <stdexcept>

std::vector<uint8_t> encodeMp3(const Pcm& pcm) {
    lame_global_flags* gf = lame_init();
    if (!gf) throw std::runtime_error("lame_init failed");
    lame_set_in_samplerate(gf, SampleRate);
    lame_set_out_samplerate(gf, SampleRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_brate(gf, 192);
    lame_set_quality(gf, 5);
    // The LAME tag carries the encoder delay and padding, so decoders can trim them and the
    // accents stay where they were written. No ID3 tag: the tag frame must come first.
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        throw std::runtime_error("lame_init_params failed");
    }
    std::vector<uint8_t> out;
    const size_t chunk = 8192;
    std::vector<uint8_t> buf(chunk * 5 / 4 + 7200);
    for (size_t pos = 0; pos < pcm.left.size(); pos += chunk) {
        const int n = int(std::min(chunk, pcm.left.size() - pos));
        const int bytes = lame_encode_buffer_ieee_float(gf, pcm.left.data() + pos, pcm.right.data() + pos,
                                                        n, buf.data(), int(buf.size()));
        if (bytes < 0) { lame_close(gf); throw std::runtime_error("lame encode failed"); }
        out.insert(out.end(), buf.begin(), buf.begin() + bytes);
    }
    const int bytes = lame_encode_flush(gf, buf.data(), int(buf.size()));
    if (bytes < 0) { lame_close(gf); throw std::runtime_error("lame flush failed"); }
    out.insert(out.end(), buf.begin(), buf.begin() + bytes);
    // The first frame was written as a stand-in; overwrite it with the finished tag.
    std::vector<uint8_t> tag(8192);
    const size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
    lame_close(gf);
    if (tagSize == 0 || tagSize > out.size()) throw std::runtime_error("no LAME tag frame");
    std::copy(tag.begin(), tag.begin() + long(tagSize), out.begin());
    return out;
}
