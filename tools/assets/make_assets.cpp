// Writes the default scene's assets into a directory laid out as the viewer's
// working directory, plus intermediate pictures (the environment cross for
// cjpeg, a preview of the scene and the pieces of the contact sheet) into a
// scratch directory. Everything is computed from fixed seeds, so two runs give
// the same bytes.
//
// Usage: make_assets ASSETS_DIR SCRATCH_DIR ICON_FILE [FONT_FILE]
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assets/cube_cross.h"
#include "tools/assets/environment.h"
#include "tools/assets/font_atlas.h"
#include "tools/assets/icon.h"
#include "tools/assets/picture.h"
#include "tools/assets/preview.h"
#include "tools/assets/sphere_3ds.h"
#include "tools/assets/stone.h"

namespace {

constexpr int kEnvironmentFace = 512;
constexpr int kIrradianceSource = 16;
constexpr int kIrradianceFace = 32;
constexpr int kStoneHeight = 512;
constexpr float kSphereRadius = 100.0f;

bool Report(bool ok, const std::string& path) {
    if (!ok) std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
    return ok;
}

bool SphereFacesPointOutward(const SphereMesh& mesh) {
    for (size_t f = 0; f + 2 < mesh.faces.size(); f += 3) {
        Vec3 a = mesh.positions[mesh.faces[f]];
        Vec3 b = mesh.positions[mesh.faces[f + 1]];
        Vec3 c = mesh.positions[mesh.faces[f + 2]];
        if (Dot(Cross(b - a, c - a), a + b + c) <= 0.0f) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_assets ASSETS_DIR SCRATCH_DIR ICON_FILE [FONT_FILE]\n");
        return 2;
    }
    std::string assets = argv[1];
    std::string scratch = argv[2];
    std::string iconPath = argv[3];
    std::string fontPath =
        argc > 4 ? argv[4] : "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
    bool ok = true;

    // Environment: rendered by direction, then stored as the viewer will cut
    // it; the preview samples what the viewer would upload after 8-bit
    // rounding.
    CubeFaces environment = RenderEnvironment(kEnvironmentFace, 2);
    Picture environmentCross = AssembleCross(environment);
    CubeFaces uploaded = CutCross(environmentCross);
    ok &= Report(WritePnm(scratch + "/gracecubemap.ppm", environmentCross),
                 scratch + "/gracecubemap.ppm");

    CubeFaces irradiance = ComputeIrradiance(uploaded, kIrradianceSource, kIrradianceFace);
    Picture irradianceCross = AssembleCross(irradiance);
    CubeFaces irradianceUploaded = CutCross(irradianceCross);
    std::string irradiancePath = assets + "/cubemap/gracediffusecubemap.tga";
    ok &= Report(WriteTga(irradiancePath, irradianceCross), irradiancePath);
    ok &= Report(WritePnm(scratch + "/gracediffusecubemap.ppm", irradianceCross),
                 scratch + "/gracediffusecubemap.ppm");

    StonePictures stone = MakeStonePictures(2 * kStoneHeight, kStoneHeight);
    ok &= Report(WriteTga(assets + "/quarzilbase.tga", stone.base), "quarzilbase.tga");
    ok &= Report(WriteTga(assets + "/quarzilbump.tga", stone.bump), "quarzilbump.tga");
    ok &= Report(WritePnm(scratch + "/quarzilbase.ppm", stone.base), "quarzilbase.ppm");
    ok &= Report(WritePnm(scratch + "/quarzilbump.pgm", stone.bump), "quarzilbump.pgm");

    // The overlay advances a whole 16-pixel cell per character; glyphs drawn
    // wider than tall (about 11 x 13 pixels) close the gaps that a normal
    // width would leave.
    Picture font = RenderFontAtlas(fontPath, 19, 13);
    if (font.width == 0) {
        std::fprintf(stderr, "make_assets: cannot read font %s\n", fontPath.c_str());
        return 1;
    }
    ok &= Report(WriteTga(assets + "/font.tga", font), "font.tga");
    ok &= Report(WritePnm(scratch + "/font.pgm", font), "font.pgm");

    SphereMesh sphere = BuildSphere(kSphereRadius, 64, 32);
    if (sphere.positions.size() > 65535 || !SphereFacesPointOutward(sphere)) {
        std::fprintf(stderr, "make_assets: sphere mesh is malformed\n");
        return 1;
    }
    ok &= Report(Write3ds(assets + "/sphere.3ds", sphere), "sphere.3ds");

    for (float bumpScale : {0.5f, 2.0f}) {
        PreviewScene scene{&uploaded,   &irradianceUploaded, &stone.base,
                           &stone.bump, kSphereRadius,       bumpScale};
        Picture preview = RenderPreview(scene, 800, 600);
        char overlay[96];
        std::snprintf(overlay, sizeof overlay, "Bump scale: %0.2f\nno error\nFPS: %0.1f", bumpScale,
                      60.0);
        DrawOverlayText(preview, font, 0, 32, overlay);
        char name[64];
        std::snprintf(name, sizeof name, "/preview_bump%.1f.ppm", bumpScale);
        ok &= Report(WritePnm(scratch + name, preview), scratch + name);
    }
    // The icon: a square preview with the sphere in its middle. Seen from 250
    // units under a 90-degree field, the sphere's outline spans
    // tan(asin(100 / 250)) of the half height.
    const int iconPreviewSize = 1200;
    const float iconDiameter = iconPreviewSize * 0.43644f;
    PreviewScene iconScene{&uploaded,   &irradianceUploaded, &stone.base,
                           &stone.bump, kSphereRadius,       0.5f};
    Picture iconPreview = RenderPreview(iconScene, iconPreviewSize, iconPreviewSize);
    std::vector<Picture> iconImages;
    for (int size : {16, 32, 48, 256})
        iconImages.push_back(MakeIconImage(iconPreview, iconDiameter, size));
    ok &= Report(WriteIco(iconPath, iconImages), iconPath);
    return ok ? 0 : 1;
}
