// Keyframe animation and bones: interpolation and clamping, the Euler rotation, bind matrices,
// the skeleton's bone map and palette, two- and three-bone chains posed by their animations, and
// the transform cache.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "math/Quaternion.h"
#include "scene/RowMatrix.h"
#include "scene/k_Bone.h"
#include "scene/k_TransformationAnimation.h"

namespace {

void ExpectNear(const Vector& actual, const Vector& expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

// The point p moved by the animation at time t.
Vector Moved(k_TransformationAnimation& animation, float t, const Vector& p)
{
    Matrix m;
    return RowTransform(animation.Evaluate(m, t), p);
}

TEST(TransformationAnimation, InterpolatesBetweenKeysAndClampsOutside)
{
    k_TransformationAnimation animation(nullptr, L"walk");
    animation.AddKey(AnimationKey::Make(AnimationKey::Translation, 3, 10, 0, 0));
    animation.AddKey(AnimationKey::Make(AnimationKey::Translation, 1, 0, 0, 0));
    const struct {
        float time, x;
    } cases[] = {{-5, 0}, {0, 0}, {1, 0}, {1.5f, 2.5f}, {2, 5}, {3, 10}, {4, 10}};
    for (const auto& c : cases)
        EXPECT_NEAR(Moved(animation, c.time, Vector::Point(0, 0, 0)).x, c.x, 1e-5f) << "t = " << c.time;

    // A key at an existing time replaces the earlier one.
    animation.AddKey(AnimationKey::Make(AnimationKey::Translation, 3, 20, 0, 0));
    EXPECT_NEAR(Moved(animation, 2, Vector::Point(0, 0, 0)).x, 10, 1e-5f);
    EXPECT_EQ(animation.GetName(), L"walk");
}

TEST(TransformationAnimation, DurationIsTheLatestKeyOfAnyChannel)
{
    k_TransformationAnimation animation(nullptr, L"a");
    EXPECT_EQ(animation.GetDuration(), 0);
    animation.AddKey(AnimationKey::Make(AnimationKey::Translation, -2, 0, 0, 0));
    EXPECT_EQ(animation.GetDuration(), 0) << "never negative";
    animation.AddKey(AnimationKey::Make(AnimationKey::Translation, 3, 0, 0, 0));
    animation.AddKey(AnimationKey::Make(AnimationKey::Scale, 7, 1, 1, 1));
    animation.AddKey(AnimationKey::Make(AnimationKey::Rotation, 5, 0, 0, 0));
    EXPECT_EQ(animation.GetDuration(), 7);
}

TEST(TransformationAnimation, RotatesThenTranslatesThenScales)
{
    k_TransformationAnimation turn(nullptr, L"turn");
    turn.AddKey(AnimationKey::Make(AnimationKey::Rotation, 0, 0, 0, 90));
    ExpectNear(Moved(turn, 0, Vector::Point(1, 0, 0)), Vector::Point(0, 1, 0), "z by 90");

    // x first, then y, then z, applied right to left: Rx * Ry * Rz.
    k_TransformationAnimation euler(nullptr, L"euler");
    euler.AddKey(AnimationKey::Make(AnimationKey::Rotation, 0, 90, 90, 0));
    ExpectNear(Moved(euler, 0, Vector::Point(1, 0, 0)), Vector::Point(0, 1, 0), "y then x");

    k_TransformationAnimation all(nullptr, L"all");
    all.AddKey(AnimationKey::Make(AnimationKey::Rotation, 0, 0, 0, 90));
    all.AddKey(AnimationKey::Make(AnimationKey::Translation, 0, 1, 2, 3));
    all.AddKey(AnimationKey::Make(AnimationKey::Scale, 0, 2, 2, 2));
    ExpectNear(Moved(all, 0, Vector::Point(1, 0, 0)), Vector::Point(2, 6, 6), "the translation is scaled too");
}

class Skeleton : public ::testing::Test {
protected:
    k_Bone* Make(int index, Vector position, Quaternion rotation = Quaternion(0, 0, 0, 1))
    {
        const float scale[3] = {1, 1, 1};
        bones.push_back(std::make_unique<k_Bone>(nullptr, L"bone" + std::to_wstring(index), index, position.Data(),
                                                 scale, rotation));
        return bones.back().get();
    }
    std::vector<std::unique_ptr<k_Bone>> bones;
};

TEST_F(Skeleton, BindMatrixTimesItsInverseIsTheIdentity)
{
    const float scale[3] = {2, 0.5f, 3};
    const Quaternion turn = Quaternion::FromAxisAngle(Vector::Direction(1, 2, 3), 37);
    k_Bone bone(nullptr, L"hip", 0, Vector::Point(1, -2, 5).Data(), scale, turn);
    const Matrix product = RowProduct(*bone.GetBindMatrix(), bone.GetInverseBindMatrix());
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1 : 0, 1e-5f) << "element " << i;
    // Row view: the translation stands in elements 3, 7, 11.
    const Matrix placed = *Make(1, Vector::Point(4, 5, 6))->GetBindMatrix();
    EXPECT_EQ(placed[3], 4);
    EXPECT_EQ(placed[7], 5);
    EXPECT_EQ(placed[11], 6);
}

TEST_F(Skeleton, BoneMapIsFilledDepthFirstAndPaletteStartsAsIdentities)
{
    k_Bone* root = Make(0, Vector::Point(0, 0, 0));
    k_Bone* a = Make(1, Vector::Point(0, 1, 0));
    k_Bone* b = Make(2, Vector::Point(0, 1, 0));
    k_Bone* c = Make(3, Vector::Point(1, 0, 0));
    // A repeated index: the later bone of the walk (c, after a's subtree) wins.
    k_Bone* clash = Make(1, Vector::Point(0, 0, 1));
    a->SetParent(root);
    b->SetParent(a);
    clash->SetParent(b);
    c->SetParent(root);
    EXPECT_EQ(root->GetChildren(), (std::vector<IBone*>{a, c}));
    const std::map<int, IBone*>& map = b->GetBoneMap();
    EXPECT_EQ(&map, &root->GetBoneMap()) << "children share the root's map";
    EXPECT_EQ(map, (std::map<int, IBone*>{{0, root}, {1, clash}, {2, b}, {3, c}}));

    // Moving a bone takes it out of its old parent's list.
    c->SetParent(a);
    EXPECT_EQ(root->GetChildren(), (std::vector<IBone*>{a}));
    EXPECT_EQ(a->GetChildren(), (std::vector<IBone*>{b, c}));

    ASSERT_EQ(root->GetBoneCount(), 4);
    Matrix* palette = root->GetMatrixPalette();
    EXPECT_EQ(palette, root->GetMatrixPalette()) << "made once";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(palette) % 16, 0u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(palette[i], Matrix()) << "matrix " << i;
}

TEST_F(Skeleton, TwoBoneChainBendsAtItsJoint)
{
    // An arm along y: the shoulder at the origin, the elbow one unit up. Rest-pose animations
    // repeat the bind matrices.
    k_Bone* shoulder = Make(0, Vector::Point(0, 0, 0));
    k_Bone* elbow = Make(1, Vector::Point(0, 1, 0));
    elbow->SetParent(shoulder);
    k_TransformationAnimation shoulderMotion(nullptr, L"shoulder"), elbowMotion(nullptr, L"elbow");
    shoulderMotion.AddKey(AnimationKey::Make(AnimationKey::Rotation, 0, 0, 0, 0));
    shoulderMotion.AddKey(AnimationKey::Make(AnimationKey::Rotation, 1, 0, 0, 90));
    elbowMotion.AddKey(AnimationKey::Make(AnimationKey::Translation, 0, 0, 1, 0));
    elbowMotion.AddKey(AnimationKey::Make(AnimationKey::Translation, 2, 0, 1, 0));
    elbowMotion.AddKey(AnimationKey::Make(AnimationKey::Rotation, 1, 0, 0, 0));
    elbowMotion.AddKey(AnimationKey::Make(AnimationKey::Rotation, 2, 0, 0, 90));
    shoulder->SetAnimation(&shoulderMotion);
    elbow->SetAnimation(&elbowMotion);

    const Vector hand = Vector::Point(0, 2, 0), elbowPoint = Vector::Point(0, 1, 0);
    // At rest nothing moves.
    ExpectNear(RowTransform(*elbow->GetTransform(0, 0), hand), hand, "rest");
    // The shoulder turns 90 degrees about z: the whole arm swings round to -x.
    ExpectNear(RowTransform(*elbow->GetTransform(1, 0), hand), Vector::Point(-2, 0, 0), "child follows parent");
    ExpectNear(RowTransform(*shoulder->GetTransform(1, 0), elbowPoint), Vector::Point(-1, 0, 0), "parent");
    // Then the elbow bends 90 more: the hand points down from the elbow at (-1, 0).
    ExpectNear(RowTransform(*elbow->GetTransform(2, 0), hand), Vector::Point(-1, -1, 0), "bent at the joint");
    ExpectNear(RowTransform(*elbow->GetTransform(2, 0), elbowPoint), Vector::Point(-1, 0, 0), "joint stays put");

    // Without its own animation the elbow keeps its rest pose and still follows.
    elbow->SetAnimation(nullptr);
    ExpectNear(RowTransform(*elbow->GetTransform(1, 0), hand), Vector::Point(-2, 0, 0), "unanimated child");
    // A root without an animation stays at the identity.
    shoulder->SetAnimation(nullptr);
    EXPECT_EQ(*shoulder->GetTransform(1, 0), Matrix());
}

TEST(Bone, BindMatrixRotatesThenMovesThenScales)
{
    const Quaternion quarterTurn(0, 0, 0.70710678f, 0.70710678f);  // about z
    const struct {
        std::array<float, 3> scale;
        Vector position;
        Quaternion rotation;
        Vector point, expected;
    } cases[] = {
        {{1, 1, 1}, Vector::Point(0, 0, 0), quarterTurn, Vector::Point(1, 0, 0), Vector::Point(0, 1, 0)},
        {{2, 1, 1}, Vector::Point(3, 0, 0), Quaternion(), Vector::Point(1, 0, 0), Vector::Point(8, 0, 0)},
        {{2, 3, 4}, Vector::Point(1, 1, 1), quarterTurn, Vector::Point(1, 0, 0), Vector::Point(2, 6, 4)},
    };
    for (const auto& c : cases) {
        k_Bone bone(nullptr, L"b", 0, c.position.Data(), c.scale.data(), c.rotation);
        ExpectNear(RowTransform(*bone.GetBindMatrix(), c.point), c.expected, "bind");
    }
}

TEST_F(Skeleton, ThreeBoneChainOnAMovedRootBendsAtEachJoint)
{
    // A finger along y: joints at y = 1 (the root's bind moves it there), 2 and 3. Each bone
    // turns about z at its joint by the degrees of the pose, rest-pose translations throughout.
    k_Bone* chain[3] = {Make(0, Vector::Point(0, 1, 0)), Make(1, Vector::Point(0, 1, 0)), Make(2, Vector::Point(0, 1, 0))};
    chain[1]->SetParent(chain[0]);
    chain[2]->SetParent(chain[1]);
    const struct {
        float time;
        float degrees[3];
        Vector expected[3];  // where the middle of each bone, (0, 1.5), (0, 2.5), (0, 3.5), goes
    } poses[] = {
        {0, {0, 0, 0}, {Vector::Point(0, 1.5f, 0), Vector::Point(0, 2.5f, 0), Vector::Point(0, 3.5f, 0)}},
        {1, {90, 0, 0}, {Vector::Point(-0.5f, 1, 0), Vector::Point(-1.5f, 1, 0), Vector::Point(-2.5f, 1, 0)}},
        {2, {0, 90, 0}, {Vector::Point(0, 1.5f, 0), Vector::Point(-0.5f, 2, 0), Vector::Point(-1.5f, 2, 0)}},
        {3, {0, 0, 90}, {Vector::Point(0, 1.5f, 0), Vector::Point(0, 2.5f, 0), Vector::Point(-0.5f, 3, 0)}},
        {4, {90, 0, 90}, {Vector::Point(-0.5f, 1, 0), Vector::Point(-1.5f, 1, 0), Vector::Point(-2, 0.5f, 0)}},
    };
    std::vector<std::unique_ptr<k_TransformationAnimation>> motions;
    for (int bone = 0; bone < 3; ++bone) {
        motions.push_back(std::make_unique<k_TransformationAnimation>(nullptr, L"finger"));
        motions.back()->AddKey(AnimationKey::Make(AnimationKey::Translation, 0, 0, 1, 0));
        for (const auto& pose : poses)
            motions.back()->AddKey(AnimationKey::Make(AnimationKey::Rotation, pose.time, 0, 0, pose.degrees[bone]));
        chain[bone]->SetAnimation(motions.back().get());
    }
    for (const auto& pose : poses)
        for (int bone = 0; bone < 3; ++bone) {
            const std::string what = "bone " + std::to_string(bone) + " at " + std::to_string(pose.time);
            ExpectNear(RowTransform(*chain[bone]->GetTransform(pose.time, 0), Vector::Point(0, 1.5f + bone, 0)),
                       pose.expected[bone], what.c_str());
        }
}

TEST_F(Skeleton, TransformIsKeptUntilTheTimeOrTheAnimationChanges)
{
    k_Bone* root = Make(0, Vector::Point(0, 1, 0));
    // Rises from its rest place at time 0 to 2 units above it at time 2.
    k_TransformationAnimation rise(nullptr, L"rise"), sink(nullptr, L"sink");
    rise.AddKey(AnimationKey::Make(AnimationKey::Translation, 0, 0, 1, 0));
    rise.AddKey(AnimationKey::Make(AnimationKey::Translation, 2, 0, 3, 0));
    sink.AddKey(AnimationKey::Make(AnimationKey::Translation, 0, 0, -1, 0));
    const auto height = [&](float time) { return RowTransform(*root->GetTransform(time, 0), Vector::Point(0, 0, 0)).y; };

    root->SetAnimation(&rise);
    EXPECT_NEAR(height(1), 1, 1e-5f);
    rise.AddKey(AnimationKey::Make(AnimationKey::Translation, 2, 0, 5, 0));
    EXPECT_NEAR(height(1), 1, 1e-5f) << "the same time gives the kept transform";
    EXPECT_EQ(root->GetTransform(1, 0), root->GetTransform(1, 0));
    EXPECT_NEAR(height(1.5f), 3, 1e-5f) << "a new time evaluates again";
    root->SetAnimation(&sink);
    EXPECT_NEAR(height(1.5f), -2, 1e-5f) << "a new animation drops the kept transform";
    root->SetAnimation(nullptr);
    EXPECT_EQ(*root->GetTransform(1.5f, 0), Matrix()) << "and none leaves the identity";
}

}  // namespace
