#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/extensions.h"
#include "tests/render/render_test_context.h"

namespace {

// Reads one table pointer as an integer, so that all 90 fit one list.
struct EntryPointSlot {
    const char* name;
    uintptr_t (*read)();
};

#define SLOT(name)                                                   \
    {                                                                \
#name, [] { return reinterpret_cast<uintptr_t>(ext::name); } \
    }

const EntryPointSlot kMultitexture[] = {
    SLOT(glActiveTextureARB),    SLOT(glClientActiveTextureARB), SLOT(glMultiTexCoord1dARB),
    SLOT(glMultiTexCoord1dvARB), SLOT(glMultiTexCoord1fARB),     SLOT(glMultiTexCoord1fvARB),
    SLOT(glMultiTexCoord1iARB),  SLOT(glMultiTexCoord1ivARB),    SLOT(glMultiTexCoord1sARB),
    SLOT(glMultiTexCoord1svARB), SLOT(glMultiTexCoord2dARB),     SLOT(glMultiTexCoord2dvARB),
    SLOT(glMultiTexCoord2fARB),  SLOT(glMultiTexCoord2fvARB),    SLOT(glMultiTexCoord2iARB),
    SLOT(glMultiTexCoord2ivARB), SLOT(glMultiTexCoord2sARB),     SLOT(glMultiTexCoord2svARB),
    SLOT(glMultiTexCoord3dARB),  SLOT(glMultiTexCoord3dvARB),    SLOT(glMultiTexCoord3fARB),
    SLOT(glMultiTexCoord3fvARB), SLOT(glMultiTexCoord3iARB),     SLOT(glMultiTexCoord3ivARB),
    SLOT(glMultiTexCoord3sARB),  SLOT(glMultiTexCoord3svARB),    SLOT(glMultiTexCoord4dARB),
    SLOT(glMultiTexCoord4dvARB), SLOT(glMultiTexCoord4fARB),     SLOT(glMultiTexCoord4fvARB),
    SLOT(glMultiTexCoord4iARB),  SLOT(glMultiTexCoord4ivARB),    SLOT(glMultiTexCoord4sARB),
    SLOT(glMultiTexCoord4svARB),
};

const EntryPointSlot kVertexShader[] = {
    SLOT(glBeginVertexShaderEXT),
    SLOT(glEndVertexShaderEXT),
    SLOT(glBindVertexShaderEXT),
    SLOT(glGenVertexShadersEXT),
    SLOT(glDeleteVertexShaderEXT),
    SLOT(glShaderOp1EXT),
    SLOT(glShaderOp2EXT),
    SLOT(glShaderOp3EXT),
    SLOT(glSwizzleEXT),
    SLOT(glWriteMaskEXT),
    SLOT(glInsertComponentEXT),
    SLOT(glExtractComponentEXT),
    SLOT(glGenSymbolsEXT),
    SLOT(glSetInvariantEXT),
    SLOT(glSetLocalConstantEXT),
    SLOT(glVariantbvEXT),
    SLOT(glVariantsvEXT),
    SLOT(glVariantivEXT),
    SLOT(glVariantfvEXT),
    SLOT(glVariantdvEXT),
    SLOT(glVariantubvEXT),
    SLOT(glVariantusvEXT),
    SLOT(glVariantuivEXT),
    SLOT(glVariantPointerEXT),
    SLOT(glEnableVariantClientStateEXT),
    SLOT(glDisableVariantClientStateEXT),
    SLOT(glBindLightParameterEXT),
    SLOT(glBindMaterialParameterEXT),
    SLOT(glBindTexGenParameterEXT),
    SLOT(glBindTextureUnitParameterEXT),
    SLOT(glBindParameterEXT),
    SLOT(glIsVariantEnabledEXT),
    SLOT(glGetVariantBooleanvEXT),
    SLOT(glGetVariantIntegervEXT),
    SLOT(glGetVariantFloatvEXT),
    SLOT(glGetVariantPointervEXT),
    SLOT(glGetInvariantBooleanvEXT),
    SLOT(glGetInvariantIntegervEXT),
    SLOT(glGetInvariantFloatvEXT),
    SLOT(glGetLocalConstantBooleanvEXT),
    SLOT(glGetLocalConstantIntegervEXT),
    SLOT(glGetLocalConstantFloatvEXT),
};

const EntryPointSlot kFragmentShader[] = {
    SLOT(glGenFragmentShadersATI),
    SLOT(glBindFragmentShaderATI),
    SLOT(glDeleteFragmentShaderATI),
    SLOT(glBeginFragmentShaderATI),
    SLOT(glEndFragmentShaderATI),
    SLOT(glPassTexCoordATI),
    SLOT(glSampleMapATI),
    SLOT(glColorFragmentOp1ATI),
    SLOT(glColorFragmentOp2ATI),
    SLOT(glColorFragmentOp3ATI),
    SLOT(glAlphaFragmentOp1ATI),
    SLOT(glAlphaFragmentOp2ATI),
    SLOT(glAlphaFragmentOp3ATI),
    SLOT(glSetFragmentShaderConstantATI),
};

#undef SLOT

struct Group {
    const char* extension;
    int (*fetch)(GlProcLookup);
    const EntryPointSlot* slots;
    size_t count;
};

const Group kGroups[] = {
    {"GL_ARB_multitexture", FetchMultitextureEntryPoints, kMultitexture, std::size(kMultitexture)},
    {"GL_EXT_vertex_shader", FetchVertexShaderEntryPoints, kVertexShader, std::size(kVertexShader)},
    {"GL_ATI_fragment_shader", FetchFragmentShaderEntryPoints, kFragmentShader,
     std::size(kFragmentShader)},
};

// A lookup that records the names asked for and hands out a distinct fake
// address per call; it can be told to answer null for one name.
std::vector<std::string> requestedNames;
std::string nameWithoutAddress;

GlProc RecordingLookup(const char* name) {
    requestedNames.push_back(name);
    if (nameWithoutAddress == name) return nullptr;
    return reinterpret_cast<GlProc>(uintptr_t{0x10000} + 16 * requestedNames.size());
}

// Must stay the first test of this file: the table starts out empty only once
// per process (ctest runs each test in a process of its own).
TEST(EntryPoints, AllNullBeforeFetching) {
    size_t total = 0;
    for (const Group& group : kGroups) {
        total += group.count;
        for (size_t i = 0; i < group.count; ++i) {
            EXPECT_EQ(group.slots[i].read(), uintptr_t{0}) << group.slots[i].name;
        }
    }
    EXPECT_EQ(std::size(kMultitexture), 34u);
    EXPECT_EQ(std::size(kVertexShader), 42u);
    EXPECT_EQ(std::size(kFragmentShader), 14u);
    EXPECT_EQ(total, 90u);
}

TEST(EntryPoints, EachGroupFetchesItsNamesInOrderIntoItsOwnPointers) {
    for (const Group& group : kGroups) {
        requestedNames.clear();
        nameWithoutAddress.clear();
        EXPECT_EQ(group.fetch(RecordingLookup), 1) << group.extension;
        ASSERT_EQ(requestedNames.size(), group.count) << group.extension;
        for (size_t i = 0; i < group.count; ++i) {
            EXPECT_EQ(requestedNames[i], group.slots[i].name) << group.extension;
            EXPECT_EQ(group.slots[i].read(), uintptr_t{0x10000} + 16 * (i + 1))
                << group.slots[i].name;
        }
    }
}

TEST(EntryPoints, NullAddressIsStoredAndReported) {
    for (const Group& group : kGroups) {
        requestedNames.clear();
        nameWithoutAddress = group.slots[group.count / 2].name;
        EXPECT_EQ(group.fetch(RecordingLookup), 0) << group.extension;
        EXPECT_EQ(group.slots[group.count / 2].read(), uintptr_t{0}) << group.extension;
        EXPECT_NE(group.slots[group.count - 1].read(), uintptr_t{0}) << group.extension;
    }
    nameWithoutAddress.clear();
}

TEST(EntryPoints, DriverEntryPointsAreCallable) {
    ASSERT_TRUE(MakeRenderTestContextCurrent());
    ASSERT_EQ(FetchMultitextureEntryPoints(), 1);
    ASSERT_EQ(FetchFragmentShaderEntryPoints(), 1);
    ext::glActiveTextureARB(GL_TEXTURE2_ARB);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE2_ARB);
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);

    GLuint shader = ext::glGenFragmentShadersATI(1);
    EXPECT_NE(shader, 0u);
    ext::glDeleteFragmentShaderATI(shader);
    EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

}  // namespace
