#include "render/extensions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/offscreen_gl.h"

namespace {

// A table pointer by name and address, so that all 90 fit one list per group.
struct Slot {
    const char* name;
    const void* pointer;
};
// clang-format off
#define S(name) {#name, &ext::name}
const struct {
    int (*fetch)(GlProcLookup);
    std::vector<Slot> slots;
} kGroups[] = {{FetchMultitextureEntryPoints, {
    S(glActiveTextureARB), S(glClientActiveTextureARB), S(glMultiTexCoord1dARB),
    S(glMultiTexCoord1dvARB), S(glMultiTexCoord1fARB), S(glMultiTexCoord1fvARB),
    S(glMultiTexCoord1iARB), S(glMultiTexCoord1ivARB), S(glMultiTexCoord1sARB),
    S(glMultiTexCoord1svARB), S(glMultiTexCoord2dARB), S(glMultiTexCoord2dvARB),
    S(glMultiTexCoord2fARB), S(glMultiTexCoord2fvARB), S(glMultiTexCoord2iARB),
    S(glMultiTexCoord2ivARB), S(glMultiTexCoord2sARB), S(glMultiTexCoord2svARB),
    S(glMultiTexCoord3dARB), S(glMultiTexCoord3dvARB), S(glMultiTexCoord3fARB),
    S(glMultiTexCoord3fvARB), S(glMultiTexCoord3iARB), S(glMultiTexCoord3ivARB),
    S(glMultiTexCoord3sARB), S(glMultiTexCoord3svARB), S(glMultiTexCoord4dARB),
    S(glMultiTexCoord4dvARB), S(glMultiTexCoord4fARB), S(glMultiTexCoord4fvARB),
    S(glMultiTexCoord4iARB), S(glMultiTexCoord4ivARB), S(glMultiTexCoord4sARB),
    S(glMultiTexCoord4svARB)}},
{FetchVertexShaderEntryPoints, {
    S(glBeginVertexShaderEXT), S(glEndVertexShaderEXT), S(glBindVertexShaderEXT),
    S(glGenVertexShadersEXT), S(glDeleteVertexShaderEXT), S(glShaderOp1EXT), S(glShaderOp2EXT),
    S(glShaderOp3EXT), S(glSwizzleEXT), S(glWriteMaskEXT), S(glInsertComponentEXT),
    S(glExtractComponentEXT), S(glGenSymbolsEXT), S(glSetInvariantEXT), S(glSetLocalConstantEXT),
    S(glVariantbvEXT), S(glVariantsvEXT), S(glVariantivEXT), S(glVariantfvEXT), S(glVariantdvEXT),
    S(glVariantubvEXT), S(glVariantusvEXT), S(glVariantuivEXT), S(glVariantPointerEXT),
    S(glEnableVariantClientStateEXT), S(glDisableVariantClientStateEXT), S(glBindLightParameterEXT),
    S(glBindMaterialParameterEXT), S(glBindTexGenParameterEXT), S(glBindTextureUnitParameterEXT),
    S(glBindParameterEXT), S(glIsVariantEnabledEXT), S(glGetVariantBooleanvEXT),
    S(glGetVariantIntegervEXT), S(glGetVariantFloatvEXT), S(glGetVariantPointervEXT),
    S(glGetInvariantBooleanvEXT), S(glGetInvariantIntegervEXT), S(glGetInvariantFloatvEXT),
    S(glGetLocalConstantBooleanvEXT), S(glGetLocalConstantIntegervEXT),
    S(glGetLocalConstantFloatvEXT)}},
{FetchFragmentShaderEntryPoints, {
    S(glGenFragmentShadersATI), S(glBindFragmentShaderATI), S(glDeleteFragmentShaderATI),
    S(glBeginFragmentShaderATI), S(glEndFragmentShaderATI), S(glPassTexCoordATI), S(glSampleMapATI),
    S(glColorFragmentOp1ATI), S(glColorFragmentOp2ATI), S(glColorFragmentOp3ATI),
    S(glAlphaFragmentOp1ATI), S(glAlphaFragmentOp2ATI), S(glAlphaFragmentOp3ATI),
    S(glSetFragmentShaderConstantATI)}}};
#undef S
// clang-format on

uintptr_t Read(const Slot& slot) {
    uintptr_t value = 0;
    std::memcpy(&value, slot.pointer, sizeof(GlProc));
    return value;
}

// Hands out a distinct fake address per name asked for, null for one chosen name.
std::vector<std::string> requested;
std::string nameWithoutAddress;
GlProc RecordingLookup(const char* name) {
    requested.push_back(name);
    if (nameWithoutAddress == name) return nullptr;
    return reinterpret_cast<GlProc>(uintptr_t{0x10000} + 16 * requested.size());
}

// One test, so the tables are seen empty before any fetch in this process.
TEST(EntryPoints, NullUntilFetchedThenFilledPerGroupInOrder) {
    for (const auto& group : kGroups) {
        for (const Slot& slot : group.slots)
            EXPECT_EQ(Read(slot), 0u) << slot.name;
    }
    for (const auto& group : kGroups) {
        requested.clear();
        EXPECT_EQ(group.fetch(RecordingLookup), 1);
        ASSERT_EQ(requested.size(), group.slots.size());
        for (size_t i = 0; i < group.slots.size(); ++i) {
            EXPECT_EQ(requested[i], group.slots[i].name);
            EXPECT_EQ(Read(group.slots[i]), 0x10000 + 16 * (i + 1)) << group.slots[i].name;
        }
        // A null address is stored and reported, the rest still filled.
        requested.clear();
        nameWithoutAddress = group.slots[group.slots.size() / 2].name;
        EXPECT_EQ(group.fetch(RecordingLookup), 0) << nameWithoutAddress;
        EXPECT_EQ(Read(group.slots[group.slots.size() / 2]), 0u);
        EXPECT_NE(Read(group.slots[group.slots.size() - 1]), 0u);
        nameWithoutAddress.clear();
    }
}

TEST(ExtensionString, MatchesOnlyWholeEntries) {
    const char* const vs = "GL_EXT_vertex_shader";
    const struct {
        const char* extensions;
        const char* name;
        int expected;
    } cases[] = {
        {"GL_ARB_multitexture GL_EXT_vertex_shader GL_ATI_fragment_shader", vs, 1},
        {"GL_A GL_EXT_vertex_shader", vs, 1},        // last, nothing after it
        {"GL_A  GL_B", "GL_B", 1},                   // double space
        {"GL_EXT_vertex_shader2 GL_A", vs, 0},       // only as a prefix
        {"GL_A XGL_EXT_vertex_shader GL_B", vs, 0},  // only as a suffix
        {"GL_EXT_vertex_shaderGL_EXT_vertex_shader", vs, 0},
        {"GL_EXT_vertex_shader_x GL_B GL_EXT_vertex_shader GL_C", vs, 1},  // after a near miss
        {"GL_ARB_texture_cube_map_array GL_ARB_texture_cube", "GL_ARB_texture_cube_map", 0},
        {"", "GL_A", 0},
        {"GL_A GL_B", "", 0},
        {"GL_A GL_B", "GL_A GL_B", 0},  // a name holding a space is never an entry
        {nullptr, "GL_A", 0},
        {"GL_A", nullptr, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsExtensionInString(c.extensions, c.name), c.expected)
            << (c.extensions ? c.extensions : "(null)") << " / " << (c.name ? c.name : "(null)");
    }
}

TEST(ExtensionString, DriverStringOnOffscreenMesa) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    // Mesa lists GL_ARB_texture_cube_map_array beside GL_ARB_texture_cube_map.
    EXPECT_EQ(IsExtensionSupported("GL_ARB_texture_cube_map"), 1);
    EXPECT_EQ(IsExtensionSupported("GL_ARB_texture_cube"), 0);
    EXPECT_EQ(IsExtensionSupported("GL_ARB_multitexture GL_ARB_texture_cube_map"), 0);
}

}  // namespace
