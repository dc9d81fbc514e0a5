// Writes the models that the end-to-end run opens through the viewer's model
// dialog: a mapped box and an unmapped octahedron, both with faces wound
// counter-clockwise seen from outside, so back-face culling keeps them.
//
//   e2e_files OUTDIR   ->  OUTDIR/box.3ds, OUTDIR/bare_octahedron.3ds
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    const bool ok = WriteChunkFile(ModelFile({MeshObject(Box(70))}), directory + "/box.3ds") &&
                    WriteChunkFile(ModelFile({MeshObject(BareOctahedron(110))}),
                                   directory + "/bare_octahedron.3ds");
    return ok ? 0 : 1;
}
