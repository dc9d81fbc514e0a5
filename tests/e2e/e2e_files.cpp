// Writes the models that the end-to-end run opens through the viewer's model
// dialog: a mapped box and an unmapped octahedron, both with faces wound
// counter-clockwise seen from outside, so back-face culling keeps them, and
// in a folder of its own the box again with a material whose texture, named
// in upper case, lies beside it in lower case (and in a third folder once
// more, the texture's name Cyrillic, its extension's case differing); also a
// box away from the origin, which the command line opens; a standing slab
// with a green front, Z-up as 3D Studio files are, 17 and 1,700 units tall,
// each off the origin, which open upright and centred; and a gear with hard
// edges kept by smoothing groups.
//
//   e2e_files OUTDIR   ->  OUTDIR/box.3ds, OUTDIR/bare_octahedron.3ds,
//                          OUTDIR/off_centre_box.3ds,
//                          OUTDIR/textured/box.3ds, OUTDIR/textured/paint.tga,
//                          OUTDIR/textured_utf8/box.3ds, OUTDIR/textured_utf8/Зелёный.tga,
//                          OUTDIR/z_up_17.3ds, OUTDIR/z_up_1700.3ds, OUTDIR/gear.3ds
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/model/chunk_writer.h"

namespace {

// Swaps two corners of every face whose normal points towards the centre.
void WindOutwards(const std::vector<float>& p, std::vector<uint16_t>* faces) {
    for (size_t f = 0; f + 2 < faces->size(); f += 3) {
        const float* a = &p[(*faces)[f] * 3];
        const float* b = &p[(*faces)[f + 1] * 3];
        const float* c = &p[(*faces)[f + 2] * 3];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                            u[0] * v[1] - u[1] * v[0]};
        const float outwards =
            n[0] * (a[0] + b[0] + c[0]) + n[1] * (a[1] + b[1] + c[1]) + n[2] * (a[2] + b[2] + c[2]);
        if (outwards < 0) std::swap((*faces)[f + 1], (*faces)[f + 2]);
    }
}

// Six faces of four corners of their own, each mapped over the whole picture.
TestMesh Box(float half) {
    TestMesh box{"box", {}, {}, {}, ""};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = -1; side <= 1; side += 2) {
            const uint16_t first = static_cast<uint16_t>(box.positions.size() / 3);
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& corner : corners) {
                float point[3];
                point[axis] = side * half;
                point[u] = corner[0] * half;
                point[v] = corner[1] * half;
                box.positions.insert(box.positions.end(), point, point + 3);
                box.texCoords.insert(box.texCoords.end(),
                                     {(corner[0] + 1) / 2, (corner[1] + 1) / 2});
            }
            box.faces.insert(box.faces.end(), {first, uint16_t(first + 1), uint16_t(first + 2),
                                               first, uint16_t(first + 2), uint16_t(first + 3)});
        }
    }
    WindOutwards(box.positions, &box.faces);
    return box;
}

TestMesh BareOctahedron(float radius) {
    TestMesh shape{"octahedron", {}, {}, {}, ""};
    shape.positions = {radius, 0,       0, -radius, 0, 0,      0, radius, 0,
                       0,      -radius, 0, 0,       0, radius, 0, 0,      -radius};
    shape.faces = {0, 2, 4, 2, 1, 4, 1, 3, 4, 3, 0, 4, 2, 0, 5, 1, 2, 5, 3, 1, 5, 0, 3, 5};
    WindOutwards(shape.positions, &shape.faces);
    return shape;
}

// A box whose material's texture map is "PAINT.TGA".
Bytes PaintedBox(float half, const char* texture) {
    TestMesh box = Box(half);
    box.materialName = "painted";
    Bytes material = MakeChunk(
        0xAFFF,
        {MakeChunk(0xA000, {Str("painted")}), Wrapped(0xA020, 0x0011, {128, 128, 128}),
         MakeChunk(0xA200, {MakeChunk(0x0030, {U16({100})}), MakeChunk(0xA300, {Str(texture)})})});
    return ModelFile({material, MeshObject(box)});
}

// An 8 x 8 uncompressed true-colour TGA of one green.
Bytes GreenTga() {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 24, 0};
    for (int i = 0; i < 64; ++i)
        tga.insert(tga.end(), {40, 200, 30});  // blue, green, red
    return tga;
}

// A box of half-edge 50 about (150, 80, 0): right of and above the middle of
// the view until key F frames it.
TestMesh OffCentreBox() {
    TestMesh box = Box(50);
    for (size_t i = 0; i < box.positions.size(); i += 3) {
        box.positions[i] += 150;
        box.positions[i + 1] += 80;
    }
    return box;
}

// A slab standing on the XY plane of a Z-up file, half-edges (0.5, 4, 5) u
// about centre, u = height / 10: its front fifth (y below -3.6 u, the front
// being -Y) a mesh of its own in a green material.
Bytes ZUpSlab(float height, const float (&centre)[3]) {
    const float u = height / 10;
    const float frontCentre[3] = {centre[0], centre[1] - 3.8f * u, centre[2]};
    const float backCentre[3] = {centre[0], centre[1] + 0.2f * u, centre[2]};
    TestMesh front = CuboidMesh("front", frontCentre, {0.5f * u, 0.2f * u, 5 * u});
    TestMesh back = CuboidMesh("back", backCentre, {0.5f * u, 3.8f * u, 5 * u});
    front.materialName = "green";
    Bytes material = MakeChunk(
        0xAFFF, {MakeChunk(0xA000, {Str("green")}), Wrapped(0xA020, 0x0011, {40, 200, 30})});
    return ModelFile({material, MeshObject(front), MeshObject(back)});
}

// A steel gear of 12 teeth, Z-up, its axis along Y so its face looks at the
// viewer, mapped flat across the face. Its faces share the vertices of two
// profile rings and the centres; smoothing groups keep the edges hard: the
// faces in group 1, the rounded tips in 2, the flanks in 4, the rounded
// roots in 8. 170 vertices split into 434.
Bytes Gear() {
    TestMesh gear{"gear", {}, {}, {}, "steel"};
    const int teeth = 12, perTooth = 7, n = teeth * perTooth;
    const float radius[perTooth] = {50, 50, 50, 38, 38, 38, 38};
    const float at[perTooth] = {0, 0.12f, 0.24f, 0.38f, 0.58f, 0.78f, 0.98f};  // x one tooth
    for (float y : {-8.0f, 8.0f}) {
        for (int i = 0; i < n; ++i) {
            const float a = 2 * 3.14159265f * (i / perTooth + at[i % perTooth] * 0.85f) / teeth;
            const float r = radius[i % perTooth];
            gear.positions.insert(gear.positions.end(), {r * std::cos(a), y, r * std::sin(a)});
        }
    }
    gear.positions.insert(gear.positions.end(), {0, -8, 0, 0, 8, 0});
    for (size_t i = 0; i < gear.positions.size(); i += 3)
        gear.texCoords.insert(gear.texCoords.end(),
                              {gear.positions[i] / 100 + 0.5f, gear.positions[i + 2] / 100 + 0.5f});
    const uint32_t sideGroup[perTooth] = {2, 2, 4, 8, 8, 8, 4};
    for (int i = 0; i < n; ++i) {
        const uint16_t f = uint16_t(i), g = uint16_t((i + 1) % n);
        const uint16_t bf = uint16_t(n + i), bg = uint16_t(n + g);
        gear.faces.insert(gear.faces.end(), {uint16_t(2 * n), f, g, uint16_t(2 * n + 1), bg, bf, f,
                                             bf, g, bf, bg, g});
        gear.smoothing.insert(gear.smoothing.end(),
                              {1, 1, sideGroup[i % perTooth], sideGroup[i % perTooth]});
    }
    Bytes material = MakeChunk(
        0xAFFF, {MakeChunk(0xA000, {Str("steel")}), Wrapped(0xA020, 0x0011, {150, 160, 175})});
    return ModelFile({material, MeshObject(gear)});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    const std::string textured = directory + "/textured";
    const std::string utf8 = directory + "/textured_utf8";
    mkdir(textured.c_str(), 0755);
    mkdir(utf8.c_str(), 0755);
    const bool ok =
        WriteChunkFile(ModelFile({MeshObject(Box(70))}), directory + "/box.3ds") &&
        WriteChunkFile(ModelFile({MeshObject(BareOctahedron(110))}),
                       directory + "/bare_octahedron.3ds") &&
        WriteChunkFile(ModelFile({MeshObject(OffCentreBox())}),
                       directory + "/off_centre_box.3ds") &&
        WriteChunkFile(PaintedBox(70, "PAINT.TGA"), textured + "/box.3ds") &&
        WriteChunkFile(GreenTga(), textured + "/paint.tga") &&
        WriteChunkFile(PaintedBox(70, "Зелёный.TGA"), utf8 + "/box.3ds") &&
        WriteChunkFile(GreenTga(), utf8 + "/Зелёный.tga") &&
        WriteChunkFile(ZUpSlab(17, {20, 30, 8.5f}), directory + "/z_up_17.3ds") &&
        WriteChunkFile(ZUpSlab(1700, {5000, -3000, 850}), directory + "/z_up_1700.3ds") &&
        WriteChunkFile(Gear(), directory + "/gear.3ds");
    return ok ? 0 : 1;
}
