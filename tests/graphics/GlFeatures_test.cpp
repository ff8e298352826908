// The start-up check of the OpenGL features: what a driver reports against the demo's floor.
#include <gtest/gtest.h>

#include "graphics/GlFeatures.h"

namespace {

GlCapabilities Complete()
{
    GlCapabilities c;
    c.major = 4;
    c.minor = 5;
    c.glslMajor = 4;
    c.glslMinor = 50;
    c.extensions = "GL_ARB_multitexture GL_EXT_framebuffer_object GL_ARB_texture_float "
                   "GL_EXT_framebuffer_multisample GL_ARB_vertex_buffer_object";
    c.maxDrawBuffers = 8;
    c.floatTargetCompletes = true;
    return c;
}

// The demo's floor exactly: OpenGL 2.1, GLSL 1.20, the extensions.
GlCapabilities Floor()
{
    GlCapabilities c = Complete();
    c.major = 2;
    c.minor = 1;
    c.glslMajor = 1;
    c.glslMinor = 20;
    return c;
}

TEST(GlFeatures, AComplete2Point1DriverPasses)
{
    EXPECT_EQ(MissingGlFeature(Complete()), "");
    EXPECT_EQ(MissingGlFeature(Floor()), "");
}

TEST(GlFeatures, EachMissingFeatureIsNamed)
{
    GlCapabilities c = Complete();
    c.major = 1;
    c.minor = 4;
    EXPECT_EQ(MissingGlFeature(c), "OpenGL 2.1 is needed; this driver offers OpenGL 1.4.");
    c = Complete();
    c.major = 2;
    c.minor = 0;
    EXPECT_NE(MissingGlFeature(c).find("OpenGL 2.1"), std::string::npos);

    c = Complete();
    c.glslMajor = 1;
    c.glslMinor = 10;
    EXPECT_EQ(MissingGlFeature(c), "GLSL 1.20 is needed; this driver offers GLSL 1.10.");

    const char* const extensions[][2] = {
        {"GL_EXT_framebuffer_object", "frame buffer objects"},
        {"GL_ARB_texture_float", "float textures"},
        {"GL_EXT_framebuffer_multisample", "multisampled render buffers"},
    };
    for (const auto& [name, feature] : extensions) {
        c = Complete();
        const size_t at = c.extensions.find(name);
        c.extensions.erase(at, std::string(name).size());
        EXPECT_EQ(MissingGlFeature(c), std::string("The driver lacks ") + feature + " (" + name + ").");
    }
}

TEST(GlFeatures, WhatTheDemoDrawsWithIsChecked)
{
    GlCapabilities c = Complete();
    c.maxDrawBuffers = 1;  // all that GL 2.x promises
    EXPECT_EQ(MissingGlFeature(c), "2 draw buffers are needed; this driver offers 1 (GL_MAX_DRAW_BUFFERS).");
    c.maxDrawBuffers = 2;
    EXPECT_EQ(MissingGlFeature(c), "");
    c.floatTargetCompletes = false;
    EXPECT_EQ(MissingGlFeature(c),
              "The driver cannot draw into a float frame buffer (GL_RGBA32F colour attachment incomplete).");
}

TEST(GlFeatures, TheVoxelSceneNeedsGlsl150GeometryStagesAndIntegerTextures)
{
    EXPECT_EQ(MissingVoxelFeature(Complete()), "");
    GlCapabilities c = Floor();
    EXPECT_EQ(MissingGlFeature(c), "") << "enough for the demo";
    EXPECT_EQ(MissingVoxelFeature(c), "GLSL 1.50 is needed; this driver offers GLSL 1.20.");
    c.glslMinor = 50;
    EXPECT_EQ(MissingVoxelFeature(c), "The driver lacks geometry shaders (OpenGL 3.2 or GL_ARB_geometry_shader4).");
    c.extensions += " GL_EXT_geometry_shader4";
    EXPECT_EQ(MissingVoxelFeature(c), "The driver lacks integer textures (OpenGL 3.0 or GL_EXT_texture_integer).");
    c.extensions += " GL_EXT_texture_integer";
    EXPECT_EQ(MissingVoxelFeature(c), "");
    c = Complete();
    c.major = 3;
    c.minor = 1;
    EXPECT_EQ(MissingVoxelFeature(c), "The driver lacks geometry shaders (OpenGL 3.2 or GL_ARB_geometry_shader4).");
}

TEST(GlFeatures, AnExtensionNameMustMatchWhole)
{
    GlCapabilities c = Complete();
    // A longer name that merely starts or ends with the wanted one does not count.
    c.extensions = "GL_EXT_framebuffer_object_x XGL_ARB_texture_float GL_EXT_framebuffer_multisample "
                   "GL_ARB_texture_float";
    EXPECT_EQ(MissingGlFeature(c), "The driver lacks frame buffer objects (GL_EXT_framebuffer_object).");
}

TEST(GlFeatures, NothingReportedIsRefused)
{
    // What a failed query leaves behind (no version string at all).
    EXPECT_NE(MissingGlFeature(GlCapabilities{}), "");
}

}  // namespace
