#pragma once
#include <optional>
#include <string>
#include <vector>

#include "texture/tga_reader.h"

// Start-up images decoded on a thread of their own while the window, the GL context and the
// music are being set up, so that the loads only make the records and upload. The loads
// still happen in their fixed order on the main thread, with the same results.

// Starts decoding `fileNames` (relative to the working directory, which must not change
// afterwards) in order. Only the first call has an effect.
void startImagePrefetch(std::vector<std::string> fileNames);

// The decoded file `fileName` if it is among the prefetched files and has not been taken
// yet (waits until it is decoded); none otherwise, and the caller reads the file itself.
std::optional<TgaFile> takePrefetchedImage(const std::string& fileName);

// Waits for the decoding to finish and forgets every prefetched image, so that the next
// startImagePrefetch has an effect again (a reset of the show's state).
void stopImagePrefetch();
