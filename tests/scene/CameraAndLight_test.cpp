// What a camera and a light load into OpenGL: the projection with its far plane at 256, the
// look-at view kept by the camera, and every parameter of a fixed-function light.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/k_Camera.h"
#include "scene/k_Light.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

class CameraAndLight : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        DrainErrors();
    }
};

Vector Light(GLenum light, GLenum parameter)
{
    Vector v;
    glGetLightfv(light, parameter, v.Data());
    return v;
}

float LightValue(GLenum light, GLenum parameter)
{
    float value = -1;
    glGetLightfv(light, parameter, &value);
    return value;
}

TEST_F(CameraAndLight, ApplyLoadsThePerspectiveUpTo256AndTheLookAtView)
{
    k_Camera camera(engine.get());
    camera.SetEye({1, 2, 3, 0});
    camera.SetTarget({1, 2, -7, 0});
    camera.SetFieldOfView(60);
    graphics->SetAspectRatio(2.0f);
    camera.Apply();

    Matrix projection;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    const float f = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f), n = 0.1f, far = 256.0f;
    EXPECT_NEAR(projection[0], f / 2.0f, 1e-4f);
    EXPECT_NEAR(projection[5], f, 1e-4f);
    EXPECT_NEAR(projection[10], (far + n) / (n - far), 1e-5f);
    EXPECT_NEAR(projection[14], 2 * far * n / (n - far), 1e-5f);
    EXPECT_EQ(projection[11], -1.0f);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    Matrix modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    EXPECT_EQ(Matrix(camera.GetViewMatrix()), modelView);
    const Vector eye = modelView * Vector(1, 2, 3, 1);
    const Vector ahead = modelView * Vector(1, 2, -7, 1);
    EXPECT_NEAR(eye.x, 0, 1e-4f);
    EXPECT_NEAR(eye.z, 0, 1e-4f);
    EXPECT_NEAR(ahead.x, 0, 1e-3f);
    EXPECT_NEAR(ahead.z, -10, 1e-3f);
    ExpectNoGlErrors();
}

TEST_F(CameraAndLight, LoadMatrixReplacesTheCurrentMatrix)
{
    k_Camera camera(engine.get());
    glMatrixMode(GL_MODELVIEW);
    const Matrix translation = Matrix::Translation(4, 5, 6);
    camera.LoadMatrix(translation.Data());
    Matrix current;
    glGetFloatv(GL_MODELVIEW_MATRIX, current.m);
    EXPECT_EQ(current, translation);
    ExpectNoGlErrors();
}

TEST_F(CameraAndLight, ANewLightIsAWhitePointLightWithoutSpot)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHT2);
    k_Light light(engine.get());
    light.Enable(2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_EQ(Light(GL_LIGHT2, GL_AMBIENT), Vector(0, 0, 0, 0));
    EXPECT_EQ(Light(GL_LIGHT2, GL_DIFFUSE), Vector(1, 1, 1, 1));
    EXPECT_EQ(Light(GL_LIGHT2, GL_SPECULAR), Vector(1, 1, 1, 1));
    EXPECT_EQ(Light(GL_LIGHT2, GL_POSITION), Vector(0, 0, 0, 1));
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_SPOT_CUTOFF), 180.0f);
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_SPOT_EXPONENT), 0.0f);
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_CONSTANT_ATTENUATION), 1.0f);
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_LINEAR_ATTENUATION), 0.0f);
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_QUADRATIC_ATTENUATION), 0.0f);
    ExpectNoGlErrors();
}

TEST_F(CameraAndLight, EveryParameterReachesItsGlLightAndThePositionFollowsTheView)
{
    k_Light light(engine.get());
    light.SetAmbient({0.1f, 0.2f, 0.3f, 0.4f});
    light.SetDiffuse({0.5f, 0.6f, 0.7f, 0.8f});
    light.SetSpecular({0.9f, 1, 0, 1});
    light.SetLightPosition({1, 2, 3, 1});
    light.SetSpot({0, -1, 0, 0}, 4, 30);
    light.SetAttenuation(2, 0.5f, 0.25f);

    Vector direction;
    float exponent = 0, cutoff = 0, constant = 0, linear = 0, quadratic = 0;
    light.GetSpot(direction, exponent, cutoff);
    light.GetAttenuation(constant, linear, quadratic);
    EXPECT_EQ(direction, Vector(0, -1, 0, 0));
    EXPECT_EQ(exponent, 4.0f);
    EXPECT_EQ(cutoff, 30.0f);
    EXPECT_EQ((std::vector<float>{constant, linear, quadratic}), (std::vector<float>{2, 0.5f, 0.25f}));

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(10, 0, 0);  // the view: positions are stored in eye coordinates
    light.Enable(0);
    EXPECT_EQ(Light(GL_LIGHT0, GL_AMBIENT), Vector(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(Light(GL_LIGHT0, GL_DIFFUSE), Vector(0.5f, 0.6f, 0.7f, 0.8f));
    EXPECT_EQ(Light(GL_LIGHT0, GL_SPECULAR), Vector(0.9f, 1, 0, 1));
    EXPECT_EQ(Light(GL_LIGHT0, GL_POSITION), Vector(11, 2, 3, 1));
    const Vector spot = Light(GL_LIGHT0, GL_SPOT_DIRECTION);
    EXPECT_EQ(spot.y, -1.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_EXPONENT), 4.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF), 30.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_CONSTANT_ATTENUATION), 2.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_LINEAR_ATTENUATION), 0.5f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_QUADRATIC_ATTENUATION), 0.25f);
    glLoadIdentity();
    ExpectNoGlErrors();
}

}  // namespace
