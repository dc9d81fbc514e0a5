#include "model/mesh_smoothing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "model/mesh_prep.h"
#include "model/model_memory.h"
#include "model/read_3ds.h"

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// The working arrays of one mesh, released together. A corner is 3 f + k.
struct Scratch {
    float* cross = nullptr;            // 3 per face
    uint32_t* positionOf = nullptr;    // per vertex: its position's number
    float* cornerNormals = nullptr;    // 3 per corner
    uint32_t* cornerVertex = nullptr;  // per corner: its vertex after splitting
    // Per split vertex: a corner that uses it, or kNone for a vertex no face
    // uses; the corner gives its normal and its vertex in the file.
    uint32_t* cornerOf = nullptr;
    uint32_t splitCount = 0;
};

void FreeScratch(Scratch* s) {
    free(s->cross);
    free(s->positionOf);
    free(s->cornerNormals);
    free(s->cornerVertex);
    free(s->cornerOf);
}

void Copy3(float* to, const float* from) {
    memcpy(to, from, 3 * sizeof(float));
}

int Equal3(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Lexicographic; the normals are finite, so this orders them strictly.
int Less3(const float* a, const float* b) {
    if (a[0] != b[0]) return a[0] < b[0];
    if (a[1] != b[1]) return a[1] < b[1];
    return a[2] < b[2];
}

// -0 and +0 are the same coordinate.
uint32_t CoordinateKey(float c) {
    if (c == 0.0f) c = 0.0f;
    uint32_t bits;
    memcpy(&bits, &c, sizeof bits);
    return bits;
}

struct PositionKey {
    uint32_t bits[3];
    uint32_t vertex;
};

// Numbers the distinct positions by sorting, so that vertices of equal
// coordinates share a number. Returns how many there are, 0 when out of memory.
uint32_t NumberPositions(const Mesh& mesh, uint32_t* positionOf) {
    PositionKey* keys;
    if (!AllocateModelArray(&keys, mesh.vertexCount)) return 0;
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        keys[v] = {{CoordinateKey(p[0]), CoordinateKey(p[1]), CoordinateKey(p[2])}, v};
    }
    std::sort(keys, keys + mesh.vertexCount, [](const PositionKey& a, const PositionKey& b) {
        for (int k = 0; k < 3; ++k)
            if (a.bits[k] != b.bits[k]) return a.bits[k] < b.bits[k];
        return a.vertex < b.vertex;
    });
    uint32_t number = 0;
    for (uint32_t i = 0; i < mesh.vertexCount; ++i) {
        if (i != 0 && memcmp(keys[i].bits, keys[i - 1].bits, sizeof keys[i].bits) != 0) ++number;
        positionOf[keys[i].vertex] = number;
    }
    free(keys);
    return number + 1;
}

// Whether corner k of the face is the first of the face at its position: a
// face counts once at each position however many corners it has there.
int FirstAtPosition(const uint16_t* face, int k, const uint32_t* positionOf) {
    for (int j = 0; j < k; ++j)
        if (positionOf[face[j]] == positionOf[face[k]]) return 0;
    return 1;
}

struct GroupEntry {
    uint32_t mask;
    uint32_t face;
};

// Sorts ids into lists, one per key: start gets keyCount + 1 entries, list
// the ids in their first order within each key. keyOf gives an id's key, or
// kNone to leave it out.
template <typename Entry, typename KeyOf, typename EntryOf>
int Bucket(uint32_t idCount, uint32_t keyCount, KeyOf keyOf, EntryOf entryOf, uint32_t** start,
           Entry** list) {
    *list = nullptr;
    if (!AllocateModelArray(start, size_t{keyCount} + 1)) return 0;
    for (uint32_t id = 0; id < idCount; ++id)
        if (keyOf(id) != kNone) ++(*start)[keyOf(id) + 1];
    for (uint32_t key = 0; key < keyCount; ++key)
        (*start)[key + 1] += (*start)[key];
    uint32_t* next = nullptr;
    if (!AllocateModelArray(&next, keyCount) || !AllocateModelArray(list, (*start)[keyCount])) {
        free(next);
        return 0;
    }
    memcpy(next, *start, keyCount * sizeof(uint32_t));
    for (uint32_t id = 0; id < idCount; ++id)
        if (keyOf(id) != kNone) (*list)[next[keyOf(id)]++] = entryOf(id);
    free(next);
    return 1;
}

// At each position, the smooth faces there are grouped by mask (sorted by
// mask, then face). A corner's normal sums the groups whose mask shares a bit
// with its face's, so equal masks at one position give equal normals bit for
// bit, whatever vertex the corner uses. The work at a position grows with the
// square of the distinct masks there, which real files keep to a few.
int SmoothCorners(const Mesh& mesh, uint32_t positionCount, Scratch* s) {
    const uint32_t* positionOf = s->positionOf;
    const uint32_t corners = 3 * uint32_t{mesh.faceCount};
    auto keyOf = [&](uint32_t c) {
        const uint16_t* face = mesh.faces + c / 3 * 3;
        if (mesh.smoothing[c / 3] == 0 || !FirstAtPosition(face, int(c % 3), positionOf))
            return kNone;
        return positionOf[mesh.faces[c]];
    };
    auto entryOf = [&](uint32_t c) { return GroupEntry{mesh.smoothing[c / 3], c / 3}; };
    uint32_t* start = nullptr;
    GroupEntry* entries = nullptr;
    float* groupSums = nullptr;
    int ok = Bucket(corners, positionCount, keyOf, entryOf, &start, &entries);
    // The sums of one position at a time, at their groups' first entries.
    uint32_t most = 0;
    for (uint32_t position = 0; ok && position < positionCount; ++position)
        most = std::max(most, start[position + 1] - start[position]);
    ok = ok && AllocateModelArray(&groupSums, size_t{most} * 3);
    for (uint32_t position = 0; ok && position < positionCount; ++position) {
        GroupEntry* begin = entries + start[position];
        GroupEntry* end = entries + start[position + 1];
        if (begin == end) continue;
        memset(groupSums, 0, size_t(end - begin) * 3 * sizeof(float));
        std::sort(begin, end, [](const GroupEntry& a, const GroupEntry& b) {
            return a.mask != b.mask ? a.mask < b.mask : a.face < b.face;
        });
        for (GroupEntry* g = begin; g != end;) {
            float* sum = groupSums + 3 * (g - begin);
            GroupEntry* e = g;
            for (; e != end && e->mask == g->mask; ++e)
                for (int k = 0; k < 3; ++k)
                    sum[k] += s->cross[3 * e->face + k];
            g = e;
        }
        for (GroupEntry* g = begin; g != end;) {
            float n[3] = {0.0f, 0.0f, 0.0f};
            for (GroupEntry* other = begin; other != end;) {
                if ((other->mask & g->mask) != 0)
                    for (int k = 0; k < 3; ++k)
                        n[k] += groupSums[3 * (other - begin) + k];
                const uint32_t mask = other->mask;
                while (other != end && other->mask == mask)
                    ++other;
            }
            NormalizeNormal(n);
            GroupEntry* e = g;
            for (; e != end && e->mask == g->mask; ++e)
                for (uint32_t c = 3 * e->face; c < 3 * e->face + 3; ++c)
                    if (positionOf[mesh.faces[c]] == position) Copy3(s->cornerNormals + 3 * c, n);
            g = e;
        }
    }
    free(start);
    free(entries);
    free(groupSums);
    return ok;
}

int CornerNormals(const Mesh& mesh, Scratch* s) {
    const uint32_t faces = mesh.faceCount;
    if (!AllocateModelArray(&s->cross, size_t{faces} * 3) ||
        !AllocateModelArray(&s->positionOf, mesh.vertexCount) ||
        !AllocateModelArray(&s->cornerNormals, size_t{faces} * 9))
        return 0;
    for (uint32_t f = 0; f < faces; ++f) {
        FaceCross(mesh.positions, mesh.faces + 3 * f, s->cross + 3 * f);
        if (mesh.smoothing[f] != 0) continue;
        float n[3];
        Copy3(n, s->cross + 3 * f);
        NormalizeNormal(n);
        for (int k = 0; k < 3; ++k)
            Copy3(s->cornerNormals + 9 * f + 3 * k, n);
    }
    uint32_t positionCount = NumberPositions(mesh, s->positionOf);
    return positionCount != 0 && SmoothCorners(mesh, positionCount, s);
}

// A vertex keeps its index with the normal of its first corner; each other
// normal among its corners makes a copy, numbered after every vertex of the
// file. A vertex no face uses keeps the normal of an empty sum.
int SplitVertices(const Mesh& mesh, Scratch* s) {
    const uint32_t corners = 3 * uint32_t{mesh.faceCount};
    uint32_t* start = nullptr;
    uint32_t* list = nullptr;
    if (!AllocateModelArray(&s->cornerVertex, corners) ||
        !AllocateModelArray(&s->cornerOf, size_t{mesh.vertexCount} + corners) ||
        !Bucket(
            corners, mesh.vertexCount, [&](uint32_t c) { return uint32_t{mesh.faces[c]}; },
            [](uint32_t c) { return c; }, &start, &list)) {
        free(start);
        free(list);
        return 0;
    }
    const float* normals = s->cornerNormals;
    uint32_t count = mesh.vertexCount;
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        uint32_t* begin = list + start[v];
        uint32_t* end = list + start[v + 1];
        s->cornerOf[v] = begin != end ? *begin : kNone;
        if (begin == end) continue;
        const float* kept = normals + 3 * *begin;
        int alike = 1;
        for (uint32_t* c = begin; c != end; ++c) {
            s->cornerVertex[*c] = v;
            alike = alike && Equal3(normals + 3 * *c, kept);
        }
        if (alike) continue;
        std::sort(begin, end, [normals](uint32_t a, uint32_t b) {
            return Less3(normals + 3 * a, normals + 3 * b);
        });
        for (uint32_t* c = begin; c != end; ++c) {
            const float* n = normals + 3 * *c;
            if (Equal3(n, kept)) continue;
            if (c == begin || !Equal3(n, normals + 3 * c[-1])) s->cornerOf[count++] = *c;
            s->cornerVertex[*c] = count - 1;
        }
    }
    s->splitCount = count;
    free(start);
    free(list);
    return 1;
}

// One mesh of the result: faces [faceBegin, faceEnd) of the source and
// vertices [vertexBegin, vertexEnd) of the layout.
struct Piece {
    uint32_t faceBegin, faceEnd, vertexBegin, vertexEnd;
};

// When every split vertex fits in one mesh, vertices and faces stay nullptr:
// the split vertices and the corners' own are used as they are.
struct Layout {
    Piece* pieces = nullptr;
    uint32_t pieceCount = 0;
    uint32_t* vertices = nullptr;  // split vertices, piece after piece
    uint16_t* faces = nullptr;     // per corner: its vertex within its piece
};

void FreeLayout(Layout* layout) {
    free(layout->pieces);
    free(layout->vertices);
    free(layout->faces);
}

// All in one mesh when the split vertices fit; otherwise the faces fill one
// mesh after another in order, each mesh taking the vertices its faces use,
// and the vertices no face uses come last.
int LayOut(const Mesh& mesh, const Scratch& s, Layout* layout) {
    const uint32_t faces = mesh.faceCount, total = s.splitCount;
    const size_t capacity = size_t{total} + 3 * faces;
    if (!AllocateModelArray(&layout->pieces, capacity / (kMaxMeshVertices - 2) + 2)) return 0;
    layout->pieceCount = 1;
    layout->pieces[0] = {0, faces, 0, total};
    if (total <= kMaxMeshVertices) return 1;
    uint32_t* placedIn = nullptr;
    uint32_t* local = nullptr;
    int ok = AllocateModelArray(&layout->vertices, capacity) &&
             AllocateModelArray(&layout->faces, size_t{faces} * 3) &&
             AllocateModelArray(&placedIn, total) && AllocateModelArray(&local, total);
    if (ok) {
        for (uint32_t v = 0; v < total; ++v)
            placedIn[v] = kNone;
        uint32_t placed = 0, piece = 0;
        Piece* p = layout->pieces;
        *p = {0, 0, 0, 0};
        auto place = [&](uint32_t v) {
            if (placedIn[v] == piece) return local[v];
            placedIn[v] = piece;
            local[v] = placed - p->vertexBegin;
            layout->vertices[placed++] = v;
            return local[v];
        };
        auto startPiece = [&] {
            p->vertexEnd = placed;
            ++p;
            ++piece;
            *p = {p[-1].faceEnd, p[-1].faceEnd, placed, placed};
        };
        for (uint32_t f = 0; f < faces; ++f) {
            const uint32_t* c = s.cornerVertex + 3 * f;
            uint32_t added = (placedIn[c[0]] != piece) + (placedIn[c[1]] != piece && c[1] != c[0]) +
                             (placedIn[c[2]] != piece && c[2] != c[0] && c[2] != c[1]);
            if (placed - p->vertexBegin + added > kMaxMeshVertices) startPiece();
            for (int k = 0; k < 3; ++k)
                layout->faces[3 * f + k] = uint16_t(place(c[k]));
            p->faceEnd = f + 1;
        }
        for (uint32_t v = 0; v < total; ++v) {
            if (placedIn[v] != kNone) continue;
            if (placed - p->vertexBegin == kMaxMeshVertices) startPiece();
            place(v);
        }
        p->vertexEnd = placed;
        layout->pieceCount = piece + 1;
    }
    free(placedIn);
    free(local);
    return ok;
}

int BuildPiece(const Mesh& source, const Scratch& s, const Layout& layout, const Piece& piece,
               Mesh* out) {
    *out = Mesh{};
    memcpy(out->name, source.name, sizeof out->name);
    memcpy(out->materialName, source.materialName, sizeof out->materialName);
    out->materialIndex = source.materialIndex;
    const uint32_t vertices = piece.vertexEnd - piece.vertexBegin;
    const uint32_t faces = piece.faceEnd - piece.faceBegin;
    const int mapped = source.texCoordCount != 0;
    if (!AllocateModelArray(&out->positions, size_t{vertices} * 3) ||
        !AllocateModelArray(&out->normals, size_t{vertices} * 3) ||
        !AllocateModelArray(&out->texCoords, mapped ? size_t{vertices} * 2 : 0) ||
        !AllocateModelArray(&out->faces, size_t{faces} * 3) ||
        !AllocateModelArray(&out->smoothing, faces))
        return 0;
    out->vertexCount = uint16_t(vertices);
    out->texCoordCount = uint16_t(mapped ? vertices : 0);
    out->faceCount = uint16_t(faces);
    for (uint32_t i = 0; i < vertices; ++i) {
        const uint32_t v = layout.vertices ? layout.vertices[piece.vertexBegin + i] : i;
        const uint32_t corner = s.cornerOf[v], from = corner != kNone ? source.faces[corner] : v;
        Copy3(out->positions + 3 * i, source.positions + 3 * from);
        if (corner != kNone) Copy3(out->normals + 3 * i, s.cornerNormals + 3 * corner);
        if (corner == kNone) NormalizeNormal(out->normals + 3 * i);
        if (mapped) memcpy(out->texCoords + 2 * i, source.texCoords + 2 * from, 2 * sizeof(float));
    }
    for (uint32_t c = 0; c < 3 * faces; ++c)
        out->faces[c] = layout.faces ? layout.faces[3 * piece.faceBegin + c]
                                     : uint16_t(s.cornerVertex[3 * piece.faceBegin + c]);
    for (uint32_t f = 0; f < faces; ++f)
        out->smoothing[f] = source.smoothing[piece.faceBegin + f];
    return ComputeTangentSpace(out);
}

// Puts the pieces where the mesh at index was.
int ReplaceMesh(Model* model, int32_t index, Mesh* pieces, int32_t count) {
    Mesh* meshes;
    if (!AllocateModelArray(&meshes, size_t(model->meshCount) + size_t(count) - 1)) return 0;
    memcpy(meshes, model->meshes, size_t(index) * sizeof(Mesh));
    memcpy(meshes + index, pieces, size_t(count) * sizeof(Mesh));
    memcpy(meshes + index + count, model->meshes + index + 1,
           size_t(model->meshCount - index - 1) * sizeof(Mesh));
    FreeMeshArrays(&model->meshes[index]);
    free(model->meshes);
    model->meshes = meshes;
    model->meshCount += count - 1;
    return 1;
}

// The reader has checked the faces and the mapping; preparation does not
// follow a stray index all the same.
int SmoothingApplies(const Mesh& mesh) {
    if (mesh.smoothing == nullptr || mesh.faceCount == 0) return 0;
    if (mesh.texCoordCount != 0 && mesh.texCoordCount != mesh.vertexCount) return 0;
    for (uint32_t i = 0; i < 3 * uint32_t{mesh.faceCount}; ++i)
        if (mesh.faces[i] >= mesh.vertexCount) return 0;
    return 1;
}

}  // namespace

int PrepareSmoothedMesh(Model* model, int32_t index, int32_t* pieceCount) {
    *pieceCount = 1;
    Mesh* mesh = &model->meshes[index];
    if (!SmoothingApplies(*mesh)) return ComputeNormals(mesh) && ComputeTangentSpace(mesh);
    Scratch s;
    Layout layout;
    Mesh* pieces = nullptr;
    uint32_t built = 0;
    int ok = CornerNormals(*mesh, &s) && SplitVertices(*mesh, &s) && LayOut(*mesh, s, &layout) &&
             AllocateModelArray(&pieces, layout.pieceCount);
    for (; ok && built < layout.pieceCount; ++built)
        ok = BuildPiece(*mesh, s, layout, layout.pieces[built], &pieces[built]);
    if (ok) ok = ReplaceMesh(model, index, pieces, int32_t(layout.pieceCount));
    if (ok) *pieceCount = int32_t(layout.pieceCount);
    for (uint32_t i = 0; !ok && pieces != nullptr && i < built; ++i)
        FreeMeshArrays(&pieces[i]);
    free(pieces);
    FreeLayout(&layout);
    FreeScratch(&s);
    return ok;
}
