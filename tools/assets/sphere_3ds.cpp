#include "tools/assets/sphere_3ds.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

Vec3 SpherePoint(float radius, float s, float latitude) {
    float longitude = 2.0f * kPi * s;
    float c = std::cos(latitude);
    return {-radius * c * std::sin(longitude), radius * std::sin(latitude),
            -radius * c * std::cos(longitude)};
}

// 3DS chunks: a 16-bit id and a 32-bit length covering header, data and
// nested chunks, all little-endian.
struct ChunkWriter {
    std::vector<uint8_t> bytes;
    std::vector<size_t> open;
};

void PutU8(ChunkWriter& w, uint8_t v) {
    w.bytes.push_back(v);
}
void PutU16(ChunkWriter& w, uint16_t v) {
    PutU8(w, static_cast<uint8_t>(v & 0xFF));
    PutU8(w, static_cast<uint8_t>(v >> 8));
}
void PutU32(ChunkWriter& w, uint32_t v) {
    PutU16(w, static_cast<uint16_t>(v & 0xFFFF));
    PutU16(w, static_cast<uint16_t>(v >> 16));
}
void PutFloat(ChunkWriter& w, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(w, bits);
}
void PutString(ChunkWriter& w, const char* text) {
    for (const char* c = text; *c; ++c)
        PutU8(w, static_cast<uint8_t>(*c));
    PutU8(w, 0);
}
void BeginChunk(ChunkWriter& w, uint16_t id) {
    w.open.push_back(w.bytes.size());
    PutU16(w, id);
    PutU32(w, 0);  // patched by EndChunk
}
void EndChunk(ChunkWriter& w) {
    size_t start = w.open.back();
    w.open.pop_back();
    uint32_t length = static_cast<uint32_t>(w.bytes.size() - start);
    for (int i = 0; i < 4; ++i)
        w.bytes[start + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
}

void PutColorChunk(ChunkWriter& w, uint16_t id, uint8_t r, uint8_t g, uint8_t b) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0011);  // 24-bit colour
    PutU8(w, r);
    PutU8(w, g);
    PutU8(w, b);
    EndChunk(w);
    EndChunk(w);
}

void PutPercentChunk(ChunkWriter& w, uint16_t id, uint16_t percent) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0030);  // integer percentage
    PutU16(w, percent);
    EndChunk(w);
    EndChunk(w);
}

void PutMapChunk(ChunkWriter& w, uint16_t id, const char* fileName) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0030);  // strength first: the viewer's reader expects it
    PutU16(w, 100);
    EndChunk(w);
    BeginChunk(w, 0xA300);  // map file name
    PutString(w, fileName);
    EndChunk(w);
    EndChunk(w);
}

}  // namespace

SphereMesh BuildSphere(float radius, int columns, int rings) {
    SphereMesh mesh;
    auto addVertex = [&mesh, radius](float s, float t) {
        float latitude = (t - 0.5f) * kPi;
        // The seam's two copies share one position: sin and cos of 2 pi are
        // not exactly those of 0.
        Vec3 p = SpherePoint(radius, s >= 1.0f ? 0.0f : s, latitude);
        // Exact poles and equator: sin and cos of the limits are not exact.
        if (t == 1.0f) p = {0.0f, radius, 0.0f};
        if (t == 0.0f) p = {0.0f, -radius, 0.0f};
        mesh.positions.push_back(p);
        mesh.texCoords.push_back(s);
        mesh.texCoords.push_back(t);
    };
    // North pole, one vertex per column.
    for (int i = 0; i < columns; ++i)
        addVertex((i + 0.5f) / columns, 1.0f);
    // Rings 1 .. rings-1 from north to south, columns + 1 vertices each.
    for (int k = 1; k < rings; ++k) {
        for (int i = 0; i <= columns; ++i) {
            addVertex(static_cast<float>(i) / columns, 1.0f - static_cast<float>(k) / rings);
        }
    }
    int south = static_cast<int>(mesh.positions.size());
    for (int i = 0; i < columns; ++i)
        addVertex((i + 0.5f) / columns, 0.0f);

    auto ring = [columns](int k, int i) {
        return static_cast<uint16_t>(columns + (k - 1) * (columns + 1) + i);
    };
    auto addFace = [&mesh](uint16_t a, uint16_t b, uint16_t c) {
        mesh.faces.push_back(a);
        mesh.faces.push_back(b);
        mesh.faces.push_back(c);
    };
    // With s to the right and t upwards as seen from outside, a quad's
    // lower-left, lower-right, upper-right run counter-clockwise.
    for (int i = 0; i < columns; ++i) {
        addFace(ring(1, i), ring(1, i + 1), static_cast<uint16_t>(i));
        for (int k = 1; k < rings - 1; ++k) {
            uint16_t upperLeft = ring(k, i), upperRight = ring(k, i + 1);
            uint16_t lowerLeft = ring(k + 1, i), lowerRight = ring(k + 1, i + 1);
            addFace(lowerLeft, lowerRight, upperRight);
            addFace(lowerLeft, upperRight, upperLeft);
        }
        addFace(static_cast<uint16_t>(south + i), ring(rings - 1, i + 1), ring(rings - 1, i));
    }
    return mesh;
}

bool Write3ds(const std::string& path, const SphereMesh& mesh) {
    ChunkWriter w;
    uint16_t vertexCount = static_cast<uint16_t>(mesh.positions.size());
    uint16_t faceCount = static_cast<uint16_t>(mesh.faces.size() / 3);

    BeginChunk(w, 0x4D4D);  // main
    BeginChunk(w, 0x0002);  // file version
    PutU32(w, 3);
    EndChunk(w);
    BeginChunk(w, 0x3D3D);  // editor
    BeginChunk(w, 0x3D3E);  // mesh version
    PutU32(w, 3);
    EndChunk(w);

    BeginChunk(w, 0xAFFF);  // material
    BeginChunk(w, 0xA000);
    PutString(w, "quarzil");
    EndChunk(w);
    PutColorChunk(w, 0xA010, 64, 62, 60);
    PutColorChunk(w, 0xA020, 236, 230, 226);
    PutColorChunk(w, 0xA030, 255, 255, 255);
    PutPercentChunk(w, 0xA040, 60);
    PutPercentChunk(w, 0xA050, 0);
    PutMapChunk(w, 0xA200, "quarzilbase.tga");
    PutMapChunk(w, 0xA230, "quarzilbump.tga");
    EndChunk(w);

    BeginChunk(w, 0x0100);  // master scale
    PutFloat(w, 1.0f);
    EndChunk(w);

    BeginChunk(w, 0x4000);  // named object
    PutString(w, "Sphere");
    BeginChunk(w, 0x4100);  // triangle mesh
    BeginChunk(w, 0x4110);  // vertex list
    PutU16(w, vertexCount);
    for (const Vec3& p : mesh.positions) {
        PutFloat(w, p.x);
        PutFloat(w, p.y);
        PutFloat(w, p.z);
    }
    EndChunk(w);
    BeginChunk(w, 0x4140);  // mapping coordinates
    PutU16(w, vertexCount);
    for (float value : mesh.texCoords)
        PutFloat(w, value);
    EndChunk(w);
    BeginChunk(w, 0x4160);  // local axes: identity, origin at 0
    const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float value : axes)
        PutFloat(w, value);
    EndChunk(w);
    BeginChunk(w, 0x4120);  // face list
    PutU16(w, faceCount);
    for (size_t f = 0; f < faceCount; ++f) {
        PutU16(w, mesh.faces[3 * f + 0]);
        PutU16(w, mesh.faces[3 * f + 1]);
        PutU16(w, mesh.faces[3 * f + 2]);
        PutU16(w, 0x0007);  // all three edges visible
    }
    BeginChunk(w, 0x4130);  // face material group, first child of the face list
    PutString(w, "quarzil");
    PutU16(w, faceCount);
    for (uint16_t f = 0; f < faceCount; ++f)
        PutU16(w, f);
    EndChunk(w);
    BeginChunk(w, 0x4150);  // smoothing groups: one group for the whole ball
    for (uint16_t f = 0; f < faceCount; ++f)
        PutU32(w, 1);
    EndChunk(w);
    EndChunk(w);  // face list
    EndChunk(w);  // triangle mesh
    EndChunk(w);  // named object
    EndChunk(w);  // editor
    EndChunk(w);  // main

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(w.bytes.data(), 1, w.bytes.size(), file) == w.bytes.size();
    return std::fclose(file) == 0 && ok;
}
