#include "data_files.h"

#include "font_atlas.h"
#include "image.h"
#include "pictures.h"
#include "soundtrack.h"
#include "whole_file.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {

DataFile picture(std::string name, std::function<Image()> paint, TgaLayout layout) {
    return {std::move(name), [paint, layout] { return encodeTga(paint(), layout); }};
}

std::vector<DataFile> buildList() {
    // Both TGA readers (plain and run-length) and both depths get real data.
    const TgaLayout plain24{2, 24, false}, plain32{2, 32, false};
    const TgaLayout rle24{10, 24, false}, rle32{10, 32, false};
    std::vector<DataFile> files;
    files.push_back({"music.mp3", [] { return encodeMp3(renderSoundtrack()); }});
    files.push_back(picture("ruxo1.tga", [] { return makePhoto(1); }, plain24));
    files.push_back(picture("ruxo2.tga", [] { return makePhoto(2); }, rle24));
    files.push_back(picture("ruxo3.tga", [] { return makePhoto(3); }, plain32));
    files.push_back(picture("ruxo4.tga", [] { return makePhoto(4); }, plain24));
    files.push_back(picture("ruxo5.tga", [] { return makePhoto(5); }, rle32));
    files.push_back(picture("start.tga", makeTitleCard, rle24));
    files.push_back(picture("greetings.tga", makeGreetingsCard, rle24));
    files.push_back(picture("lumenkarp.tga", makeLogoCard, rle32));
    files.push_back(picture("1.tga", [] { return makeAbstractPicture(1); }, rle32));
    files.push_back(picture("2.tga", [] { return makeAbstractPicture(2); }, rle24));
    files.push_back(picture("3.tga", [] { return makeAbstractPicture(3); }, plain32));
    files.push_back(picture("4.tga", [] { return makeAbstractPicture(4); }, rle24));
    files.push_back(picture("5.tga", [] { return makeAbstractPicture(5); }, plain24));
    files.push_back(picture("texture.tga", makeCubeTexture, plain24));
    files.push_back(picture("blueTex.tga", makeBlueTexture, rle24));
    files.push_back(picture("divozed.tga", makePlatePicture, rle32));
    files.push_back(picture("font.tga", makeFontImage, TgaLayout{2, 32, true}));
    files.push_back({"fonts.data", [] {
                         const std::string t = makeFontTable();
                         return std::vector<uint8_t>(t.begin(), t.end());
                     }});
    return files;
}

}  // namespace

const std::vector<DataFile>& dataFiles() {
    static const std::vector<DataFile> files = buildList();
    return files;
}

void generateFiles(const std::string& outDir, const std::vector<std::string>& names, int workers) {
    std::vector<const DataFile*> jobs;
    for (const DataFile& f : dataFiles())
        if (names.empty() || std::find(names.begin(), names.end(), f.name) != names.end())
            jobs.push_back(&f);
    for (const std::string& n : names) {
        bool known = false;
        for (const DataFile& f : dataFiles()) known = known || f.name == n;
        if (!known) throw std::invalid_argument("unknown data file " + n);
    }
    std::filesystem::create_directories(outDir);
    std::atomic<size_t> next{0};
    std::vector<std::string> errors(jobs.size());
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            try {
                writeWholeFile(outDir + "/" + jobs[i]->name, jobs[i]->make());
            } catch (const std::exception& e) {
                errors[i] = jobs[i]->name + ": " + e.what();
            }
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    for (const std::string& e : errors)
        if (!e.empty()) throw std::runtime_error(e);
}
