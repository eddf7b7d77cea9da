// Real conformance files nobody here made: every PngSuite picture decoded as an independent
// decoder (stb_image) decodes it, the corrupt ones refused; every good bmpsuite picture decoded as
// SDL decodes it, the questionable ones decoded or refused, the bad ones refused.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "graphics/image_decode.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;
using namespace yv;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> filesIn(const std::string& sub, const std::string& ext) {
    std::vector<fs::path> out;
    const fs::path dir = fs::path(YV_CORPUS_DIR) / sub;
    if (!fs::is_directory(dir)) return out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ext) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(Corpus, EveryPngSuiteFileDecodesAsAnIndependentDecoderDoesOrIsRefused) {
    const auto files = filesIn("pngsuite", ".png");
    if (files.empty()) GTEST_SKIP() << "no PngSuite under " << YV_CORPUS_DIR;
    int decoded = 0, refused = 0;
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::string data = slurp(f);
        DecodedImage img;
        CPngView view;
        const TPngResult r = view.decode(data, img);
        if (f.filename().string()[0] == 'x') {
            EXPECT_NE(r, kPngDecoded);
            ++refused;
            continue;
        }
        ASSERT_EQ(r, kPngDecoded);
        ++decoded;
        int w = 0, h = 0, n = 0;
        stbi_uc* ref = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(data.data()),
                                             static_cast<int>(data.size()), &w, &h, &n, 4);
        ASSERT_NE(ref, nullptr) << stbi_failure_reason();
        ASSERT_EQ(w, img.width);
        ASSERT_EQ(h, img.height);
        int colourDiffs = 0, alphaDiffs = 0;
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
            const uint8_t* p = ref + i * 4;
            if (img.bgr[i * 3] != p[2] || img.bgr[i * 3 + 1] != p[1] || img.bgr[i * 3 + 2] != p[0]) ++colourDiffs;
            const uint8_t a = img.alpha.empty() ? 255 : img.alpha[i];
            if (a != p[3]) ++alphaDiffs;
        }
        stbi_image_free(ref);
        EXPECT_EQ(colourDiffs, 0);
        EXPECT_EQ(alphaDiffs, 0);
        // An opacity plane exactly when the file has transparency or an alpha channel.
        const std::string name = f.filename().string();
        const bool alphaType = name.size() > 5 && (name[4] == '4' || name[4] == '6');
        if (alphaType) {
            EXPECT_FALSE(img.alpha.empty());
        } else if (!view.haveTrns()) {
            EXPECT_TRUE(img.alpha.empty());
        }
    }
    EXPECT_GT(decoded, 150);
    EXPECT_GT(refused, 10);
}

TEST(Corpus, DamagedPngDataIsRefusedWhereverItStops) {
    const auto files = filesIn("pngsuite", ".png");
    if (files.empty()) GTEST_SKIP() << "no PngSuite under " << YV_CORPUS_DIR;
    // Cut a good file at many lengths and flip bytes inside its data: never a crash or a leak.
    const std::string good = slurp(fs::path(YV_CORPUS_DIR) / "pngsuite" / "basi2c08.png");
    for (size_t cut = 0; cut < good.size(); cut += 37) {
        DecodedImage img;
        CPngView view;
        EXPECT_NE(view.decode(std::string_view(good).substr(0, cut), img), kPngDecoded);
    }
    for (size_t at = 60; at < good.size(); at += 53) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        DecodedImage img;
        CPngView view;
        view.decode(bad, img);  // either outcome, cleanly
    }
}

namespace {

// SDL's reading of a BMP as top-down rows of blue, green, red.
bool sdlDecode(const std::string& data, int& w, int& h, std::vector<uint8_t>& bgr) {
    SDL_RWops* rw = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    if (!s) return false;
    SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_BGR24, 0);
    SDL_FreeSurface(s);
    if (!c) return false;
    w = c->w, h = c->h;
    bgr.resize(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        std::memcpy(&bgr[static_cast<size_t>(y) * w * 3], static_cast<uint8_t*>(c->pixels) + y * c->pitch,
                    static_cast<size_t>(w) * 3);
    SDL_FreeSurface(c);
    return true;
}

}  // namespace

TEST(Corpus, GoodBmpSuiteFilesDecodeAsSdlDecodesThem) {
    const auto files = filesIn("bmpsuite/g", ".bmp");
    if (files.empty()) GTEST_SKIP() << "no bmpsuite under " << YV_CORPUS_DIR;
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::string data = slurp(f);
        DecodedImage img;
        std::string why;
        ASSERT_TRUE(decodeBmp(data, img, &why)) << why;
        int w = 0, h = 0;
        std::vector<uint8_t> ref;
        if (!sdlDecode(data, w, h, ref)) {
            // SDL knows no surface format for unusual bit fields: stb_image reads those.
            int n = 0;
            stbi_uc* p = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(data.data()),
                                               static_cast<int>(data.size()), &w, &h, &n, 3);
            ASSERT_NE(p, nullptr) << stbi_failure_reason();
            ref.assign(p, p + static_cast<size_t>(w) * h * 3);
            for (size_t i = 0; i < ref.size(); i += 3) std::swap(ref[i], ref[i + 2]);
            stbi_image_free(p);
        }
        ASSERT_EQ(w, img.width);
        ASSERT_EQ(h, img.height);
        EXPECT_TRUE(ref == img.bgr);
        const std::string name = f.filename().string();
        EXPECT_EQ(img.palette, name.rfind("pal", 0) == 0);
    }
}

TEST(Corpus, QuestionableBmpsDecodeOrAreRefusedAndBadOnesAreRefused) {
    const auto q = filesIn("bmpsuite/q", ".bmp");
    const auto b = filesIn("bmpsuite/b", ".bmp");
    if (q.empty() || b.empty()) GTEST_SKIP() << "no bmpsuite under " << YV_CORPUS_DIR;
    int accepted = 0;
    for (const fs::path& f : q) {
        DecodedImage img;
        if (decodeBmp(slurp(f), img)) {
            ++accepted;
            EXPECT_EQ(img.bgr.size(), static_cast<size_t>(img.width) * img.height * 3) << f.filename();
        }
    }
    EXPECT_GT(accepted, 5);
    for (const fs::path& f : b) {
        DecodedImage img;
        std::string why;
        EXPECT_FALSE(decodeBmp(slurp(f), img, &why)) << f.filename();
    }
    for (const fs::path& f : filesIn("bmpsuite/x", ".bmp")) {
        DecodedImage img;
        decodeBmp(slurp(f), img);
    }
}
