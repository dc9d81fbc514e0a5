// model_info FILE [--summary]: loads a 3DS file with Load3ds and prints the
// model as one JSON object on stdout, its meshes as the viewer draws them:
// prepared, so a mesh with smoothing groups shows its split vertices (and
// its masks, "smoothing"), and one split past 65,535 vertices shows as
// several meshes. Exit status 0 when the load succeeded; otherwise it prints
// {"result":0} and exits 1. --summary leaves out the per-vertex arrays of
// every mesh (positions, mapping, normals, tangents, binormals); the faces
// and masks stay.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/model.h"

namespace {

// Names are raw bytes from the file. Each byte outside printable ASCII is
// written as the code point of the same value, so the output is plain ASCII
// JSON whatever the file holds.
void PrintString(const char* text, size_t capacity) {
    putchar('"');
    for (size_t i = 0; i < capacity && text[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
            printf("\\%c", c);
        else if (c < 0x20 || c >= 0x7F)
            printf("\\u%04x", c);
        else
            putchar(c);
    }
    putchar('"');
}

// Nine significant digits read back to the same float; JSON has no infinity
// or not-a-number, so those print as null.
void PrintFloat(float value) {
    if (std::isfinite(value))
        printf("%.9g", static_cast<double>(value));
    else
        fputs("null", stdout);
}

void PrintFloats(const char* key, const float* values, size_t count) {
    printf("\"%s\":[", key);
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) putchar(',');
        PrintFloat(values[i]);
    }
    putchar(']');
}

// An absent array prints as [].
void PrintFloatArray(const char* key, const float* values, size_t count) {
    PrintFloats(key, values, values != nullptr ? count : 0);
}

void PrintMesh(const Mesh& mesh, bool summary) {
    fputs("{\"name\":", stdout);
    PrintString(mesh.name, sizeof mesh.name);
    fputs(",\"materialName\":", stdout);
    PrintString(mesh.materialName, sizeof mesh.materialName);
    printf(",\"materialIndex\":%d,\"vertexCount\":%u,\"faceCount\":%u,\"texCoordCount\":%u,",
           static_cast<int>(mesh.materialIndex), static_cast<unsigned>(mesh.vertexCount),
           static_cast<unsigned>(mesh.faceCount), static_cast<unsigned>(mesh.texCoordCount));
    PrintFloats("center", mesh.center, 3);
    putchar(',');
    PrintFloats("boundsMin", mesh.boundsMin, 3);
    putchar(',');
    PrintFloats("boundsMax", mesh.boundsMax, 3);
    size_t vertexFloats = size_t{mesh.vertexCount} * 3;
    if (!summary) {
        putchar(',');
        PrintFloatArray("positions", mesh.positions, vertexFloats);
    }
    fputs(",\"faces\":[", stdout);
    for (size_t i = 0; mesh.faces != nullptr && i < size_t{mesh.faceCount} * 3; ++i)
        printf(i == 0 ? "%u" : ",%u", static_cast<unsigned>(mesh.faces[i]));
    putchar(']');
    for (size_t i = 0; mesh.smoothing != nullptr && i < mesh.faceCount; ++i)
        printf(i == 0 ? ",\"smoothing\":[%u" : ",%u", static_cast<unsigned>(mesh.smoothing[i]));
    if (mesh.smoothing != nullptr && mesh.faceCount != 0) putchar(']');
    if (!summary) {
        putchar(',');
        PrintFloatArray("texCoords", mesh.texCoords, size_t{mesh.texCoordCount} * 2);
        putchar(',');
        PrintFloatArray("normals", mesh.normals, vertexFloats);
        putchar(',');
        PrintFloatArray("tangents", mesh.tangents, vertexFloats);
        putchar(',');
        PrintFloatArray("binormals", mesh.binormals, vertexFloats);
    }
    putchar('}');
}

void PrintMaterial(const Material& material) {
    fputs("{\"name\":", stdout);
    PrintString(material.name, sizeof material.name);
    fputs(",\"textureFile\":", stdout);
    PrintString(material.textureFile, sizeof material.textureFile);
    putchar(',');
    PrintFloats("ambient", material.ambient, 3);
    putchar(',');
    PrintFloats("diffuse", material.diffuse, 3);
    putchar(',');
    PrintFloats("specular", material.specular, 3);
    fputs(",\"shininess\":", stdout);
    PrintFloat(material.shininess);
    fputs(",\"transparency\":", stdout);
    PrintFloat(material.transparency);
    putchar('}');
}

void PrintModel(const Model& model, bool summary) {
    printf("{\"result\":1,\"vertexTotal\":%d,\"faceTotal\":%d,",
           static_cast<int>(model.vertexTotal), static_cast<int>(model.faceTotal));
    PrintFloats("center", model.center, 3);
    putchar(',');
    PrintFloats("boundsMin", model.boundsMin, 3);
    putchar(',');
    PrintFloats("boundsMax", model.boundsMax, 3);
    fputs(",\"meshes\":[", stdout);
    for (int32_t i = 0; i < model.meshCount; ++i) {
        if (i != 0) putchar(',');
        PrintMesh(model.meshes[i], summary);
    }
    fputs("],\"materials\":[", stdout);
    for (int32_t i = 0; i < model.materialCount; ++i) {
        if (i != 0) putchar(',');
        PrintMaterial(model.materials[i]);
    }
    fputs("],\"lights\":[", stdout);
    for (int32_t i = 0; i < model.lightCount; ++i) {
        fputs(i != 0 ? ",{" : "{", stdout);
        PrintFloats("position", model.lights[i].position, 3);
        putchar(',');
        PrintFloats("color", model.lights[i].color, 3);
        putchar('}');
    }
    fputs("],\"cameras\":[", stdout);
    for (int32_t i = 0; i < model.cameraCount; ++i) {
        const Camera& camera = model.cameras[i];
        fputs(i != 0 ? ",{" : "{", stdout);
        PrintFloats("position", camera.position, 3);
        putchar(',');
        PrintFloats("target", camera.target, 3);
        fputs(",\"bank\":", stdout);
        PrintFloat(camera.bank);
        fputs(",\"lens\":", stdout);
        PrintFloat(camera.lens);
        putchar('}');
    }
    fputs("]}\n", stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bool summary = argc == 3 && strcmp(argv[2], "--summary") == 0;
    if (argc < 2 || (argc == 3 && !summary) || argc > 3) {
        fputs("usage: model_info FILE [--summary]\n", stderr);
        return 2;
    }
    Model model{};
    if (Load3ds(&model, argv[1]) != 1) {
        fputs("{\"result\":0}\n", stdout);
        return 1;
    }
    PrintModel(model, summary);
    FreeModel(&model);
    return 0;
}
