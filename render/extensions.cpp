#include "render/extensions.h"

#include <cstring>

namespace ext {

PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD1DARBPROC glMultiTexCoord1dARB = nullptr;
PFNGLMULTITEXCOORD1DVARBPROC glMultiTexCoord1dvARB = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB = nullptr;
PFNGLMULTITEXCOORD1IARBPROC glMultiTexCoord1iARB = nullptr;
PFNGLMULTITEXCOORD1IVARBPROC glMultiTexCoord1ivARB = nullptr;
PFNGLMULTITEXCOORD1SARBPROC glMultiTexCoord1sARB = nullptr;
PFNGLMULTITEXCOORD1SVARBPROC glMultiTexCoord1svARB = nullptr;
PFNGLMULTITEXCOORD2DARBPROC glMultiTexCoord2dARB = nullptr;
PFNGLMULTITEXCOORD2DVARBPROC glMultiTexCoord2dvARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;
PFNGLMULTITEXCOORD2IARBPROC glMultiTexCoord2iARB = nullptr;
PFNGLMULTITEXCOORD2IVARBPROC glMultiTexCoord2ivARB = nullptr;
PFNGLMULTITEXCOORD2SARBPROC glMultiTexCoord2sARB = nullptr;
PFNGLMULTITEXCOORD2SVARBPROC glMultiTexCoord2svARB = nullptr;
PFNGLMULTITEXCOORD3DARBPROC glMultiTexCoord3dARB = nullptr;
PFNGLMULTITEXCOORD3DVARBPROC glMultiTexCoord3dvARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB = nullptr;
PFNGLMULTITEXCOORD3IARBPROC glMultiTexCoord3iARB = nullptr;
PFNGLMULTITEXCOORD3IVARBPROC glMultiTexCoord3ivARB = nullptr;
PFNGLMULTITEXCOORD3SARBPROC glMultiTexCoord3sARB = nullptr;
PFNGLMULTITEXCOORD3SVARBPROC glMultiTexCoord3svARB = nullptr;
PFNGLMULTITEXCOORD4DARBPROC glMultiTexCoord4dARB = nullptr;
PFNGLMULTITEXCOORD4DVARBPROC glMultiTexCoord4dvARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB = nullptr;
PFNGLMULTITEXCOORD4IARBPROC glMultiTexCoord4iARB = nullptr;
PFNGLMULTITEXCOORD4IVARBPROC glMultiTexCoord4ivARB = nullptr;
PFNGLMULTITEXCOORD4SARBPROC glMultiTexCoord4sARB = nullptr;
PFNGLMULTITEXCOORD4SVARBPROC glMultiTexCoord4svARB = nullptr;

PFNGLBEGINVERTEXSHADEREXTPROC glBeginVertexShaderEXT = nullptr;
PFNGLENDVERTEXSHADEREXTPROC glEndVertexShaderEXT = nullptr;
PFNGLBINDVERTEXSHADEREXTPROC glBindVertexShaderEXT = nullptr;
PFNGLGENVERTEXSHADERSEXTPROC glGenVertexShadersEXT = nullptr;
PFNGLDELETEVERTEXSHADEREXTPROC glDeleteVertexShaderEXT = nullptr;
PFNGLSHADEROP1EXTPROC glShaderOp1EXT = nullptr;
PFNGLSHADEROP2EXTPROC glShaderOp2EXT = nullptr;
PFNGLSHADEROP3EXTPROC glShaderOp3EXT = nullptr;
PFNGLSWIZZLEEXTPROC glSwizzleEXT = nullptr;
PFNGLWRITEMASKEXTPROC glWriteMaskEXT = nullptr;
PFNGLINSERTCOMPONENTEXTPROC glInsertComponentEXT = nullptr;
PFNGLEXTRACTCOMPONENTEXTPROC glExtractComponentEXT = nullptr;
PFNGLGENSYMBOLSEXTPROC glGenSymbolsEXT = nullptr;
PFNGLSETINVARIANTEXTPROC glSetInvariantEXT = nullptr;
PFNGLSETLOCALCONSTANTEXTPROC glSetLocalConstantEXT = nullptr;
PFNGLVARIANTBVEXTPROC glVariantbvEXT = nullptr;
PFNGLVARIANTSVEXTPROC glVariantsvEXT = nullptr;
PFNGLVARIANTIVEXTPROC glVariantivEXT = nullptr;
PFNGLVARIANTFVEXTPROC glVariantfvEXT = nullptr;
PFNGLVARIANTDVEXTPROC glVariantdvEXT = nullptr;
PFNGLVARIANTUBVEXTPROC glVariantubvEXT = nullptr;
PFNGLVARIANTUSVEXTPROC glVariantusvEXT = nullptr;
PFNGLVARIANTUIVEXTPROC glVariantuivEXT = nullptr;
PFNGLVARIANTPOINTEREXTPROC glVariantPointerEXT = nullptr;
PFNGLENABLEVARIANTCLIENTSTATEEXTPROC glEnableVariantClientStateEXT = nullptr;
PFNGLDISABLEVARIANTCLIENTSTATEEXTPROC glDisableVariantClientStateEXT = nullptr;
PFNGLBINDLIGHTPARAMETEREXTPROC glBindLightParameterEXT = nullptr;
PFNGLBINDMATERIALPARAMETEREXTPROC glBindMaterialParameterEXT = nullptr;
PFNGLBINDTEXGENPARAMETEREXTPROC glBindTexGenParameterEXT = nullptr;
PFNGLBINDTEXTUREUNITPARAMETEREXTPROC glBindTextureUnitParameterEXT = nullptr;
PFNGLBINDPARAMETEREXTPROC glBindParameterEXT = nullptr;
PFNGLISVARIANTENABLEDEXTPROC glIsVariantEnabledEXT = nullptr;
PFNGLGETVARIANTBOOLEANVEXTPROC glGetVariantBooleanvEXT = nullptr;
PFNGLGETVARIANTINTEGERVEXTPROC glGetVariantIntegervEXT = nullptr;
PFNGLGETVARIANTFLOATVEXTPROC glGetVariantFloatvEXT = nullptr;
PFNGLGETVARIANTPOINTERVEXTPROC glGetVariantPointervEXT = nullptr;
PFNGLGETINVARIANTBOOLEANVEXTPROC glGetInvariantBooleanvEXT = nullptr;
PFNGLGETINVARIANTINTEGERVEXTPROC glGetInvariantIntegervEXT = nullptr;
PFNGLGETINVARIANTFLOATVEXTPROC glGetInvariantFloatvEXT = nullptr;
PFNGLGETLOCALCONSTANTBOOLEANVEXTPROC glGetLocalConstantBooleanvEXT = nullptr;
PFNGLGETLOCALCONSTANTINTEGERVEXTPROC glGetLocalConstantIntegervEXT = nullptr;
PFNGLGETLOCALCONSTANTFLOATVEXTPROC glGetLocalConstantFloatvEXT = nullptr;

PFNGLGENFRAGMENTSHADERSATIPROC glGenFragmentShadersATI = nullptr;
PFNGLBINDFRAGMENTSHADERATIPROC glBindFragmentShaderATI = nullptr;
PFNGLDELETEFRAGMENTSHADERATIPROC glDeleteFragmentShaderATI = nullptr;
PFNGLBEGINFRAGMENTSHADERATIPROC glBeginFragmentShaderATI = nullptr;
PFNGLENDFRAGMENTSHADERATIPROC glEndFragmentShaderATI = nullptr;
PFNGLPASSTEXCOORDATIPROC glPassTexCoordATI = nullptr;
PFNGLSAMPLEMAPATIPROC glSampleMapATI = nullptr;
PFNGLCOLORFRAGMENTOP1ATIPROC glColorFragmentOp1ATI = nullptr;
PFNGLCOLORFRAGMENTOP2ATIPROC glColorFragmentOp2ATI = nullptr;
PFNGLCOLORFRAGMENTOP3ATIPROC glColorFragmentOp3ATI = nullptr;
PFNGLALPHAFRAGMENTOP1ATIPROC glAlphaFragmentOp1ATI = nullptr;
PFNGLALPHAFRAGMENTOP2ATIPROC glAlphaFragmentOp2ATI = nullptr;
PFNGLALPHAFRAGMENTOP3ATIPROC glAlphaFragmentOp3ATI = nullptr;
PFNGLSETFRAGMENTSHADERCONSTANTATIPROC glSetFragmentShaderConstantATI = nullptr;

}  // namespace ext

namespace {

// Stores the looked-up address and counts a null one.
template <typename EntryPoint>
void FetchEntryPoint(GlProcLookup lookup, const char* name, EntryPoint* entryPoint, int* missing) {
    GlProc address = lookup(name);
    *entryPoint = reinterpret_cast<EntryPoint>(address);
    if (address == nullptr) ++*missing;
}

// The string and the pointer come from one name, so they cannot drift apart.
#define FETCH_ENTRY_POINT(name) FetchEntryPoint(lookup, #name, &ext::name, &missing)

// A name that is empty or holds a space can never be one entry of the list.
bool IsValidExtensionName(const char* name) {
    return name != nullptr && name[0] != '\0' && std::strchr(name, ' ') == nullptr;
}

}  // namespace

int FetchMultitextureEntryPoints(GlProcLookup lookup) {
    int missing = 0;
    FETCH_ENTRY_POINT(glActiveTextureARB);
    FETCH_ENTRY_POINT(glClientActiveTextureARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1dARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1dvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1fARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1fvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1iARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1ivARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1sARB);
    FETCH_ENTRY_POINT(glMultiTexCoord1svARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2dARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2dvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2fARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2fvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2iARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2ivARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2sARB);
    FETCH_ENTRY_POINT(glMultiTexCoord2svARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3dARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3dvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3fARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3fvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3iARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3ivARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3sARB);
    FETCH_ENTRY_POINT(glMultiTexCoord3svARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4dARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4dvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4fARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4fvARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4iARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4ivARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4sARB);
    FETCH_ENTRY_POINT(glMultiTexCoord4svARB);
    return missing == 0 ? 1 : 0;
}

int FetchVertexShaderEntryPoints(GlProcLookup lookup) {
    int missing = 0;
    FETCH_ENTRY_POINT(glBeginVertexShaderEXT);
    FETCH_ENTRY_POINT(glEndVertexShaderEXT);
    FETCH_ENTRY_POINT(glBindVertexShaderEXT);
    FETCH_ENTRY_POINT(glGenVertexShadersEXT);
    FETCH_ENTRY_POINT(glDeleteVertexShaderEXT);
    FETCH_ENTRY_POINT(glShaderOp1EXT);
    FETCH_ENTRY_POINT(glShaderOp2EXT);
    FETCH_ENTRY_POINT(glShaderOp3EXT);
    FETCH_ENTRY_POINT(glSwizzleEXT);
    FETCH_ENTRY_POINT(glWriteMaskEXT);
    FETCH_ENTRY_POINT(glInsertComponentEXT);
    FETCH_ENTRY_POINT(glExtractComponentEXT);
    FETCH_ENTRY_POINT(glGenSymbolsEXT);
    FETCH_ENTRY_POINT(glSetInvariantEXT);
    FETCH_ENTRY_POINT(glSetLocalConstantEXT);
    FETCH_ENTRY_POINT(glVariantbvEXT);
    FETCH_ENTRY_POINT(glVariantsvEXT);
    FETCH_ENTRY_POINT(glVariantivEXT);
    FETCH_ENTRY_POINT(glVariantfvEXT);
    FETCH_ENTRY_POINT(glVariantdvEXT);
    FETCH_ENTRY_POINT(glVariantubvEXT);
    FETCH_ENTRY_POINT(glVariantusvEXT);
    FETCH_ENTRY_POINT(glVariantuivEXT);
    FETCH_ENTRY_POINT(glVariantPointerEXT);
    FETCH_ENTRY_POINT(glEnableVariantClientStateEXT);
    FETCH_ENTRY_POINT(glDisableVariantClientStateEXT);
    FETCH_ENTRY_POINT(glBindLightParameterEXT);
    FETCH_ENTRY_POINT(glBindMaterialParameterEXT);
    FETCH_ENTRY_POINT(glBindTexGenParameterEXT);
    FETCH_ENTRY_POINT(glBindTextureUnitParameterEXT);
    FETCH_ENTRY_POINT(glBindParameterEXT);
    FETCH_ENTRY_POINT(glIsVariantEnabledEXT);
    FETCH_ENTRY_POINT(glGetVariantBooleanvEXT);
    FETCH_ENTRY_POINT(glGetVariantIntegervEXT);
    FETCH_ENTRY_POINT(glGetVariantFloatvEXT);
    FETCH_ENTRY_POINT(glGetVariantPointervEXT);
    FETCH_ENTRY_POINT(glGetInvariantBooleanvEXT);
    FETCH_ENTRY_POINT(glGetInvariantIntegervEXT);
    FETCH_ENTRY_POINT(glGetInvariantFloatvEXT);
    FETCH_ENTRY_POINT(glGetLocalConstantBooleanvEXT);
    FETCH_ENTRY_POINT(glGetLocalConstantIntegervEXT);
    FETCH_ENTRY_POINT(glGetLocalConstantFloatvEXT);
    return missing == 0 ? 1 : 0;
}

int FetchFragmentShaderEntryPoints(GlProcLookup lookup) {
    int missing = 0;
    FETCH_ENTRY_POINT(glGenFragmentShadersATI);
    FETCH_ENTRY_POINT(glBindFragmentShaderATI);
    FETCH_ENTRY_POINT(glDeleteFragmentShaderATI);
    FETCH_ENTRY_POINT(glBeginFragmentShaderATI);
    FETCH_ENTRY_POINT(glEndFragmentShaderATI);
    FETCH_ENTRY_POINT(glPassTexCoordATI);
    FETCH_ENTRY_POINT(glSampleMapATI);
    FETCH_ENTRY_POINT(glColorFragmentOp1ATI);
    FETCH_ENTRY_POINT(glColorFragmentOp2ATI);
    FETCH_ENTRY_POINT(glColorFragmentOp3ATI);
    FETCH_ENTRY_POINT(glAlphaFragmentOp1ATI);
    FETCH_ENTRY_POINT(glAlphaFragmentOp2ATI);
    FETCH_ENTRY_POINT(glAlphaFragmentOp3ATI);
    FETCH_ENTRY_POINT(glSetFragmentShaderConstantATI);
    return missing == 0 ? 1 : 0;
}

#undef FETCH_ENTRY_POINT

int IsExtensionInString(const char* extensions, const char* name) {
    if (!IsValidExtensionName(name) || extensions == nullptr) return 0;
    size_t nameLength = std::strlen(name);
    const char* searchStart = extensions;
    for (;;) {
        const char* found = std::strstr(searchStart, name);
        if (found == nullptr) return 0;
        const char* terminator = found + nameLength;
        // A match must be a whole entry: a prefix of a longer name or the tail
        // of one ("GL_EXT_vertex_shader" in "GL_EXT_vertex_shader2") is not.
        // Only the start of the whole list counts as an entry start; after a
        // failed match the search resumes in the middle of an entry.
        bool startsEntry = found == extensions || found[-1] == ' ';
        bool endsEntry = *terminator == ' ' || *terminator == '\0';
        if (startsEntry && endsEntry) return 1;
        searchStart = terminator;
    }
}

int IsExtensionSupported(const char* name) {
    if (!IsValidExtensionName(name)) return 0;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return IsExtensionInString(extensions, name);
}

ExtensionSource ChooseExtensionSource(const char* name, const char* baseName,
                                      int (*fetch)(GlProcLookup), GlProcLookup layerLookup,
                                      int (*prepareLayer)(), GlProcLookup driverLookup) {
    if (IsExtensionSupported(name)) {
        fetch(driverLookup);
        return kExtensionNative;
    }
    if (!IsExtensionSupported(baseName) || !prepareLayer()) return kExtensionMissing;
    fetch(layerLookup);
    return kExtensionLayer;
}
