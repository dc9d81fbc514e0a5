// One frame: sky box, bump-mapped model, overlay.
#include "app/app_state.h"
#include "app/rotation_math.h"
#include "render/extensions.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/gl_error.h"
#include "render/model_textures.h"
#include "render/overlay.h"
#include "render/renderer.h"
#include "render/vertex_shader_layer/layer.h"

namespace {

constexpr float kSkyBoxHalfEdge = 1024.0f;

// Each strip's corners as cube-map directions, counter-clockwise as seen from
// inside the box, so culling keeps them while the eye is inside.
constexpr float kSkyBoxStrips[6][4][3] = {
    {{1, -1, -1}, {1, -1, 1}, {1, 1, -1}, {1, 1, 1}},      // +X
    {{-1, -1, 1}, {-1, -1, -1}, {-1, 1, 1}, {-1, 1, -1}},  // -X
    {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}},      // +Y
    {{-1, -1, 1}, {1, -1, 1}, {-1, -1, -1}, {1, -1, -1}},  // -Y
    {{1, -1, 1}, {-1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},      // +Z
    {{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},  // -Z
};

struct ModelPassUnit {
    GLenum unit;
    GLenum target;
    const GLuint* texture;
};

// What the fragment program expects on each unit.
const ModelPassUnit kModelPassUnits[5] = {
    {GL_TEXTURE0_ARB, GL_TEXTURE_2D, &normalMapTexture},
    {GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP_ARB, &environmentCubeMap},  // reflection
    {GL_TEXTURE2_ARB, GL_TEXTURE_CUBE_MAP_ARB, &environmentCubeMap},  // see-through
    {GL_TEXTURE3_ARB, GL_TEXTURE_CUBE_MAP_ARB, &diffuseCubeMap},
    {GL_TEXTURE4_ARB, GL_TEXTURE_2D, &baseTexture},
};

// The eye in the model's object space: the origin carried through the
// inverse of the model-view matrix, which holds a rotation and a translation.
Vector4 EyeInObjectSpace() {
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.elements);
    InvertRigidMatrix(&modelView);
    Vector4 eye = {0.0f, 0.0f, 0.0f, 1.0f};
    TransformVector4(modelView, &eye);
    return eye;
}

const char* GlErrorText(GLenum error) {
    const GLubyte* text = gluErrorString(error);
    // GLU knows no text for codes outside its table; %s must not get null.
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown error";
}

}  // namespace

void DrawSkyBox() {
    for (const auto& strip : kSkyBoxStrips) {
        glBegin(GL_TRIANGLE_STRIP);
        for (const auto& corner : strip) {
            glTexCoord3f(corner[0], corner[1], corner[2]);
            glVertex3f(corner[0] * kSkyBoxHalfEdge, corner[1] * kSkyBoxHalfEdge,
                       corner[2] * kSkyBoxHalfEdge);
        }
        glEnd();
    }
}

void DrawModel(const Model& model, const GLuint* meshTextures) {
    // The base texture is bound on unit 4 on entry; a mesh of its own colour
    // rebinds only when its texture differs from the one bound.
    GLuint bound = baseTexture;
    for (int32_t i = 0; i < model.meshCount; ++i) {
        const Mesh& mesh = model.meshes[i];
        const GLuint wanted =
            (meshTextures != nullptr && meshTextures[i] != 0) ? meshTextures[i] : baseTexture;
        if (wanted != bound) {
            ext::glActiveTextureARB(GL_TEXTURE4_ARB);
            glBindTexture(GL_TEXTURE_2D, wanted);
            bound = wanted;
        }
        glVertexPointer(3, GL_FLOAT, 0, mesh.positions);
        glEnableClientState(GL_VERTEX_ARRAY);
        glNormalPointer(GL_FLOAT, 0, mesh.normals);
        glEnableClientState(GL_NORMAL_ARRAY);
        // Set 0 the mapping, set 1 the tangents, set 2 the binormals.
        if (mesh.texCoordCount != 0) {
            ext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
            glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            ext::glClientActiveTextureARB(GL_TEXTURE1_ARB);
            glTexCoordPointer(3, GL_FLOAT, 0, mesh.tangents);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            ext::glClientActiveTextureARB(GL_TEXTURE2_ARB);
            glTexCoordPointer(3, GL_FLOAT, 0, mesh.binormals);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glDrawElements(GL_TRIANGLES, 3 * mesh.faceCount, GL_UNSIGNED_SHORT, mesh.faces);
        if (mesh.texCoordCount != 0) {
            for (int set = 2; set >= 0; --set) {
                ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + set);
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            }
        }
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    // Give unit 4 back as the frame bound it.
    if (bound != baseTexture) {
        ext::glActiveTextureARB(GL_TEXTURE4_ARB);
        glBindTexture(GL_TEXTURE_2D, baseTexture);
    }
}

void RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, zoomOffset - 250.0f);

    // Pitch times yaw, rebuilt from the two angles every frame.
    Quaternion yaw;
    Quaternion pitch;
    QuaternionFromAxisAngle(&yaw, yawDegrees, 0.0f, 1.0f, 0.0f);
    QuaternionFromAxisAngle(&pitch, pitchDegrees, 1.0f, 0.0f, 0.0f);
    QuaternionMultiply(yaw, pitch, &rotationQuaternion);
    QuaternionToMatrix(&rotationQuaternion, &rotationMatrix);
    glMultMatrixf(rotationMatrix.elements);
    // Framed (key F): the model's centre, not its origin, sits where the view
    // turns. Unframed, the matrix is left exactly as it was.
    if (viewFramed) glTranslatef(-viewCentre[0], -viewCentre[1], -viewCentre[2]);

    // The shader's per-frame values, set before any shader is bound.
    const Vector4 eye = EyeInObjectSpace();
    const GLfloat eyePosition[4] = {eye.x, eye.y, eye.z, eye.w};
    ext::glSetInvariantEXT(eyePositionInvariant, GL_FLOAT, eyePosition);
    ext::glSetInvariantEXT(bumpScaleInvariant, GL_FLOAT, &bumpScale);

    // The sky box with the fixed-function pipeline on unit 0.
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, environmentCubeMap);
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glPushMatrix();
    DrawSkyBox();
    glPopMatrix();
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);

    // The model through both shaders.
    ext::glBindVertexShaderEXT(vertexShader);
    SetVertexShaderEnabled(1);
    ext::glBindFragmentShaderATI(fragmentShader);
    SetFragmentShaderEnabled(1);
    for (const ModelPassUnit& unit : kModelPassUnits) {
        ext::glActiveTextureARB(unit.unit);
        glBindTexture(unit.target, *unit.texture);
        glEnable(unit.target);
    }
    PrepareFragmentShaderForDraw();
    glPushMatrix();
    if (modelLoaded) DrawModel(model, MeshBaseTextures());
    glPopMatrix();
    for (int i = 4; i >= 0; --i) {
        ext::glActiveTextureARB(kModelPassUnits[i].unit);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    }
    SetFragmentShaderEnabled(0);
    SetVertexShaderEnabled(0);
    glPopMatrix();

    // The overlay's error line covers everything since the last frame's fetch.
    BeginOverlay(windowWidth, windowHeight, overlayScale);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const char* errorText = GlErrorText(FetchGlError());
    PrintText(0, 32, fontTexture, "Bump scale: %0.2f\n%s\nFPS: %0.1f",
              static_cast<double>(bumpScale), errorText, static_cast<double>(framesPerSecond));
    EndOverlay();
}
