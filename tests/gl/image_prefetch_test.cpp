#include "../support/tga_bytes.h"
#include "gl_fixture.h"

#include <cstring>

#include "texture/image_prefetch.h"
#include "texture/tga_reader.h"

using testdata::Bytes;
using testdata::operator+;

// Loads of prefetched files give exactly the records that reading the files at load time
// gives, in every outcome: a run-length image, a cut-short one, a refused header, a file
// too short for a header and a missing file. The second load of a name reads the file.
TEST_F(GlTest, PrefetchedLoadsEqualDirectLoads) {
    testdata::ScratchDir dir;
    Bytes runLength = testdata::tgaHeader(10, 3, 2, 24) + Bytes{0x81, 1, 2, 3, 0x03, 4, 5, 6, 7,
                                                                 8, 9, 10, 11, 12, 13, 14, 15};
    testdata::writeFile("data/rle.tga", runLength);
    Bytes cut = testdata::solidTga(4, 4, 9, 8, 7);
    cut.resize(cut.size() - 10);
    testdata::writeFile("data/cut.tga", cut);
    testdata::writeFile("data/grey.tga", testdata::tgaHeader(3, 2, 2, 8) + Bytes{1, 2, 3, 4});
    testdata::writeFile("data/tiny.tga", Bytes{0, 0, 2});
    const std::vector<std::string> names = {"data/rle.tga", "data/cut.tga", "data/grey.tga",
                                            "data/tiny.tga", "data/missing.tga"};
    startImagePrefetch(names);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto prefetched = loadTga(name);
        EXPECT_FALSE(takePrefetchedImage(name).has_value());  // taken once only
        const auto direct = loadTga(name);
        ASSERT_EQ(prefetched == nullptr, direct == nullptr);
        if (direct == nullptr) continue;
        EXPECT_EQ(prefetched->fileName, name);
        EXPECT_EQ(prefetched->width, direct->width);
        EXPECT_EQ(prefetched->height, direct->height);
        EXPECT_EQ(prefetched->bitsPerPixel, direct->bitsPerPixel);
        EXPECT_EQ(prefetched->format, direct->format);
        ASSERT_EQ(prefetched->pixels == nullptr, direct->pixels == nullptr);
        const size_t bytes = size_t(direct->width) * direct->height * direct->bitsPerPixel / 8;
        if (direct->pixels) {
            EXPECT_EQ(std::memcmp(prefetched->pixels.get(), direct->pixels.get(), bytes), 0);
        }
    }
}
