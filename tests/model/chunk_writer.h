// Builds 3D Studio files for the model tests, fuzz seeds and benchmark. A chunk
// is a 16-bit id, a 32-bit length counting all of it, then its parts; little-endian.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/model.h"
#include "tests/support/bytes.h"

inline Bytes U16(const std::vector<uint16_t>& values) {
    Bytes out(2 * values.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint8_t(values[i / 2] >> (8 * (i % 2)));
    return out;
}

inline Bytes U32(const std::vector<uint32_t>& values) {
    std::vector<uint16_t> halves(2 * values.size());
    for (size_t i = 0; i < halves.size(); ++i)
        halves[i] = uint16_t(values[i / 2] >> (16 * (i % 2)));
    return U16(halves);
}

inline Bytes F32(const std::vector<float>& values) {
    std::vector<uint32_t> bits(values.size());
    if (!values.empty()) memcpy(bits.data(), values.data(), 4 * values.size());
    return U32(bits);
}

// The text and its terminating zero.
inline Bytes Str(const std::string& text) {
    return Cat({Bytes(text.begin(), text.end()), {0}});
}

inline Bytes MakeChunk(uint16_t id, std::initializer_list<Bytes> parts = {}) {
    Bytes body = Cat(parts);
    return Cat({U16({id}), U32({uint32_t(body.size() + 6)}), body});
}

// The chunk with a lying length.
inline Bytes WithLength(Bytes chunk, uint32_t length) {
    memcpy(&chunk[2], U32({length}).data(), 4);
    return chunk;
}

// A chunk whose only child holds data: a colour or a percentage, say.
inline Bytes Wrapped(uint16_t id, uint16_t innerId, const Bytes& data) {
    return MakeChunk(id, {MakeChunk(innerId, {data})});
}

struct TestMesh {
    std::string name;
    std::vector<float> positions;          // x, y, z per vertex
    std::vector<uint16_t> faces;           // a, b, c per face
    std::vector<float> texCoords;          // s, t per vertex; empty: no chunk
    std::string materialName;              // empty: no face-material group
    std::vector<uint32_t> smoothing = {};  // a mask per face; empty: no smoothing list
};

inline Bytes VertexList(const std::vector<float>& p) {
    return MakeChunk(0x4110, {U16({uint16_t(p.size() / 3)}), F32(p)});
}
inline Bytes Mapping(const std::vector<float>& st) {
    return MakeChunk(0x4140, {U16({uint16_t(st.size() / 2)}), F32(st)});
}

// Each face is stored with a fourth value, edge flags, that the reader drops.
inline Bytes FaceList(const std::vector<uint16_t>& faces, const std::string& materialName = "",
                      const std::vector<uint32_t>& smoothing = {}) {
    std::vector<uint16_t> values = {uint16_t(faces.size() / 3)};
    for (size_t i = 0; i < faces.size(); ++i) {
        values.push_back(faces[i]);
        if (i % 3 == 2) values.push_back(7);
    }
    // The group's list of faces is not read; it is left empty.
    Bytes group = materialName.empty() ? Bytes{} : MakeChunk(0x4130, {Str(materialName), U16({0})});
    Bytes list = smoothing.empty() ? Bytes{} : MakeChunk(0x4150, {U32(smoothing)});
    return MakeChunk(0x4120, {U16(values), group, list});
}

inline Bytes Object(const std::string& name, std::initializer_list<Bytes> children) {
    return MakeChunk(0x4000, {Str(name), Cat(children)});
}

// Vertices, local axes (stepped over by the reader), faces and mapping.
inline Bytes MeshObject(const TestMesh& m) {
    Bytes axes = MakeChunk(0x4160, {F32({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0})});
    Bytes mapping = m.texCoords.empty() ? Bytes{} : Mapping(m.texCoords);
    return Object(m.name,
                  {MakeChunk(0x4100, {VertexList(m.positions), axes,
                                      FaceList(m.faces, m.materialName, m.smoothing), mapping})});
}

// Main chunk: file version, the editor (mesh version, then the children) and
// what follows the editor, by default an empty keyframer section.
inline Bytes ModelFile(std::initializer_list<Bytes> editorChildren,
                       const Bytes& afterEditor = MakeChunk(0xB000)) {
    Bytes editor = MakeChunk(0x3D3D, {MakeChunk(0x3D3E, {U32({3})}), Cat(editorChildren)});
    return MakeChunk(0x4D4D, {MakeChunk(0x0002, {U32({3})}), editor, afterEditor});
}

inline TestMesh QuadMesh(const std::string& name) {
    std::vector<float> corners = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    return {name, corners, {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1}, ""};
}

// A cuboid of half-edges half about centre: six faces of four corners of their
// own, each mapped over the whole picture and wound counter-clockwise as seen
// from outside, so back-face culling keeps them.
inline TestMesh CuboidMesh(const std::string& name, const float (&centre)[3],
                           const float (&half)[3]) {
    TestMesh box{name, {}, {}, {}, ""};
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int axis = 0; axis < 3; ++axis) {
        // (u, v, axis) is right-handed, so corners in this order face +axis.
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        for (int side = -1; side <= 1; side += 2) {
            const uint16_t first = uint16_t(box.positions.size() / 3);
            for (const auto& corner : corners) {
                float point[3];
                point[axis] = centre[axis] + side * half[axis];
                point[u] = centre[u] + corner[0] * half[u];
                point[v] = centre[v] + corner[1] * half[v];
                box.positions.insert(box.positions.end(), point, point + 3);
                box.texCoords.insert(box.texCoords.end(),
                                     {(corner[0] + 1) / 2, (corner[1] + 1) / 2});
            }
            const uint16_t b = uint16_t(first + (side > 0 ? 1 : 3)), c = uint16_t(first + 2),
                           d = uint16_t(first + (side > 0 ? 3 : 1));
            box.faces.insert(box.faces.end(), {first, b, c, first, c, d});
        }
    }
    return box;
}

// A Z-up box of half-edges (1, 2, 4) u about (3, -5, 7) u as a file holds it,
// and the same box by hand as placing it must give: (x, y, z) about the
// centre becomes (x, z, -y) times 100 / (u sqrt 21), its bounding sphere's
// radius brought to 100.
struct ZUpBox {
    TestMesh file, placedByHand;
};
inline ZUpBox MakeZUpBox(double u) {
    const float centre[3] = {float(3 * u), float(-5 * u), float(7 * u)};
    const float half[3] = {float(u), float(2 * u), float(4 * u)};
    ZUpBox box = {CuboidMesh("box", centre, half), {}};
    box.placedByHand = box.file;
    const double k = 100.0 / (u * std::sqrt(21.0));
    std::vector<float>& p = box.placedByHand.positions;
    for (size_t i = 0; i < p.size(); i += 3) {
        const float* f = &box.file.positions[i];
        p[i] = float((f[0] - centre[0]) * k);
        p[i + 1] = float((f[2] - centre[2]) * k);
        p[i + 2] = float(-(f[1] - centre[1]) * k);
    }
    return box;
}

// A file with one of everything the reader reads, and extra in the editor.
inline Bytes SampleModelFile(const Bytes& extra = {}) {
    TestMesh quad = QuadMesh("quad");
    quad.materialName = "red";
    Bytes texture = MakeChunk(
        0xA200, {MakeChunk(0x0030, {U16({100})}), MakeChunk(0xA300, {Str("a\"b\\c\x01\xe9.tga")})});
    Bytes material = MakeChunk(
        0xAFFF,
        {MakeChunk(0xA000, {Str("red")}), Wrapped(0xA010, 0x0011, {255, 128, 0}),
         Wrapped(0xA020, 0x0010, F32({0.25f, 2.5f, -1})), Wrapped(0xA030, 0x0011, {1, 51, 204}),
         Wrapped(0xA040, 0x0030, U16({50})), Wrapped(0xA050, 0x0031, F32({37.5f})), texture});
    Bytes lights = Cat(
        {Object("a", {MakeChunk(0x4600, {F32({1, 2, 3}), MakeChunk(0x11, {Bytes{255, 128, 0}})})}),
         Object("b", {MakeChunk(0x4600,
                                {F32({-4, 5, -6}), MakeChunk(0x10, {F32({0.25f, 0.5f, 2})})})})});
    Bytes camera = Object("cam", {MakeChunk(0x4700, {F32({1, 2, 3, 4, 5, 6, 7, 8})})});
    return ModelFile({material, MeshObject(quad), lights, camera, extra});
}

inline bool WriteChunkFile(const Bytes& bytes, const std::string& path) {
    return WriteBytes(path, bytes);
}

// The piecewise form the benchmark uses: meshes appended one by one.
struct ChunkWriter {
    Bytes bytes;
};
inline void BeginModelFile(ChunkWriter* w) {
    w->bytes.clear();
}
inline void PutMeshObject(ChunkWriter* w, const TestMesh& m) {
    w->bytes = Cat({w->bytes, MeshObject(m)});
}
inline void EndModelFile(ChunkWriter* w) {
    w->bytes = ModelFile({w->bytes});
}
inline bool WriteChunkFile(const ChunkWriter& w, const std::string& path) {
    return WriteChunkFile(w.bytes, path);
}

// Writes the file into the test's own directory and loads it into model.
inline int LoadWritten(const Bytes& bytes, Model* model) {
    return WriteBytes("load.3ds", bytes) ? Load3ds(model, "load.3ds") : -1;
}

// The meshes, in order, from one file written as LoadWritten does.
inline int LoadMeshes(const std::vector<TestMesh>& meshes, Model* model) {
    Bytes objects;
    for (const TestMesh& m : meshes)
        objects = Cat({objects, MeshObject(m)});
    return LoadWritten(ModelFile({objects}), model);
}
