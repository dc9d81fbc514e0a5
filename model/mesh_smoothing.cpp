#include "model/mesh_smoothing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "model/mesh_prep.h"
#include "model/model_memory.h"
#include "model/read_3ds.h"

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// The working arrays of one mesh, released together. Every fresh page costs a
// fault, so a corner holds only the number of its normal: normals shared by a
// group of faces at a position, or a flat face's own, are stored once.
struct Scratch {
    uint32_t* positionOf = nullptr;    // per vertex: its position's number
    float* normals = nullptr;          // 3 per distinct corner normal
    uint32_t* normalOf = nullptr;      // per corner: its normal's number
    uint32_t* cornerVertex = nullptr;  // per corner: its vertex after splitting
    // Per split vertex: a corner that uses it, or kNone for a vertex no face
    // uses; the corner gives its normal and its vertex in the file.
    uint32_t* cornerOf = nullptr;
    uint32_t splitCount = 0;
};

void FreeScratch(Scratch* s) {
    free(s->positionOf);
    free(s->normals);
    free(s->normalOf);
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

const float* CornerNormal(const Scratch& s, uint32_t corner) {
    return s.normals + 3 * size_t{s.normalOf[corner]};
}

// -0 and +0 are the same coordinate.
uint32_t CoordinateKey(float c) {
    if (c == 0.0f) c = 0.0f;
    uint32_t bits;
    memcpy(&bits, &c, sizeof bits);
    return bits;
}

struct SortedPosition {
    uint32_t bits[3];
    uint32_t vertex;
};

// Numbers the distinct positions by sorting, so that vertices of equal
// coordinates share a number. A sort rather than a hash table: no file, however
// its coordinates are chosen, can make it slower than n log n. Returns how many
// positions there are, 0 when out of memory.
uint32_t NumberPositions(const Mesh& mesh, uint32_t* positionOf) {
    SortedPosition* keys;
    if (!AllocateModelArray(&keys, mesh.vertexCount)) return 0;
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        keys[v] = {{CoordinateKey(p[0]), CoordinateKey(p[1]), CoordinateKey(p[2])}, v};
    }
    std::sort(keys, keys + mesh.vertexCount, [](const SortedPosition& a, const SortedPosition& b) {
        if (a.bits[0] != b.bits[0]) return a.bits[0] < b.bits[0];
        if (a.bits[1] != b.bits[1]) return a.bits[1] < b.bits[1];
        return a.bits[2] < b.bits[2];
    });
    uint32_t number = 0;
    for (uint32_t i = 0; i < mesh.vertexCount; ++i) {
        if (i != 0 && memcmp(keys[i].bits, keys[i - 1].bits, sizeof keys[i].bits) != 0) ++number;
        positionOf[keys[i].vertex] = number;
    }
    free(keys);
    return mesh.vertexCount == 0 ? 0 : number + 1;
}

// Whether corner k of the face is the first of the face at its position: a
// face counts once at each position however many corners it has there.
int FirstAtPosition(const uint16_t* face, int k, const uint32_t* positionOf) {
    for (int j = 0; j < k; ++j)
        if (positionOf[face[j]] == positionOf[face[k]]) return 0;
    return 1;
}

// Sorts ids into lists, one per key: start gets keyCount + 1 entries, list
// the ids in their first order within each key. keyOf gives an id's key, or
// kNone to leave it out. The starts themselves serve as the fill positions,
// each ending where the next list begins, and are then moved back one place.
template <typename Entry, typename KeyOf, typename EntryOf>
int Bucket(uint32_t idCount, uint32_t keyCount, KeyOf keyOf, EntryOf entryOf, uint32_t** start,
           Entry** list) {
    *list = nullptr;
    if (!AllocateModelArray(start, size_t{keyCount} + 1)) return 0;
    uint32_t* at = *start;
    for (uint32_t id = 0; id < idCount; ++id)
        if (keyOf(id) != kNone) ++at[keyOf(id) + 1];
    for (uint32_t key = 0; key < keyCount; ++key)
        at[key + 1] += at[key];
    if (!AllocateModelArray(list, at[keyCount])) return 0;
    for (uint32_t id = 0; id < idCount; ++id)
        if (keyOf(id) != kNone) (*list)[at[keyOf(id)]++] = entryOf(id);
    memmove(at + 1, at, keyCount * sizeof(uint32_t));
    at[0] = 0;
    return 1;
}

// The smooth faces at each position: start gets positionCount + 1 entries,
// entries the faces there sorted by mask, then face; a face counts once at
// each position however many corners it has there. Faces number at most
// 65,535, so an entry takes 16 bits. Counts the groups (distinct masks at a
// position) and the most faces at one position.
struct FacesAtPositions {
    uint32_t* start = nullptr;
    uint16_t* entries = nullptr;
    uint32_t groupCount = 0;
    uint32_t most = 0;
};

int GroupFaces(const Mesh& mesh, uint32_t positionCount, const uint32_t* positionOf,
               FacesAtPositions* at) {
    const uint32_t* smoothing = mesh.smoothing;
    auto keyOf = [&](uint32_t c) {
        const uint16_t* face = mesh.faces + c / 3 * 3;
        if (smoothing[c / 3] == 0 || !FirstAtPosition(face, int(c % 3), positionOf)) return kNone;
        return positionOf[mesh.faces[c]];
    };
    auto entryOf = [](uint32_t c) { return uint16_t(c / 3); };
    if (!Bucket(3 * uint32_t{mesh.faceCount}, positionCount, keyOf, entryOf, &at->start,
                &at->entries))
        return 0;
    for (uint32_t position = 0; position < positionCount; ++position) {
        uint16_t* begin = at->entries + at->start[position];
        uint16_t* end = at->entries + at->start[position + 1];
        at->most = std::max(at->most, uint32_t(end - begin));
        std::sort(begin, end, [smoothing](uint16_t a, uint16_t b) {
            return smoothing[a] != smoothing[b] ? smoothing[a] < smoothing[b] : a < b;
        });
        for (uint16_t* e = begin; e != end; ++e)
            at->groupCount += e == begin || smoothing[*e] != smoothing[e[-1]];
    }
    return 1;
}

// A group's normal sums the groups at its position whose mask shares a bit
// with its own and is stored once for every corner of the group's faces
// there, so equal masks at one position give equal normals bit for bit,
// whatever vertex the corner uses. The face normals are worked out again at
// each of the face's positions rather than kept: the same sum gives the same
// bits, and recomputing is cheaper than the pages an array of them takes. The
// work at a position grows with the square of the distinct masks there, which
// real files keep to a few. groupSums holds the sums of one position at a
// time, at their groups' first entries.
void SmoothCorners(const Mesh& mesh, uint32_t positionCount, const FacesAtPositions& at,
                   uint32_t normalCount, float* groupSums, Scratch* s) {
    const uint32_t* positionOf = s->positionOf;
    const uint32_t* smoothing = mesh.smoothing;
    for (uint32_t position = 0; position < positionCount; ++position) {
        const uint16_t* begin = at.entries + at.start[position];
        const uint16_t* end = at.entries + at.start[position + 1];
        if (begin == end) continue;
        memset(groupSums, 0, size_t(end - begin) * 3 * sizeof(float));
        for (const uint16_t* g = begin; g != end;) {
            float* sum = groupSums + 3 * (g - begin);
            const uint16_t* e = g;
            for (; e != end && smoothing[*e] == smoothing[*g]; ++e) {
                float cross[3];
                FaceCross(mesh.positions, mesh.faces + 3 * *e, cross);
                for (int k = 0; k < 3; ++k)
                    sum[k] += cross[k];
            }
            g = e;
        }
        for (const uint16_t* g = begin; g != end;) {
            const uint32_t mask = smoothing[*g];
            float* n = s->normals + 3 * size_t{normalCount};
            for (const uint16_t* other = begin; other != end;) {
                const uint32_t otherMask = smoothing[*other];
                if ((otherMask & mask) != 0)
                    for (int k = 0; k < 3; ++k)
                        n[k] += groupSums[3 * (other - begin) + k];
                while (other != end && smoothing[*other] == otherMask)
                    ++other;
            }
            NormalizeNormal(n);
            const uint16_t* e = g;
            for (; e != end && smoothing[*e] == mask; ++e)
                for (uint32_t c = 3 * uint32_t{*e}; c < 3 * uint32_t{*e} + 3; ++c)
                    if (positionOf[mesh.faces[c]] == position) s->normalOf[c] = normalCount;
            ++normalCount;
            g = e;
        }
    }
}

// A flat face's corners share its own normal. The groups are found first so
// that the normal array is no longer than the distinct normals, and flat faces
// alone need no positions compared.
int CornerNormals(const Mesh& mesh, Scratch* s) {
    const uint32_t faces = mesh.faceCount;
    uint32_t flatCount = 0;
    for (uint32_t f = 0; f < faces; ++f)
        flatCount += mesh.smoothing[f] == 0;
    if (!AllocateModelArray(&s->positionOf, mesh.vertexCount) ||
        !AllocateModelArray(&s->normalOf, size_t{faces} * 3))
        return 0;
    FacesAtPositions at;
    float* groupSums = nullptr;
    uint32_t positionCount = 0;
    int ok = 1;
    if (flatCount != faces) {
        positionCount = NumberPositions(mesh, s->positionOf);
        ok = positionCount != 0 && GroupFaces(mesh, positionCount, s->positionOf, &at);
    }
    ok = ok && AllocateModelArray(&s->normals, (size_t{flatCount} + at.groupCount) * 3) &&
         AllocateModelArray(&groupSums, size_t{at.most} * 3);
    uint32_t normalCount = 0;
    for (uint32_t f = 0; ok && f < faces; ++f) {
        if (mesh.smoothing[f] != 0) continue;
        float* n = s->normals + 3 * size_t{normalCount};
        FaceCross(mesh.positions, mesh.faces + 3 * f, n);
        NormalizeNormal(n);
        for (int k = 0; k < 3; ++k)
            s->normalOf[3 * f + k] = normalCount;
        ++normalCount;
    }
    if (ok && positionCount != 0) SmoothCorners(mesh, positionCount, at, normalCount, groupSums, s);
    free(at.start);
    free(at.entries);
    free(groupSums);
    return ok;
}

// Whether some vertex's corners have different normals. Either way,
// firstCorner gets per vertex the first corner that uses it, or kNone.
int NeedsSplit(const Mesh& mesh, const Scratch& s, uint32_t* firstCorner) {
    for (uint32_t v = 0; v < mesh.vertexCount; ++v)
        firstCorner[v] = kNone;
    int split = 0;
    for (uint32_t c = 0; c < 3 * uint32_t{mesh.faceCount}; ++c) {
        uint32_t* first = &firstCorner[mesh.faces[c]];
        if (*first == kNone) *first = c;
        split = split || !Equal3(CornerNormal(s, c), CornerNormal(s, *first));
    }
    return split;
}

// When no vertex splits, the mesh keeps its own arrays and gains normals and
// a tangent frame, as a copy of it would have; nothing else is allocated.
int SmoothInPlace(Mesh* mesh, const Scratch& s, const uint32_t* firstCorner) {
    Mesh out = *mesh;
    out.normals = out.tangents = out.binormals = nullptr;
    if (!AllocateModelArray(&out.normals, size_t{mesh->vertexCount} * 3)) return 0;
    for (uint32_t v = 0; v < mesh->vertexCount; ++v) {
        if (firstCorner[v] != kNone) Copy3(out.normals + 3 * v, CornerNormal(s, firstCorner[v]));
        if (firstCorner[v] == kNone) NormalizeNormal(out.normals + 3 * v);
    }
    if (!ComputeTangentSpace(&out)) {
        free(out.normals);
        free(out.tangents);
        free(out.binormals);
        return 0;
    }
    free(mesh->normals);
    free(mesh->tangents);
    free(mesh->binormals);
    *mesh = out;
    return 1;
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
    uint32_t count = mesh.vertexCount;
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        uint32_t* begin = list + start[v];
        uint32_t* end = list + start[v + 1];
        s->cornerOf[v] = begin != end ? *begin : kNone;
        if (begin == end) continue;
        const float* kept = CornerNormal(*s, *begin);
        int alike = 1;
        for (uint32_t* c = begin; c != end; ++c) {
            s->cornerVertex[*c] = v;
            alike = alike && Equal3(CornerNormal(*s, *c), kept);
        }
        if (alike) continue;
        std::sort(begin, end, [s](uint32_t a, uint32_t b) {
            return Less3(CornerNormal(*s, a), CornerNormal(*s, b));
        });
        for (uint32_t* c = begin; c != end; ++c) {
            const float* n = CornerNormal(*s, *c);
            if (Equal3(n, kept)) continue;
            if (c == begin || !Equal3(n, CornerNormal(*s, c[-1]))) s->cornerOf[count++] = *c;
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
    // Per split vertex: where it was last placed, kNone for not yet. The
    // places only grow, so one in the current piece lies at or past its start.
    uint32_t* placedAt = nullptr;
    int ok = AllocateModelArray(&layout->vertices, capacity) &&
             AllocateModelArray(&layout->faces, size_t{faces} * 3) &&
             AllocateModelArray(&placedAt, total);
    if (ok) {
        for (uint32_t v = 0; v < total; ++v)
            placedAt[v] = kNone;
        uint32_t placed = 0, piece = 0;
        Piece* p = layout->pieces;
        *p = {0, 0, 0, 0};
        auto inPiece = [&](uint32_t v) {
            return placedAt[v] != kNone && placedAt[v] >= p->vertexBegin;
        };
        auto place = [&](uint32_t v) {
            if (!inPiece(v)) {
                placedAt[v] = placed;
                layout->vertices[placed++] = v;
            }
            return placedAt[v] - p->vertexBegin;
        };
        auto startPiece = [&] {
            p->vertexEnd = placed;
            ++p;
            ++piece;
            *p = {p[-1].faceEnd, p[-1].faceEnd, placed, placed};
        };
        for (uint32_t f = 0; f < faces; ++f) {
            const uint32_t* c = s.cornerVertex + 3 * f;
            uint32_t added = !inPiece(c[0]) + (!inPiece(c[1]) && c[1] != c[0]) +
                             (!inPiece(c[2]) && c[2] != c[0] && c[2] != c[1]);
            if (placed - p->vertexBegin + added > kMaxMeshVertices) startPiece();
            for (int k = 0; k < 3; ++k)
                layout->faces[3 * f + k] = uint16_t(place(c[k]));
            p->faceEnd = f + 1;
        }
        for (uint32_t v = 0; v < total; ++v) {
            if (placedAt[v] != kNone) continue;
            if (placed - p->vertexBegin == kMaxMeshVertices) startPiece();
            place(v);
        }
        p->vertexEnd = placed;
        layout->pieceCount = piece + 1;
    }
    free(placedAt);
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
        if (corner != kNone) Copy3(out->normals + 3 * i, CornerNormal(s, corner));
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
    int ok = CornerNormals(*mesh, &s);
    // The position numbers are done with; their array serves for the first
    // corner of each vertex.
    if (ok && !NeedsSplit(*mesh, s, s.positionOf)) {
        ok = SmoothInPlace(mesh, s, s.positionOf);
        FreeScratch(&s);
        return ok;
    }
    ok = ok && SplitVertices(*mesh, &s) && LayOut(*mesh, s, &layout) &&
         AllocateModelArray(&pieces, layout.pieceCount);
    // What the pieces no longer need goes back before their arrays are
    // allocated, so they can take its pages instead of fresh ones.
    free(s.positionOf);
    s.positionOf = nullptr;
    if (layout.faces != nullptr) {
        free(s.cornerVertex);
        s.cornerVertex = nullptr;
    }
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
