#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The sound layer: MP3 streams decoded on a thread of the layer and played through the
// system's audio output: a stream of our own on a PulseAudio-protocol sound server
// (PulseAudio, PipeWire) where one answers and SDL_AUDIODRIVER does not name another
// driver, SDL's audio otherwise. Started once and never stopped; process exit ends it.
// Playing music keeps its pace: what the output missed (a stall, a dropout) is dropped, not played late.
// An output that is lost while playing (its sound server went away) is opened again as
// soon as it can be; until then the music goes on unheard.
// Output format everywhere: interleaved signed 16-bit stereo at the mix rate (44100 Hz).
namespace sound {

// Error codes (what `lastError()` reports; the texts live with the caller).
enum ErrorCode : int {
    NoError = 0,
    NotInitialised = 2,     // play() before init()
    OutputInitFailed = 3,   // no output device, or the audio system would not start
    PlayFailed = 5,         // the stream is not ready
    FileNotFound = 9,       // missing or unopenable file
    UnknownFormat = 10,     // not MPEG audio, or no audio frames at all
    ReadFailed = 11,        // the file could not be read
    OutOfMemory = 12,
    InvalidParameter = 14,
    NoFreeChannel = 16,
};

// Version of the decoding library underneath: its API version and patch level.
struct LibraryVersion {
    unsigned api = 0;
    unsigned patch = 0;
    bool known = false;  // false when the run-time library does not tell
};
const char* libraryName();
// The version found at run time.
LibraryVersion libraryVersion();
// The version this build was compiled against and needs at least.
LibraryVersion requiredLibraryVersion();
// True when `found` is older than `required`. An unknown version is not older.
bool isOlderVersion(LibraryVersion found, LibraryVersion required);
// "API 47" style text of a version.
std::string versionText(LibraryVersion version);

// Output types for setOutput.
constexpr int OutputNone = 0;    // no audible output: a silent device that still runs in real time
constexpr int OutputSystem = 2;  // the system's audio output (SDL_AUDIODRIVER may choose it)

// Settings read by init(); call them before it.
void setOutput(int outputType);
void setBufferSize(int ms);     // decode-ahead depth of each stream, ms (1..10000)
void setDriver(int driver);     // 0: the default device; n: the n-th playback device
void setDeviceName(const std::string& name);  // a playback device by name; wins over setDriver
// Opens the output device at `mixRate` Hz stereo S16 for up to `maxChannels` streams
// (1..64); `flags` must be 0. False on failure (lastError() says why).
bool init(int mixRate, int maxChannels, unsigned flags);

// Stream open modes.
constexpr unsigned NonBlocking = 0x1000000;  // the open runs in the background

struct Stream;
// Opens an MP3 file for streaming. `offset` and `length` must be 0. With NonBlocking the
// call returns at once and the open runs on the stream's thread; otherwise it returns after
// the open has finished (check openState either way). `startFrame` (frames at the mix rate)
// skips the start of the decoded audio, sample-exact. Null only when out of memory.
Stream* openStream(const char* fileName, unsigned mode, int offset, int length,
                   uint64_t startFrame = 0);
// -2 while the open runs, 0 when ready, otherwise failed (the error code; also lastError()).
int openState(Stream* stream);
constexpr int FreeChannel = -1;
// Starts a ready stream at once on `channel` or, with FreeChannel, the first free one.
// Returns the channel, or -1 on failure.
int play(int channel, Stream* stream);
// Code of the last failure.
int lastError();

// Moves a playing stream to `frame` (at the mix rate) of its decoded audio, sample-exact, and
// ends a pause: the output plays silence until the new position is decoded (a device buffer
// of it), then the music from there. What the output already holds of the old position
// still plays out. From then on heardFrames counts from `frame` (0 there) and says nothing
// until the new position is heard.
void seekStream(Stream* stream, uint64_t frame);
// Silence from the next device buffer on; nothing is taken from the streams and heardFrames
// says nothing until seekStream (a resume is a seek to the place the picture holds).
void pauseOutput();

// Names of the playback devices, as setDeviceName takes them (a sound server's sinks by
// their descriptions; setDeviceName takes a sink's own name too). False, with a one-line
// reason, when no audio driver works or the driver names no output device. Needs no init().
bool listOutputDevices(std::vector<std::string>& names, std::string& error);

// Copies up to `frames` decoded frames of a ready stream into `out` (stereo, 2 * frames
// values) and returns how many it copied; fewer when the decoder has not caught up (none
// while a seek is carried out) or the stream has ended. The output device reads its streams this way; tests read with it too.
size_t readStream(Stream* stream, int16_t* out, size_t frames);
// True once the whole stream has been decoded and read.
bool streamFinished(Stream* stream);

// Where playback stands, for measurements.
struct PlaybackPosition {
    uint64_t framesHanded = 0;       // stream frames given to the device (or dropped) so far,
                                     // since the start or the last seek
    uint64_t framesDropped = 0;      // of those, dropped to keep the music on time
    int deviceLatencyFrames = 0;     // frames the device buffers after a hand-over
    uint32_t firstCallbackMs = 0;    // ms since process start of the first hand-over; 0: none yet
};
PlaybackPosition playbackPosition();

// Stream frames heard at `monoUs` (µs since process start), counted from where the stream
// started or was last moved to (seekStream). Through a sound server's stream, the frame
// the server's own timing says is heard (its buffer, the sink's and the device's latency
// included: Bluetooth, HDMI, a network sink); through SDL's audio, the frames handed before
// the last hand-over that carried music, minus the device buffer, plus the time since that
// hand-over. False while nothing has been heard yet (or, for up to a second, while the
// server's timing has not come in), while paused or a seek is pending, or when the music
// heard has run out (the music ended or the decoder fell behind).
bool heardFrames(uint64_t monoUs, double& frames);

// Decodes a whole MP3 file with the same decoder set-up as the streams (gapless, stereo,
// 16-bit at `mixRate`) into `samples` (interleaved). Returns NoError or the error code.
int decodeFile(const char* fileName, int mixRate, std::vector<int16_t>& samples);

}  // namespace sound
