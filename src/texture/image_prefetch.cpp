#include "texture/image_prefetch.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct Prefetch {
    std::vector<std::string> fileNames;
    std::vector<TgaFile> decoded;  // entry i valid once i < done
    std::vector<bool> taken;
    size_t done = 0;
    std::mutex mutex;
    std::condition_variable progress;
    std::thread worker;  // joined only by stopImagePrefetch
};

// Freed only by stopImagePrefetch; in a run it lives as long as the process, so its thread
// may still be finishing when the process exits.
Prefetch* prefetch = nullptr;

void decodeAll(Prefetch* state) {
    for (size_t i = 0; i < state->fileNames.size(); ++i) {
        TgaFile file = readTgaFile(state->fileNames[i]);
        const std::lock_guard lock(state->mutex);
        state->decoded[i] = std::move(file);
        state->done = i + 1;
        state->progress.notify_all();
    }
}

}  // namespace

void startImagePrefetch(std::vector<std::string> fileNames) {
    if (prefetch != nullptr) return;
    prefetch = new Prefetch;
    prefetch->decoded.resize(fileNames.size());
    prefetch->taken.assign(fileNames.size(), false);
    prefetch->fileNames = std::move(fileNames);
    try {
        prefetch->worker = std::thread(decodeAll, prefetch);
    } catch (const std::system_error&) {
        prefetch->fileNames.clear();  // no thread: every load reads its file itself
    }
}

std::optional<TgaFile> takePrefetchedImage(const std::string& fileName) {
    if (prefetch == nullptr) return std::nullopt;
    std::unique_lock lock(prefetch->mutex);
    for (size_t i = 0; i < prefetch->fileNames.size(); ++i) {
        if (prefetch->taken[i] || prefetch->fileNames[i] != fileName) continue;
        prefetch->progress.wait(lock, [i] { return prefetch->done > i; });
        prefetch->taken[i] = true;
        return std::move(prefetch->decoded[i]);
    }
    return std::nullopt;
}

void stopImagePrefetch() {
    if (prefetch == nullptr) return;
    if (prefetch->worker.joinable()) prefetch->worker.join();
    delete prefetch;
    prefetch = nullptr;
}
