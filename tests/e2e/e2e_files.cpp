// Writes the models that the end-to-end run opens into OUTDIR (e2e_files
// OUTDIR), all wound counter-clockwise seen from outside, so back-face
// culling keeps them: a mapped box and an unmapped octahedron; the box again
// with a material whose texture, named in upper case, lies beside it in lower
// case (once more with a Cyrillic name, its extension's case differing); a
// box away from the origin; a standing slab with a green front, Z-up as 3D
// Studio files are, 17 and 1,700 units tall, each off the origin; and a gear
// with hard edges kept by smoothing groups.
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/model/chunk_writer.h"

namespace {

TestMesh Box(float half, const float (&centre)[3] = {0, 0, 0}) {
    return CuboidMesh("box", centre, {half, half, half});
}

// A material of one diffuse colour, and a texture map if one is named.
Bytes Material(const char* name, const Bytes& rgb, const char* texture = nullptr) {
    const Bytes map = texture == nullptr ? Bytes{}
                                         : MakeChunk(0xA200, {MakeChunk(0x0030, {U16({100})}),
                                                              MakeChunk(0xA300, {Str(texture)})});
    return MakeChunk(0xAFFF, {MakeChunk(0xA000, {Str(name)}), Wrapped(0xA020, 0x0011, rgb), map});
}

Bytes PaintedBox(const char* texture) {
    TestMesh box = Box(70);
    box.materialName = "painted";
    return ModelFile({Material("painted", {128, 128, 128}, texture), MeshObject(box)});
}

// An 8 x 8 uncompressed true-colour TGA of one green.
Bytes GreenTga() {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 24, 0};
    for (int i = 0; i < 64; ++i)
        tga.insert(tga.end(), {40, 200, 30});  // blue, green, red
    return tga;
}

// A slab standing on the XY plane of a Z-up file, half-edges (0.5, 4, 5) u
// about centre, u = height / 10: its front fifth (y below -3.6 u, the front
// being -Y) a mesh of its own in a green material.
Bytes ZUpSlab(float height, const float (&centre)[3]) {
    const float u = height / 10;
    const float frontCentre[3] = {centre[0], centre[1] - 3.8f * u, centre[2]};
    const float backCentre[3] = {centre[0], centre[1] + 0.2f * u, centre[2]};
    TestMesh front = CuboidMesh("front", frontCentre, {0.5f * u, 0.2f * u, 5 * u});
    front.materialName = "green";
    return ModelFile({Material("green", {40, 200, 30}), MeshObject(front),
                      MeshObject(CuboidMesh("back", backCentre, {0.5f * u, 3.8f * u, 5 * u}))});
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
    return ModelFile({Material("steel", {150, 160, 175}), MeshObject(gear)});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1], textured = directory + "/textured",
                      utf8 = directory + "/textured_utf8";
    mkdir(textured.c_str(), 0755);
    mkdir(utf8.c_str(), 0755);
    const float r = 110;
    TestMesh octahedron{"octahedron",
                        {r, 0, 0, -r, 0, 0, 0, r, 0, 0, -r, 0, 0, 0, r, 0, 0, -r},
                        {0, 2, 4, 2, 1, 4, 1, 3, 4, 3, 0, 4, 2, 0, 5, 1, 2, 5, 3, 1, 5, 0, 3, 5},
                        {},
                        ""};
    // The off-centre box lies right of and above the middle of the view.
    const std::pair<Bytes, std::string> files[] = {
        {ModelFile({MeshObject(Box(70))}), directory + "/box.3ds"},
        {ModelFile({MeshObject(octahedron)}), directory + "/bare_octahedron.3ds"},
        {ModelFile({MeshObject(Box(50, {150, 80, 0}))}), directory + "/off_centre_box.3ds"},
        {PaintedBox("PAINT.TGA"), textured + "/box.3ds"},
        {GreenTga(), textured + "/paint.tga"},
        {PaintedBox("Зелёный.TGA"), utf8 + "/box.3ds"},
        {GreenTga(), utf8 + "/Зелёный.tga"},
        {ZUpSlab(17, {20, 30, 8.5f}), directory + "/z_up_17.3ds"},
        {ZUpSlab(1700, {5000, -3000, 850}), directory + "/z_up_1700.3ds"},
        {Gear(), directory + "/gear.3ds"},
    };
    for (const auto& file : files)
        if (!WriteChunkFile(file.first, file.second)) return 1;
    return 0;
}
