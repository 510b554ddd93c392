// SPDX-License-Identifier: MIT
// The library drawing through a real GL implementation (Mesa's offscreen
// renderer): what GL makes of the stream is whole, faces outward, is lit by
// unit normals and carries its texture.  And softglu-render, run as a
// program, writes its PNG without losing data.
#include "provenance.h"
#include "render.h"
#include "run_tool.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using render::Kind;
using render::Style;

const int kSize = 256;

struct Loaded {
    std::string objects;              // every loaded object, one a line
    std::vector<std::string> needed;  // libsoftglu's DT_NEEDED
};

// What the dynamic linker has loaded, and the NEEDED entries of the loaded
// libsoftglu read from its own dynamic section.
Loaded loaded() {
    Loaded out;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *data) {
            Loaded &l = *static_cast<Loaded *>(data);
            const std::string name = info->dlpi_name;
            l.objects += name + "\n";
            if (name.find("libsoftglu.so") == std::string::npos)
                return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type != PT_DYNAMIC)
                    continue;
                const auto *dyn = reinterpret_cast<const ElfW(Dyn) *>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                const char *strtab = nullptr;
                for (const ElfW(Dyn) *d = dyn; d->d_tag != DT_NULL; ++d)
                    if (d->d_tag == DT_STRTAB)  // relocated by the loader on most targets, not all
                        strtab = reinterpret_cast<const char *>(d->d_un.d_ptr < info->dlpi_addr
                                                                    ? info->dlpi_addr + d->d_un.d_ptr
                                                                    : d->d_un.d_ptr);
                for (const ElfW(Dyn) *d = dyn; strtab && d->d_tag != DT_NULL; ++d)
                    if (d->d_tag == DT_NEEDED)
                        l.needed.push_back(strtab + d->d_un.d_val);
            }
            return 0;
        },
        &out);
    return out;
}

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        canvas_ = render::Canvas::create(kSize, kSize, why);
        if (!canvas_)
            GTEST_SKIP() << "skipped: no offscreen GL renderer here (" << why << ")";
    }

    // Draws the shape alone on the whole canvas and returns the image.
    std::vector<unsigned char> image(const render::Shape &s, const Style &style) {
        render::drawTile(*canvas_, s, style, 0, 0, kSize, kSize);
        const unsigned char *p = canvas_->rgba();
        return {p, p + kSize * kSize * 4};
    }

    // The pixels the shape covers: those it drew, with alpha 255 where the
    // background has 0.
    std::vector<bool> coverage(const render::Shape &s, const Style &style) {
        const std::vector<unsigned char> img = image(s, style);
        std::vector<bool> covered(kSize * kSize);
        for (int i = 0; i < kSize * kSize; ++i)
            covered[i] = img[i * 4 + 3] == 255;
        return covered;
    }

    std::unique_ptr<render::Canvas> canvas_;
};

const unsigned char *pixel(const std::vector<unsigned char> &img, int x, int y) { return &img[(y * kSize + x) * 4]; }

int brightness(const unsigned char *p) { return p[0] + p[1] + p[2]; }

Style plain() {
    Style s;
    s.texture = false;
    return s;
}

// The sphere's silhouette radius in pixels: it is centred on the view axis
// at distance d, so it subtends asin(r / d) and projects to a circle.
double projectedRadius(const render::Shape &s) {
    const render::View v = render::frame(s, 1.0);
    const double kPi = 3.141592653589793;
    const double angle = std::asin(v.radius / v.distance);
    return std::tan(angle) / std::tan(render::kFovy * kPi / 360.0) * kSize / 2;
}

}  // namespace

TEST_F(Render, LibraryBindsToTheGlAlreadyInTheProcess) {
    // Our library and OSMesa are loaded; the library names no GL library,
    // so its gl* calls can only have bound to OSMesa's.
    EXPECT_EQ(definingObject(&gluSphere), realPath(SOFTGLU_BUILT_LIBRARY));
    EXPECT_NE(definingObject(dlsym(RTLD_DEFAULT, "glBegin")).find("libOSMesa"), std::string::npos);
    const Loaded l = loaded();
    EXPECT_EQ(l.objects.find("libGLU"), std::string::npos) << l.objects;
    EXPECT_EQ(l.objects.find("libGL."), std::string::npos) << l.objects;
    ASSERT_FALSE(l.needed.empty()) << l.objects;
    for (const std::string &n : l.needed)
        EXPECT_TRUE(n == "libc.so.6" || n == "libm.so.6") << n;

    // And GL draws what the library sends.
    const std::vector<bool> covered = coverage(render::defaultShape(Kind::Sphere), Style{});
    EXPECT_GT(std::count(covered.begin(), covered.end(), true), kSize * kSize / 10);
}

TEST_F(Render, SphereCoversTheAreaOfItsProjectedDisk) {
    const render::Shape sphere = render::defaultShape(Kind::Sphere);
    const std::vector<bool> covered = coverage(sphere, Style{});
    const double area = 3.141592653589793 * projectedRadius(sphere) * projectedRadius(sphere);
    const double pixels = static_cast<double>(std::count(covered.begin(), covered.end(), true));
    EXPECT_NEAR(pixels / area, 1.0, 0.03) << pixels << " pixels, disk " << area;
}

TEST_F(Render, CullingBackFacesHidesNothingOfSphereOrTorus) {
    // Their outside is the front everywhere, so the faces GL culls are all
    // hidden behind front faces anyway.
    for (Kind k : {Kind::Sphere, Kind::Torus}) {
        SCOPED_TRACE(render::name(k));
        Style none;
        none.cull = 0;
        const std::vector<bool> culled = coverage(render::defaultShape(k), Style{});
        const std::vector<bool> all = coverage(render::defaultShape(k), none);
        EXPECT_GT(std::count(all.begin(), all.end(), true), kSize * kSize / 10);
        int differ = 0;
        for (int i = 0; i < kSize * kSize; ++i)
            differ += culled[i] != all[i];
        EXPECT_EQ(differ, 0);
    }
}

TEST_F(Render, HeadlightLightsTheSphereOutsideAndNotItsInside) {
    const render::Shape sphere = render::defaultShape(Kind::Sphere);
    const int centre = kSize / 2;
    const int rim = centre + static_cast<int>(0.9 * projectedRadius(sphere));

    // Outside: the normal at the centre faces the light, at the rim it is
    // nearly side-on.  Unit normals give the full diffuse term at the centre
    // (plus at most the highlight); longer or shorter ones would give more
    // or less.
    const std::vector<unsigned char> front = image(sphere, plain());
    const float *c = render::colour(Kind::Sphere);
    const unsigned char *mid = pixel(front, centre, centre);
    EXPECT_GT(brightness(mid), brightness(pixel(front, rim, centre)) + 100);
    for (int i = 0; i < 3; ++i) {
        const float lit = 255.0f * c[i] * (1.0f + render::kAmbient);
        EXPECT_GE(int{mid[i]}, std::min(255.0f, lit) - 3) << i;
        EXPECT_LE(int{mid[i]}, std::min(255.0f, lit + 255.0f * render::kSpecular) + 3) << i;
    }

    // With the front culled the centre shows the inside of the far side,
    // whose normals face away from the light: ambient light only.
    Style inside = plain();
    inside.cull = GL_FRONT;
    const std::vector<unsigned char> back = image(sphere, inside);
    const unsigned char *far = pixel(back, centre, centre);
    ASSERT_EQ(far[3], 255);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(int{far[i]}, 255.0f * c[i] * render::kAmbient, 2.0) << i;
}

TEST_F(Render, CheckerTextureShowsOnTexturedShapes) {
    // Unlit, every covered pixel is the colour times a light or a dark
    // texel; without the texture they would all be one colour.
    for (Kind k : {Kind::Sphere, Kind::Cylinder, Kind::Disk}) {
        SCOPED_TRACE(render::name(k));
        Style unlit;
        unlit.lighting = false;
        const float green = render::colour(k)[1];
        for (bool texture : {true, false}) {
            unlit.texture = texture;
            const std::vector<unsigned char> img = image(render::defaultShape(k), unlit);
            int covered = 0, light = 0, dark = 0;
            for (int i = 0; i < kSize * kSize; ++i) {
                if (img[i * 4 + 3] != 255)
                    continue;
                ++covered;
                light += std::abs(img[i * 4 + 1] - 255.0f * green) <= 2;
                dark += std::abs(img[i * 4 + 1] - 110.0f * green) <= 2;
            }
            ASSERT_GT(covered, kSize * kSize / 10);
            if (texture) {
                EXPECT_GT(light, covered / 5);
                EXPECT_GT(dark, covered / 5);
                EXPECT_GT(light + dark, covered * 95 / 100);
            } else {
                EXPECT_EQ(light, covered);
            }
        }
    }
}

// softglu-render run as a program: the PNG it cannot write whole loses
// nothing that was there, devices, FIFOs and links are never removed, and
// bad arguments and too little memory get a one-line message.
namespace {

const std::string kRender = SOFTGLU_RENDER_COMMAND;
const std::string kPngSignature = "\x89PNG\r\n\x1a\n";

}  // namespace

TEST(RenderProgram, OutputThatCannotBeWrittenIsReportedAndLosesNothing) {
    const auto isPng = [](const std::string &name) {
        return [name](const TempDir &d) { EXPECT_EQ(startOf(d / name, 8), kPngSignature); };
    };
    const std::vector<WriteCase> cases = {
        {"to full", "exec TOOL --size 64 -o full", 1, "softglu-render: cannot write full: No space left on device\n",
         {}, nullptr},
        {"over the size limit", "echo old > keep.png && ulimit -f 1 && exec TOOL --size 256 -o keep.png", 1,
         "softglu-render: cannot write keep.png: File too large\n", {"keep.png"},
         [](const TempDir &d) { EXPECT_EQ(slurp(d / "keep.png"), "old\n"); }},
        {"through a link over the size limit",
         "echo old > keep.png && ln -s keep.png link.png && ulimit -f 1 && exec TOOL --size 256 -o link.png", 1,
         "softglu-render: cannot write link.png: File too large\n", {"keep.png", "link.png"},
         [](const TempDir &d) {
             EXPECT_EQ(slurp(d / "keep.png"), "old\n");
             EXPECT_EQ(kindOf(d / "link.png"), "l");
         }},
        {"in a missing directory", "exec TOOL --size 64 -o no/such.png", 1,
         "softglu-render: cannot write no/such.png: No such file or directory\n", {}, nullptr},
        {"help to full", "exec TOOL --help > full", 1,
         "softglu-render: cannot write standard output: No space left on device\n", {}, nullptr},
        {"/dev/stdout on full", "exec TOOL --size 64 -o /dev/stdout > full", 1,
         "softglu-render: cannot write /dev/stdout: No space left on device\n", {}, nullptr},
        {"new", "exec TOOL --size 64 -o new.png", 0, "wrote new.png (64x64)\n", {"new.png"},
         [&](const TempDir &d) {
             isPng("new.png")(d);
             EXPECT_EQ(modeOf(d / "new.png"), 0644u);
         }},
        {"replaced", "echo old > keep.png && chmod 600 keep.png && exec TOOL --size 64 -o keep.png", 0,
         "wrote keep.png (64x64)\n", {"keep.png"}, [&](const TempDir &d) {
             isPng("keep.png")(d);
             EXPECT_EQ(modeOf(d / "keep.png"), 0600u);
         }},
        {"through a link", "echo old > keep.png && ln -s keep.png link.png && exec TOOL --size 64 -o link.png", 0,
         "wrote link.png (64x64)\n", {"keep.png", "link.png"}, [&](const TempDir &d) {
             isPng("keep.png")(d);
             EXPECT_EQ(kindOf(d / "link.png"), "l");
         }},
        {"to a FIFO", "mkfifo fifo && { cat fifo > got & } && TOOL --size 64 -o fifo && wait", 0,
         "wrote fifo (64x64)\n", {"fifo", "got"}, [&](const TempDir &d) {
             isPng("got")(d);
             EXPECT_EQ(kindOf(d / "fifo"), "p");
         }},
        {"to /dev/stdout", "exec TOOL --size 64 -o /dev/stdout > out.png", 0, "wrote /dev/stdout (64x64)\n",
         {"out.png"}, isPng("out.png")},
        {"to /dev/stdout, a pipe", "TOOL --size 64 -o /dev/stdout | cat > out.png", 0,
         "wrote /dev/stdout (64x64)\n", {"out.png"}, isPng("out.png")},
    };
    runWriteCases(cases, kRender);
}

// One image, its options written several ways: the same PNG each time.
TEST(RenderProgram, OptionsReadTheSameWhicheverWayTheyAreWritten) {
    std::string first;
    for (const char *args : {"--size 64x64 -o x.png --shape sphere --slices 8",
                             "--size=64x64 --output=x.png --shape=sphere --slices=8",
                             "-ox.png --size 64 --shape sphere --slices 8 --",
                             "--shape sphere --slices=8 --size=64 -o x.png"}) {
        SCOPED_TRACE(args);
        TempDir dir;
        const Ran r = runShell("cd " + dir.path() + " && exec " + kRender + " " + args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "wrote x.png (64x64)\n");
        const std::string png = slurp(dir / "x.png");
        ASSERT_EQ(png.compare(1, 3, "PNG"), 0);
        if (first.empty())
            first = png;
        EXPECT_EQ(png, first);
    }
}

TEST(RenderProgram, BadArgumentsGiveAReasonTheUsageAndExitStatus2) {
    const std::string longName(100000, 'x');
    const std::pair<std::string, std::string> bad[] = {
        {"-o ''", "-o needs a FILE, not an empty argument"},
        {"-o --wire", "-o needs a FILE, not the option '--wire'"},
        {"--output -x.png", "--output needs a FILE, not '-x.png' (for a file whose name starts with '-', write ./-x.png)"},
        {"-o", "-o needs a FILE"},
        {"--size --wire", "--size needs a value, not the option '--wire'"},
        {"--shape " + longName,
         "unknown shape '" + longName.substr(0, 40) + "...' (cylinder, cone, disk, annulus, sphere, torus)"},
        {"--size " + longName, "--size: '" + longName.substr(0, 40) + "...' is not WxH or a single number"},
        {"--size 100x", "--size: '100x' is not WxH or a single number"},
        {"--size 100x5000", "--size: '5000' is outside 64 to 4096"},
        {"--" + longName, "unknown option '--" + longName.substr(0, 38) + "...'"},
        // Long names are whole, a flag takes no value, "--" ends the options.
        {"--siz 64", "unknown option '--siz'"},
        {"--wire=1", "--wire takes no value"},
        {"--output= --size 64", "--output needs a FILE, not an empty argument"},
        {"--size 64 -- x.png", "unknown option 'x.png'"},
    };
    TempDir dir;
    for (const auto &[args, reason] : bad) {
        SCOPED_TRACE(args.substr(0, 60));
        const Ran r = runShell("cd " + dir.path() + " && exec " + kRender + " " + args);
        EXPECT_EQ(r.status, 2);
        const std::vector<std::string> err = lines(r.err);
        ASSERT_EQ(err.size(), 2u) << r.err.substr(0, 400);
        EXPECT_EQ(err[0], "softglu-render: " + reason);
        EXPECT_EQ(err[1].rfind("usage: softglu-render", 0), 0u) << err[1];
        EXPECT_EQ(dir.names(), std::vector<std::string>{});
    }
}

TEST(RenderProgram, TooLittleMemoryIsAMessage) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "skipped: a sanitizer's runtime cannot start under an address-space limit";
#endif
    // 300 MB of address space: enough to load OSMesa and LLVM, not for a
    // 4096x4096 image (64 MiB ours, and OSMesa's buffers).
    TempDir dir;
    const Ran r = runShell("cd " + dir.path() + " && ulimit -v 300000 && exec " + kRender + " --size 4096 -o big.png");
    if (r.status == 127)
        GTEST_SKIP() << "skipped: the libraries do not load in 300 MB here: " << r.err;
    EXPECT_EQ(r.status, 1) << r.err;
    const std::vector<std::string> err = lines(r.err);
    ASSERT_EQ(err.size(), 1u) << r.err;
    EXPECT_EQ(err[0].rfind("softglu-render: ", 0), 0u) << err[0];
    EXPECT_NE(err[0].find("memory"), std::string::npos) << err[0];
    EXPECT_EQ(dir.names(), std::vector<std::string>{});
}
