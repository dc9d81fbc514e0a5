// The loaded model: meshes with parallel per-vertex arrays, materials, lights
// and cameras, read from a 3D Studio file. Every array is a heap block owned by
// the Model and released by FreeModel.
#pragma once

#include <cstdint>

struct Mesh {
    char name[20];          // cleaned object name, zero-terminated
    char materialName[20];  // cleaned name of the first face-material group
    int32_t materialIndex;  // index into Model::materials, see Load3ds
    float center[3];
    float boundsMin[3];
    float boundsMax[3];
    uint16_t faceCount;
    uint16_t* faces;  // faceCount x (a, b, c)
    // faceCount smoothing-group masks, one bit per group, from the file's
    // smoothing list; nullptr when the mesh has none
    uint32_t* smoothing;
    uint16_t vertexCount;
    // vertexCount x (x, y, z): the file's vertices (turned, centred and scaled
    // by PlaceModel for an opened model), with the copies smoothing groups add
    float* positions;
    float* tangents;   // vertexCount x 3, only when texCoordCount != 0
    float* binormals;  // vertexCount x 3, only when texCoordCount != 0
    // vertexCount x 3, unit length. Without a smoothing list: the normalised
    // area-weighted sum of the faces that use the vertex. With one: a vertex
    // holds the normal of its faces' corners, split into one vertex per
    // distinct corner normal (see PrepareSmoothedMesh).
    float* normals;
    uint16_t texCoordCount;
    float* texCoords;  // texCoordCount x (s, t), each copy keeping its vertex's
};

struct Material {
    char name[256];
    char textureFile[256];
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float shininess;
    float transparency;
};

struct Light {
    float position[3];  // the file's (x, y, z) stored as (x, z, y)
    float color[3];
};

struct Camera {
    float position[3];  // the file's (x, y, z) stored as (x, z, y)
    float target[3];
    float bank;
    float lens;
};

struct Model {
    int32_t vertexTotal;
    int32_t faceTotal;
    float center[3];
    float boundsMin[3];
    float boundsMax[3];
    int32_t meshCount;
    Mesh* meshes;
    int32_t materialCount;
    Material* materials;
    int32_t lightCount;
    Light* lights;
    int32_t cameraCount;
    Camera* cameras;
};

// Reads a .3ds file into model, which is overwritten without being released.
// Returns 1 on success; 0 leaves the model empty.
int Load3ds(Model* model, const char* fileName);

// Releases every array of the model and leaves it empty.
void FreeModel(Model* model);
