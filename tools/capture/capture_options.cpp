#include "capture_options.h"

#include <algorithm>

#include "app/option_values.h"
#include "frame_plan.h"
#include "sheet_layout.h"

namespace {

constexpr int MaxSide = 8192;  // pixels; larger framebuffers are refused by most drivers
constexpr uint32_t MaxJobs = 16;  // processes of one split recording
constexpr int MaxSupersample = 4;  // samples along each side of an output pixel

bool readList(const std::string& text, std::vector<uint32_t>& values) {
    size_t begin = 0;
    while (true) {
        const size_t comma = text.find(',', begin);
        uint64_t value = 0;
        if (!parseWholeNumber(text.substr(begin, comma - begin), 0, 0xffffffffu, value)) return false;
        values.push_back(uint32_t(value));
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    return true;
}

// --end, --jobs, --join and --supersample against the rest.
std::string checkRangeAndSplit(const CaptureOptions& o, bool onlyVideoBesideJoin) {
    if (!o.joinParts.empty()) {
        if (o.videoFile.empty()) return "--join writes the joined parts to --video FILE; give it";
        if (!onlyVideoBesideJoin)
            return "--join takes only --video and the encoding options: the parts say what they hold";
        return "";
    }
    if (o.endMs <= o.startMs)
        return "--end " + std::to_string(o.endMs) + " is not past --start " + std::to_string(o.startMs);
    if (!o.sheetFile.empty() && o.endMs != ShowLengthMs + 1)
        return "--sheet needs the whole show: leave out --end";
    if (!o.atMs.empty() && o.atMs.back() >= o.endMs)
        return "--at " + std::to_string(o.atMs.back()) + " is not before --end " + std::to_string(o.endMs);
    if (o.jobs > 1 && (o.videoFile.empty() || !o.pngDir.empty() || !o.sheetFile.empty()))
        return "--jobs splits a --video recording: give --video FILE and no --png or --sheet";
    if (o.jobs > 1 && !o.manifestFile.empty())
        return "--manifest hashes the frames as one process draws them: leave out --jobs";
    return "";
}

std::string checkCombination(const CaptureOptions& o, bool onlyVideoBesideJoin) {
    const std::string split = checkRangeAndSplit(o, onlyVideoBesideJoin);
    if (!split.empty() || !o.joinParts.empty()) return split;
    if (o.drawOnly && (!o.pngDir.empty() || !o.videoFile.empty() || !o.sheetFile.empty() || o.jobs > 1))
        return "--draw-only writes nothing: leave out --png, --video, --sheet and --jobs";
    if (o.drawOnly) return "";
    if (o.pngDir.empty() && o.videoFile.empty() && o.sheetFile.empty())
        return "nothing to do: give --png DIR, --video FILE or --sheet FILE (see --help)";
    if (!o.atMs.empty() && o.pngDir.empty()) return "--at chooses frames for --png; give --png DIR";
    if (!o.sheetFile.empty() && o.startMs != 0)
        return "--sheet needs the whole show: leave out --start";
    const FrameSchedule kept = keptSchedule(o);
    const uint32_t last = lastFrameInShow(kept);
    if (!o.atMs.empty() && o.atMs.back() > last)
        return "--at " + std::to_string(o.atMs.back()) + " is past the last frame (" +
               std::to_string(last) + " ms at " + std::to_string(kept.rate) +
               (o.showRate == UncappedShowRate ? " fps)" : " show frames a second)");
    return "";
}

// Publishing and archiving: how --video is encoded (encoding.h) and the files written
// beside the recording.
bool isPublishingOption(const std::string& name) {
    return name == "--preset" || name == "--codec" || name == "--encoder" || name == "--crf" ||
           name == "--bitrate" || name == "--pix-fmt" || name == "--manifest" || name == "--chapters";
}

bool readPublishingOption(const std::string& name, const std::string& value, CaptureOptions& o,
                          std::string& error) {
    if (name == "--manifest") o.manifestFile = value;
    else if (name == "--chapters") o.chaptersFile = value;
    else return readEncodingOption(name, value, o.encoding, error);
    return true;
}

std::string checkPublishing(const CaptureOptions& o, bool shaped) {
    const bool frames = !o.videoFile.empty() || (!o.pngDir.empty() && o.atMs.empty());
    if (!o.manifestFile.empty() && !frames)
        return "--manifest lists the frames of --video or of a --png sequence (without --at); give one";
    if (o.videoFile.empty()) {
        if (!o.chaptersFile.empty()) return "--chapters lists the chapters of --video; give --video FILE";
        if (shaped)
            return "--preset, --codec, --encoder, --crf, --bitrate and --pix-fmt shape --video; give --video FILE";
        return "";
    }
    return checkEncoding(o.encoding, containerFor(o.videoFile), o.width, o.height);
}

}  // namespace

ParsedCaptureOptions parseCaptureOptions(const std::vector<std::string>& args) {
    ParsedCaptureOptions result;
    CaptureOptions& o = result.options;
    bool onlyVideoBesideJoin = true;  // no option but --join, --video and the encoding given
    bool shaped = false;  // an option that shapes --video was given
    for (size_t i = 0; i < args.size(); ++i) {
        // "--opt=value" is the same as "--opt value".
        std::string name = args[i];
        std::string attached;
        const bool hasAttached = name.rfind("--", 0) == 0 && name.find('=') != std::string::npos;
        if (hasAttached) {
            attached = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            return result;
        }
        if (name == "--version") {
            o.version = true;
            return result;
        }
        if (name == "--draw-only" && !hasAttached) {
            o.drawOnly = true;
            onlyVideoBesideJoin = false;
            continue;
        }
        const bool known = name == "--size" || name == "--fps" || name == "--show-rate" ||
                           name == "--start" ||
                           name == "--at" || name == "--png" || name == "--video" ||
                           name == "--sheet" || isPublishingOption(name) ||
                           name == "--end" || name == "--jobs" || name == "--supersample" ||
                           name == "--join";
        if (!known) {
            result.error = "unknown option '" + name + "' (see --help)";
            return result;
        }
        onlyVideoBesideJoin = onlyVideoBesideJoin && (name == "--join" || name == "--video" ||
                                                      (isPublishingOption(name) && name != "--manifest"));
        // --join takes every argument up to the next option (or the end) as a part.
        if (name == "--join") {
            if (hasAttached) o.joinParts.push_back(attached);
            while (i + 1 < args.size() && !(args[i + 1].size() > 1 && args[i + 1][0] == '-'))
                o.joinParts.push_back(args[++i]);
            if (o.joinParts.empty() || o.joinParts.back().empty()) {
                result.error = "--join needs the recorded parts, in order (see --help)";
                return result;
            }
            continue;
        }
        if (hasAttached ? attached.empty() : i + 1 >= args.size() || args[i + 1].empty()) {
            result.error = name + " needs a value (see --help)";
            return result;
        }
        // "--png --video out.mp4" forgot the directory: the next option is no value. (A
        // value that starts with '-' can be given as --png=VALUE.)
        if (!hasAttached && args[i + 1].size() > 1 && args[i + 1][0] == '-') {
            result.error = name + " needs a value, not the option " + args[i + 1] +
                           " (a value that starts with '-' goes as " + name + "=VALUE)";
            return result;
        }
        const std::string value = hasAttached ? attached : args[++i];
        uint64_t number = 0;
        bool good = true;
        if (name == "--size") {
            good = parseSizeValue(value, 1, MaxSide, o.width, o.height);
        } else if (name == "--fps") {
            good = parseWholeNumber(value, 1, 1000, number);
            o.fps = uint32_t(number);
        } else if (name == "--show-rate") {
            good = parseWholeNumber(value, 0, MaxShowRate, number);
            o.showRate = uint32_t(number);
        } else if (name == "--start") {
            good = parseWholeNumber(value, 0, ShowEndMs, number);
            o.startMs = uint32_t(number);
        } else if (name == "--at") {
            o.atMs.clear();
            good = readList(value, o.atMs);
            std::sort(o.atMs.begin(), o.atMs.end());
        } else if (name == "--end") {
            good = parseWholeNumber(value, 1, ShowLengthMs + 1, number);
            o.endMs = uint32_t(number);
        } else if (name == "--jobs") {
            good = parseWholeNumber(value, 1, MaxJobs, number);
            o.jobs = uint32_t(number);
        } else if (name == "--supersample") {
            good = parseWholeNumber(value, 1, MaxSupersample, number);
            o.supersample = int(number);
        } else if (name == "--png") {
            o.pngDir = value;
        } else if (name == "--video") {
            o.videoFile = value;
        } else if (isPublishingOption(name)) {
            if (!readPublishingOption(name, value, o, result.error)) return result;
            shaped = shaped || (name != "--manifest" && name != "--chapters");
        } else {
            o.sheetFile = value;
        }
        if (!good) {
            const char* expected = name == "--size"    ? "WxH, each 1 to 8192"
                                   : name == "--fps"   ? "a whole number from 1 to 1000"
                                   : name == "--show-rate" ? "a whole number from 0 to 1000"
                                   : name == "--start" ? "ms from 0 to 90596"
                                   : name == "--end" ? "ms from 1 to 90597"
                                   : name == "--jobs" ? "a whole number from 1 to 16"
                                   : name == "--supersample" ? "a whole number from 1 to 4"
                                                       : "ms values separated by commas";
            result.error = "bad value '" + value + "' for " + name + ": expected " + expected;
            return result;
        }
    }
    result.error = checkCombination(o, onlyVideoBesideJoin);
    if (result.error.empty()) result.error = checkPublishing(o, shaped);
    return result;
}

std::string usageText(const std::string& program, const std::string& installedDataDir) {
    return "Usage: " + program + R"( [options]
Records the show frame-exactly without a window or sound device: the same frame code as
the player, driven by a simulated clock, drawn into an offscreen framebuffer. Like the
player it reads data/ in the working directory, else the data beside the program (a build
directory), else the installed data ()" + installedDataDir + R"(/data); output paths are
taken from the working directory. The show runs show frame k at clock value
floor(k*1000/R) for its show rate R, as the player does, whatever --start says; output
frame j of a video or PNG sequence has the clock value start + floor(j*1000/fps) and
shows the newest show frame at or before it. Show frames that no output shows draw no pixels. Nothing past
90596 ms is recorded.

Options (each also as --option=value):
  --size WxH        frame size in pixels (default 1280x720; even for --video in 4:2:0)
  --fps N           output frames per second of show clock, 1 to 1000 (default 60)
  --show-rate R     show frames per second of show clock, 1 to 1000 (default 120); 0 runs
                    one show frame per output frame, as the player's --show-rate=0 does
  --start MS        clock value of the first frame in ms (default 0), with the show as a
                    whole run has it there: a recording from MS shows the frames of the
                    same part of a whole recording (this changed: it used to begin a fresh
                    run at MS, as after a slow start of the player)
  --at MS[,MS...]   with --png: keep only the first show frame at or past each value and
                    stop after the last one
  --png DIR         write frames as DIR/frame-NNNNN.png (NNNNN = clock value in ms)
  --video FILE      write a video (H.264 yuv420p with a closed GOP of half a second, CRF
                    18, AAC 192 kbit/s) of the recorded part with data/music.mp3 aligned to
                    the clock; needs the ffmpeg program and data/music.mp3. The name picks
                    the container: .mkv Matroska, .mov QuickTime, anything else MP4
  --sheet FILE      write a contact sheet PNG: one labelled frame from each of the ten scenes
                    and the particle text formed (needs the whole show: no --start)
  --end MS          record only the frames before clock value MS (default: to the show's
                    end); with --start any range is a run of its own, whose frames are the
                    same frames of a whole recording
  --supersample N   draw each frame at N times the width and height and average each
                    N x N block into one pixel, for smooth edges (1 to 4, default 1); exit
                    status 2 when that is larger than the GL driver draws
  --jobs N          with --video: record N ranges in N processes of this program at once
                    (1 to 16, default 1), cut on the key frames, and join them: the video
                    streams copied, the sound muxed once for the whole range; needs ffprobe
  --join PART...    join videos this program recorded of consecutive ranges, given in
                    order (each video's comment names its range), into --video FILE as
                    --jobs does; besides --video it takes only the options below for the
                    sound, container and --chapters (the parts' video is copied as it is)
  --draw-only       draw the frames a --video of the other options would get and finish
                    each, reading none back and writing nothing: the drawing's own cost

Publishing and archiving (with --video; the options after a preset change it):
  --preset NAME     upload: for video sites: H.264 High, 4:2:0, progressive, 2 B-frames,
                    closed GOP of fps/2, CABAC, variable bitrate at the recommended rate
                    (720p 5/7.5, 1080p 8/12, 1440p 16/24, 2160p 35/53 Mbit/s at up to 30
                    / above 30 fps; the smallest row that holds the frame, larger frames
                    the 2160p row), AAC-LC stereo 48 kHz 384 kbit/s, index at the front,
                    no edit lists (the sound starts after the AAC priming instead);
                    master: lossless archive: FFV1 in RGB as drawn (bgr0, every frame a
                    key frame) with FLAC, in Matroska (.mkv): decodes to the drawn frames
  --codec NAME      h264 (libx264), hevc (libx265), av1 (libsvtav1, at least 64x64) or
                    ffv1 (not in MP4)
  --encoder NAME    another ffmpeg video encoder (h264_nvenc, hevc_vaapi, ...; a VAAPI one
                    gets its frames uploaded to /dev/dri/renderD128), tried on one frame
                    first: refused with ffmpeg's reason when it does not open
  --crf N           constant quality, 0 to 51 (AV1 63); default 18 (hevc 20, av1 30)
  --bitrate RATE    variable bitrate instead, as 12M, 7.5M or 8000k
  --pix-fmt FMT     yuv420p (default), yuv422p, yuv444p, yuv420p10le, yuv422p10le,
                    yuv444p10le (av1: yuv420p, yuv420p10le; ffv1: bgr0, gbrp, yuv420p,
                    yuv422p, yuv444p)
  --chapters FILE   write the scenes the recording shows as the plain list video pages
                    read ("0:00 Opening cube", one a line); every MP4, QuickTime and
                    Matroska file gets them as chapters anyway
  --manifest FILE   write a JSON record: version, the options in force, show rate, fps,
                    for each output frame its index, clock value, show frame and the
                    SHA-256 of its pixels as drawn (RGB24, rows top to bottom), and the
                    soundtrack's first sample and sample count. Any video can be checked
                    against it with: ffmpeg -i FILE -map 0:v -pix_fmt rgb24 -f framehash
                    -hash sha256 -   (lossless only: --preset master)

  -h, --help        show this text
  --version         print the version

Motion in the warp scenes and the particle scene is counted in show frames, so the show
moves the same at any --fps: a 60 fps recording shows every second show frame of the
120 Hz show, as a 60 Hz display does, with the particle text completed. The contact sheet
in the README is made with:
  )" + program + R"( --size 1280x720 --sheet docs/contact-sheet.png

An output that exists already must be a regular file (replaced when the run is complete),
a symbolic link to one (the file it names is replaced; the link stays), or a FIFO such as
/dev/stdout on a pipe (written in place; --video then writes a fragmented MP4 stream).
Devices, sockets and other special files are refused and left alone, and so are two
outputs on one file and an output that is one of the show's data files. Every output is
checked before anything is created. Files are written under a temporary name of the run's
own (.demo-capture-, eight random hex digits, .part, beside them) and renamed only when
complete: every output is whole or absent. Ctrl-C, SIGTERM or SIGHUP stop the run at the next frame; a run that
does not stop within 5 s (a stuck GL driver), or a second one, ends at once.

Progress goes to standard error. Exit status: 0 done; 2 bad options or a combination that
cannot work (FFV1 or FLAC in MP4, an odd size in 4:2:0, an encoder that does not open), no
data found, an unwritable or clashing output, for --video no ffmpeg or no data/music.mp3,
for --jobs and --join no ffprobe, parts that do not join, a --supersample frame larger
than the GL driver draws (nothing was done); 1 a failure or a stop during the run, in any
part (no output file is left).
)";
}
