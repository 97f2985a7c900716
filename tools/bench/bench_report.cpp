#include "bench_report.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "app/timeline.h"

namespace bench {

namespace {

// Fixed-point number for JSON, or null.
std::string number(double value, int decimals) {
    if (!std::isfinite(value)) return "null";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Fixed-point number for the table, or "-".
std::string cell(double value, int decimals) {
    return std::isfinite(value) ? number(value, decimals) : "-";
}

// JSON string of plain ASCII text (the few names this report prints).
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out + "\"";
}

std::string statsJson(const FrameStats& s) {
    return "\"frames\": " + std::to_string(s.frames) + ", \"fps\": " + number(s.fps, 1) +
           ", \"p50_ms\": " + number(s.p50Ms, 3) + ", \"p95_ms\": " + number(s.p95Ms, 3) +
           ", \"cpu_ms\": " + number(s.cpuMs, 3);
}

// fps / reference fps in per cent, NaN without a reference.
double share(double fps, double referenceFps) {
    return referenceFps > 0 ? fps / referenceFps * 100.0 : NAN;
}

// printf into a string.
std::string text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string text(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// The same as one line of output.
template <class... Args>
std::string line(const char* format, Args... args) {
    return text(format, args...) + "\n";
}

}  // namespace

double referenceRatio(const SceneResult& scene) {
    if (scene.frames.frames == 0 || scene.reference.frames == 0 || !(scene.frames.fps > 0))
        return NAN;
    return scene.reference.fps / scene.frames.fps;
}

StartupSplit startupSplit(const BenchResult& r) {
    StartupSplit split;
    const FrameStats& opening = r.scenes[0].frames;
    if (opening.frames == 0) return split;
    split.drawingMs = std::min(r.firstFrameMs, opening.p50Ms);
    split.compilingMs = r.firstFrameMs - split.drawingMs;
    split.ownMs = r.prepareMs + split.drawingMs;
    return split;
}

double referenceCpuRatio(const SceneResult& scene) {
    if (scene.frames.frames == 0 || scene.reference.frames == 0 || !(scene.reference.cpuMs > 0))
        return NAN;
    return scene.frames.cpuMs / scene.reference.cpuMs;
}

std::string formatJson(const BenchResult& r) {
    const JuliaTimes& j = r.julia;
    const StartupSplit split = startupSplit(r);
    std::string out = "{\"size\": \"" + std::to_string(r.width) + "x" + std::to_string(r.height) +
                      "\", \"frames_per_scene\": " + std::to_string(r.framesPerScene) +
                      ", \"show_rate\": " + std::to_string(r.showRate) +
                      ", \"refresh_hz\": " + std::to_string(r.refreshHz) +
                      ", \"needed_fps\": " + number(neededFps(r), 1);
    out += ", \"references\": {\"empty\": " + number(r.empty.fps, 1) +
           ", \"quad\": " + number(r.quad.fps, 1) + ", \"empty_detail\": {" +
           statsJson(r.empty) + "}, \"quad_detail\": {" + statsJson(r.quad) + "}}";
    out += ", \"scenes\": [";
    for (size_t i = 0; i < r.scenes.size(); ++i) {
        if (i > 0) out += ", ";
        const SceneResult& scene = r.scenes[i];
        out += "{\"scene\": " + std::to_string(i) + ", " + statsJson(scene.frames) +
               ", \"keeps_up\": " + (keepsUp(scene, neededFps(r)) ? "true" : "false") +
               ", \"unseen_frame_ms\": " + number(scene.unseenFrameMs, 3) +
               ", \"quad_percent\": " + number(share(scene.frames.fps, r.quad.fps), 1) +
               ", \"reference\": {" + statsJson(scene.reference) +
               ", \"screens\": " + number(scene.screensPerFrame, 3) +
               ", \"primitives\": " + number(scene.primitivesPerFrame, 1) +
               "}, \"reference_ratio\": " + number(referenceRatio(scene), 3) +
               ", \"reference_cpu_ratio\": " + number(referenceCpuRatio(scene), 3) + "}";
    }
    out += "], \"startup_ms\": " + number(r.startupMs, 1);
    out += ", \"startup_detail\": {\"context_ms\": " + number(r.contextMs, 1) +
           ", \"prepare_ms\": " + number(r.prepareMs, 1) +
           ", \"first_frame_ms\": " + number(r.firstFrameMs, 1) +
           ", \"own_ms\": " + number(split.ownMs, 1) +
           ", \"first_frame_drawing_ms\": " + number(split.drawingMs, 1) +
           ", \"first_frame_compiling_ms\": " + number(split.compilingMs, 1) + "}";
    out += ", \"renderer\": " + quoted(r.renderer);
    out += ", \"data_complete\": " + std::string(r.dataComplete ? "true" : "false");
    out += ", \"with_music\": " + std::string(r.withMusic ? "true" : "false");
    out += ", \"julia\": {\"scalar_ms\": " + number(j.scalarMs, 4) +
           ", \"fast_ms\": " + number(j.fastMs, 4) + ", \"fast_lanes\": " + quoted(j.fastLanes) +
           ", \"portable_ms\": " + number(j.portableMs, 4) + ", \"sse2_ms\": " +
           number(j.sse2Ms, 4) + ", \"avx2_ms\": " + number(j.avx2Ms, 4) +
           ", \"images\": " + std::to_string(j.images) + "}";
    out += ", \"seeks\": {\"count\": " + std::to_string(r.seeks.seeks) +
           ", \"p50_ms\": " + number(r.seeks.p50Ms, 1) + ", \"worst_ms\": " + number(r.seeks.worstMs, 1) +
           ", \"worst_to_ms\": " + std::to_string(r.seeks.worstToMs) + "}";
    out += ", \"peak_rss_mb\": " + number(r.peakRssMb, 1) + "}";
    return out;
}

std::string formatTable(const BenchResult& r) {
    std::string out = line("demo-bench %dx%d, %u show frames a second, %u Hz display (%.0f pictures a "
                           "second needed), %d presents per scene, renderer: %s",
                           r.width, r.height, unsigned(r.showRate), unsigned(r.refreshHz),
                           neededFps(r), r.framesPerScene, r.renderer.c_str());
    out += line("start-up to first frame: %s ms (context%s %s, loading %s, first frame %s)%s",
                cell(r.startupMs, 1).c_str(), r.withMusic ? " and music" : "",
                cell(r.contextMs, 1).c_str(), cell(r.prepareMs, 1).c_str(),
                cell(r.firstFrameMs, 1).c_str(),
                r.dataComplete ? "" : "\n  WARNING: start-up textures missing (no data/?)");
    const StartupSplit split = startupSplit(r);
    out += line("  ours %s ms (loading %s, drawing the first frame %s); the driver's: context %s, "
                "compiling shaders in the first frame %s",
                cell(split.ownMs, 1).c_str(), cell(r.prepareMs, 1).c_str(),
                cell(split.drawingMs, 1).c_str(), cell(r.contextMs, 1).c_str(),
                cell(split.compilingMs, 1).c_str());
    out += "\n";
    out += line("%-22s %8s %4s %8s %8s %8s %8s %8s %6s %6s %7s %6s", "present", "fps", "ok",
                "p50 ms", "p95 ms", "cpu ms", "unseen", "ref fps", "x ref", "x cpu", "screens",
                "prims");
    const auto row = [&](const std::string& name, const FrameStats& s, const SceneResult* scene) {
        const bool measured = scene != nullptr && scene->reference.frames > 0;
        return line("%-22s %8s %4s %8s %8s %8s %8s %8s %6s %6s %7s %6s", name.c_str(),
                    cell(s.fps, 1).c_str(),
                    scene != nullptr ? (keepsUp(*scene, neededFps(r)) ? "yes" : "NO") : "",
                    cell(s.p50Ms, 3).c_str(), cell(s.p95Ms, 3).c_str(), cell(s.cpuMs, 3).c_str(),
                    scene != nullptr ? cell(scene->unseenFrameMs, 3).c_str() : "",
                    measured ? cell(scene->reference.fps, 1).c_str() : "",
                    measured ? cell(referenceRatio(*scene), 2).c_str() : "",
                    measured ? cell(referenceCpuRatio(*scene), 2).c_str() : "",
                    measured ? cell(scene->screensPerFrame, 2).c_str() : "",
                    measured ? cell(scene->primitivesPerFrame, 0).c_str() : "");
    };
    out += row("reference: empty", r.empty, nullptr);
    out += row("reference: quad", r.quad, nullptr);
    for (size_t i = 0; i < r.scenes.size(); ++i) {
        if (r.scenes[i].frames.frames == 0) continue;
        out += row("scene " + std::to_string(i) + " " + SceneNames[i], r.scenes[i].frames, &r.scenes[i]);
    }
    out += "\n";
    const JuliaTimes& j = r.julia;
    out += line("julia image, ms per frame over %d constants of the sweep (best of 3 passes):", j.images);
    out += line("  scalar renderJulia %s; fast path on portable %s, sse2 %s, avx2 %s",
                cell(j.scalarMs, 4).c_str(), cell(j.portableMs, 4).c_str(),
                cell(j.sse2Ms, 4).c_str(), cell(j.avx2Ms, 4).c_str());
    out += line("  fast path (%s): %s ms, %sx the scalar speed", j.fastLanes.c_str(),
                cell(j.fastMs, 4).c_str(), cell(j.scalarMs / j.fastMs, 1).c_str());
    out += line("seek to a scene's start, forward and back (%d seeks): median %s ms, worst %s ms (to %u ms)",
                r.seeks.seeks, cell(r.seeks.p50Ms, 1).c_str(), cell(r.seeks.worstMs, 1).c_str(),
                unsigned(r.seeks.worstToMs));
    out += line("peak memory: %s MiB", cell(r.peakRssMb, 1).c_str());
    return out;
}

}  // namespace bench

namespace bench {

double neededFps(const BenchResult& result) {
    const uint32_t hz = result.refreshHz;
    return double(result.showRate == UncappedShowRate ? hz : std::min(hz, result.showRate));
}

bool keepsUp(const SceneResult& scene, double needed) {
    return scene.frames.frames > 0 && scene.frames.fps >= needed;
}

std::string largestSizeKeepingUp(const std::vector<SweepRow>& rows) {
    const SweepRow* best = nullptr;
    for (const SweepRow& row : rows) {
        bool all = true;
        for (const SceneResult& scene : row.scenes) all = all && keepsUp(scene, row.neededFps);
        if (all && (best == nullptr || int64_t(row.width) * row.height > int64_t(best->width) * best->height))
            best = &row;
    }
    return best == nullptr ? "" : std::to_string(best->width) + "x" + std::to_string(best->height);
}

std::string formatSweepTable(const std::vector<SweepRow>& rows) {
    std::string out = text("%-22s", "presents/s (x ref)");
    for (const SweepRow& row : rows) out += text(" %16s", (std::to_string(row.width) + "x" + std::to_string(row.height)).c_str());
    out += "\n";
    for (size_t i = 0; i < SceneNames.size(); ++i) {
        out += text("%-22s", ("scene " + std::to_string(i) + " " + SceneNames[i]).c_str());
        for (const SweepRow& row : rows) {
            const SceneResult& scene = row.scenes[i];
            out += text(" %9s (%4s)", cell(scene.frames.fps, 1).c_str(), cell(referenceRatio(scene), 2).c_str());
        }
        out += "\n";
    }
    const std::string largest = largestSizeKeepingUp(rows);
    out += line("largest size at which every scene keeps up (%.0f pictures a second): %s",
                rows.empty() ? 0.0 : rows.front().neededFps, largest.empty() ? "none" : largest.c_str());
    return out;
}

std::string formatSweepJson(const std::vector<SweepRow>& rows) {
    const std::string largest = largestSizeKeepingUp(rows);
    return "\"needed_fps\": " + number(rows.empty() ? NAN : rows.front().neededFps, 1) +
           ", \"largest_size\": " + (largest.empty() ? "null" : quoted(largest));
}

}  // namespace bench
