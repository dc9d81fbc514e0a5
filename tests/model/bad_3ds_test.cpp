// Damaged and hostile files: the load either fails as a whole and leaves the
// model empty, or leaves out the one mesh that cannot be drawn safely. Run
// under the sanitizers these also show that nothing is read out of bounds or
// leaked.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/model_memory.h"
#include "tests/model/chunk_writer.h"
#include "tests/model/model_test_util.h"

namespace {

// Builds a file whose editor holds a good mesh "first", then whatever put
// writes, then a good mesh "last".
ChunkWriter Sandwich(const std::function<void(ChunkWriter*)>& put) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMeshObject(&w, QuadMesh("first"));
    put(&w);
    PutMeshObject(&w, QuadMesh("last"));
    EndModelFile(&w);
    return w;
}

// A named object "bad" holding a triangle mesh whose children put writes.
std::function<void(ChunkWriter*)> BadMesh(const std::function<void(ChunkWriter*)>& children) {
    return [children](ChunkWriter* w) {
        BeginChunk(w, 0x4000);
        PutString(w, "bad");
        BeginChunk(w, 0x4100);
        children(w);
        EndChunk(w);
        EndChunk(w);
    };
}

void PutFaces(ChunkWriter* w, std::vector<uint16_t> faces) {
    PutFaceList(w, faces, "");
}

}  // namespace

TEST(Bad3ds, BrokenChunkStructureFailsTheWholeLoad) {
    struct Case {
        const char* what;
        std::function<void(ChunkWriter*)> put;
    };
    const std::vector<float> tri = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const Case cases[] = {
        {"editor child of length 0",
         [](ChunkWriter* w) {
             size_t at = BeginChunk(w, 0x0100);
             EndChunk(w);
             SetChunkLength(w, at, 0);
         }},
        {"editor child of length 5",
         [](ChunkWriter* w) {
             size_t at = BeginChunk(w, 0x0100);
             PutF32(w, 1);
             EndChunk(w);
             SetChunkLength(w, at, 5);
         }},
        {"editor child reaching past the editor",
         [](ChunkWriter* w) {
             size_t at = BeginChunk(w, 0x0100);
             EndChunk(w);
             SetChunkLength(w, at, 400);
         }},
        {"length that wraps 32-bit positions",
         [](ChunkWriter* w) {
             size_t at = BeginChunk(w, 0x0100);
             EndChunk(w);
             SetChunkLength(w, at, 0xFFFFFFFAu);
         }},
        {"mesh child of length 0", BadMesh([](ChunkWriter* w) {
             size_t at = BeginChunk(w, 0x4150);
             EndChunk(w);
             SetChunkLength(w, at, 0);
         })},
        {"mesh child reaching past the mesh", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             size_t at = BeginChunk(w, 0x4150);
             EndChunk(w);
             SetChunkLength(w, at, 7);
         })},
        {"stray bytes too few for a header", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             PutU16(w, 0x4150);
         })},
        {"vertex count beyond the chunk", BadMesh([](ChunkWriter* w) {
             BeginChunk(w, 0x4110);
             PutU16(w, 2);
             for (int i = 0; i < 5; ++i)
                 PutF32(w, 1);
             EndChunk(w);
         })},
        {"face count beyond the chunk", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             BeginChunk(w, 0x4120);
             PutU16(w, 2);
             for (uint16_t v : {0, 1, 2, 0, 0, 1, 2})
                 PutU16(w, v);
             EndChunk(w);
         })},
        {"mapping count beyond the chunk", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             BeginChunk(w, 0x4140);
             PutU16(w, 3);
             for (int i = 0; i < 5; ++i)
                 PutF32(w, 1);
             EndChunk(w);
         })},
        {"vertex list without its count", BadMesh([](ChunkWriter* w) {
             BeginChunk(w, 0x4110);
             PutU8(w, 1);
             EndChunk(w);
         })},
        {"face-material group reaching past the face list", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             BeginChunk(w, 0x4120);
             PutU16(w, 0);
             size_t at = BeginChunk(w, 0x4130);
             PutString(w, "red");
             EndChunk(w);
             SetChunkLength(w, at, 20);
             EndChunk(w);
         })},
        {"named object's first child reaching past the object",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutString(w, "o");
             size_t at = BeginChunk(w, 0x4100);
             EndChunk(w);
             SetChunkLength(w, at, 12);
             EndChunk(w);
         }},
        {"light too short for its position",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutString(w, "l");
             BeginChunk(w, 0x4600);
             PutF32(w, 1);
             PutF32(w, 2);
             EndChunk(w);
             EndChunk(w);
         }},
        {"camera with seven values",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutString(w, "c");
             BeginChunk(w, 0x4700);
             for (int i = 0; i < 7; ++i)
                 PutF32(w, 1);
             EndChunk(w);
             EndChunk(w);
         }},
        {"24-bit colour with two bytes",
         [](ChunkWriter* w) {
             BeginChunk(w, 0xAFFF);
             BeginChunk(w, 0xA010);
             BeginChunk(w, 0x0011);
             PutU8(w, 1);
             PutU8(w, 2);
             EndChunk(w);
             EndChunk(w);
             EndChunk(w);
         }},
        {"integer percentage with one byte",
         [](ChunkWriter* w) {
             BeginChunk(w, 0xAFFF);
             BeginChunk(w, 0xA040);
             BeginChunk(w, 0x0030);
             PutU8(w, 50);
             EndChunk(w);
             EndChunk(w);
             EndChunk(w);
         }},
        {"material child reaching past the material",
         [](ChunkWriter* w) {
             BeginChunk(w, 0xAFFF);
             size_t at = BeginChunk(w, 0xA000);
             PutString(w, "m");
             EndChunk(w);
             SetChunkLength(w, at, 100);
             EndChunk(w);
         }},
        {"texture map child of length 2",
         [](ChunkWriter* w) {
             BeginChunk(w, 0xAFFF);
             BeginChunk(w, 0xA200);
             size_t at = BeginChunk(w, 0x0030);
             PutU16(w, 1);
             EndChunk(w);
             SetChunkLength(w, at, 2);
             EndChunk(w);
             EndChunk(w);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        EXPECT_EQ(0, LoadWritten(Sandwich(c.put), &model));
        EXPECT_TRUE(ModelIsEmpty(model));
        FreeModel(&model);
    }
}

TEST(Bad3ds, FileEndingBeforeItsDeclaredLengthsIsRefused) {
    ChunkWriter full = SampleModelFile();
    Model model{};
    ASSERT_EQ(1, LoadWritten(full, &model));
    FreeModel(&model);
    for (size_t size = 0; size < full.bytes.size(); ++size) {
        SCOPED_TRACE(size);
        ChunkWriter cut = full;
        cut.bytes.resize(size);
        EXPECT_EQ(0, LoadWritten(cut, &model));
        EXPECT_TRUE(ModelIsEmpty(model));
        FreeModel(&model);
    }
    // Bytes after the main chunk are not the model's business.
    ChunkWriter longer = full;
    PutU32(&longer, 0xDEADBEEF);
    ASSERT_EQ(1, LoadWritten(longer, &model));
    FreeModel(&model);
}

TEST(Bad3ds, MeshesThatCannotBeDrawnSafelyAreLeftOut) {
    struct Case {
        const char* what;
        std::function<void(ChunkWriter*)> put;
    };
    const std::vector<float> tri = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const Case cases[] = {
        {"no vertex list", BadMesh([](ChunkWriter* w) {
             PutFaces(w, {0, 1, 2});
         })},
        {"no vertex list nor faces", BadMesh([](ChunkWriter*) {})},
        {"face index equal to the vertex count", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             PutFaces(w, {0, 1, 2, 1, 3, 2});
         })},
        {"face index 65535", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             PutFaces(w, {65535, 1, 2});
         })},
        {"faces over an empty vertex list", BadMesh([](ChunkWriter* w) {
             PutVertexList(w, {});
             PutFaces(w, {0, 0, 0});
         })},
        {"fewer mapping coordinates than vertices", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             PutFaces(w, {0, 1, 2});
             PutMappingCoords(w, {0, 0, 1, 1});
         })},
        {"more mapping coordinates than vertices", BadMesh([tri](ChunkWriter* w) {
             PutVertexList(w, tri);
             PutFaces(w, {0, 1, 2});
             PutMappingCoords(w, {0, 0, 1, 1, 0, 1, 1, 0});
         })},
        {"object name without a zero in its 20 bytes",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutRaw(w, "abcdefghijklmnopqrst", 20);
             BeginChunk(w, 0x4100);
             PutVertexList(w, {0, 0, 0});
             EndChunk(w);
             EndChunk(w);
         }},
        {"object name cut off by the object's end",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutRaw(w, "abc", 3);
             EndChunk(w);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        ASSERT_EQ(1, LoadWritten(Sandwich(c.put), &model));
        ASSERT_EQ(2, model.meshCount);
        EXPECT_STREQ("first", model.meshes[0].name);
        EXPECT_STREQ("last", model.meshes[1].name);
        EXPECT_EQ(8, model.vertexTotal);
        EXPECT_EQ(4, model.faceTotal);
        FreeModel(&model);
    }
}

TEST(Bad3ds, MeshWithAnEmptyVertexListIsKeptWithFiniteBounds) {
    ChunkWriter w = Sandwich(BadMesh([](ChunkWriter* w) {
        PutVertexList(w, {});
        PutMappingCoords(w, {});
    }));
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(3, model.meshCount);
    const Mesh& empty = model.meshes[1];
    EXPECT_EQ(0, empty.vertexCount);
    EXPECT_EQ(nullptr, empty.normals);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(0.0f, empty.boundsMin[k]);
        EXPECT_EQ(0.0f, empty.center[k]);
    }
    // The quads span (0,0,0)-(1,1,0); the empty mesh does not widen that.
    EXPECT_EQ(0.5f, model.center[0]);
    EXPECT_EQ(0.5f, model.center[1]);
    EXPECT_EQ(0.0f, model.center[2]);
    FreeModel(&model);
}

TEST(Bad3ds, RepeatedListsInOneMeshReplaceEachOther) {
    ChunkWriter w = Sandwich(BadMesh([](ChunkWriter* w) {
        PutVertexList(w, {9, 9, 9});
        PutFaces(w, {0, 0, 0});
        PutVertexList(w, {0, 0, 0, 1, 0, 0, 0, 1, 0});
        PutFaces(w, {0, 1, 2});
    }));
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(3, model.meshCount);
    EXPECT_EQ(3, model.meshes[1].vertexCount);
    EXPECT_EQ(1.0f, model.meshes[1].positions[3]);
    EXPECT_EQ(2, model.meshes[1].faces[2]);
    FreeModel(&model);
}

TEST(Bad3ds, FailedAllocationLeavesEmptyModel) {
    std::string path = TempPath("alloc.3ds");
    ASSERT_TRUE(WriteChunkFile(SampleModelFile(), path));
    int failures = 0;
    for (int budget = 0;; ++budget) {
        SCOPED_TRACE(budget);
        SetModelAllocationBudget(budget);
        Model model{};
        int result = Load3ds(&model, path.c_str());
        SetModelAllocationBudget(-1);
        if (result == 1) {
            EXPECT_EQ(1, model.meshCount);
            FreeModel(&model);
            break;
        }
        EXPECT_TRUE(ModelIsEmpty(model));
        ++failures;
        ASSERT_LT(budget, 100);
    }
    // Mesh table, positions, faces, mapping, material, light and camera tables,
    // normals, tangents, binormals.
    EXPECT_EQ(10, failures);
    remove(path.c_str());
}
