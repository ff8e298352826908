// Outline text drawn through the caption material: where the glyphs land, what the styles add,
// what the font cache shares, and the code that has no glyph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "core/ICamera.h"
#include "scene/k_Text.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

namespace {

const float kBackground[4] = {0.1f, 0.1f, 0.1f, 1};

// The drawn part of a frame: pixels that differ from the clear colour, and their bounds.
struct Coverage {
    int count = 0;
    int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1;
    std::vector<int> rows;  // drawn pixels per row, bottom up
};

class OutlineText : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseSourceData();
        factory = engine->GetResourceFactory();

        ICamera* camera = factory->CreateCamera();
        camera->SetEye(Vector::Point(0, 0, 8));
        camera->SetTarget(Vector::Point(0, 0, 0));
        camera->SetUp(Vector::Direction(0, 1, 0));
        world = std::make_unique<k_World>(engine.get(), "Captions");
        world->SetCamera(camera);
        world->SetClearColor(kBackground);
        engine->AddWorld(world.get());
        DrainErrors();
    }

    void TearDown() override
    {
        world.reset();
        GlTest::TearDown();
    }

    // A text with its own material instance, its baseline at y = -0.35, centred on x = 0 by
    // its own width.
    k_Text* MakeText(const std::string& text, int style = 0, const std::wstring& face = L"DejaVu Sans")
    {
        IText* made = factory->CreateText(text, face, 200, 0.2f, style);
        if (!made) return nullptr;
        made->SetMaterial(factory->LoadMaterial(L"text" + std::to_wstring(++materials), L"Common/TextLight.mat"));
        auto* outline = static_cast<k_Text*>(made);
        outline->SetPosition(Vector::Point(-0.5f * outline->GetTextWidth() / outline->GetFontSize(), -0.35f, 0));
        return outline;
    }

    // Draws one frame with only this text in the world.
    Coverage Draw(k_Text* text)
    {
        world->AddRenderable(text);
        engine->Advance(0.01);
        world->RemoveRenderable(text);
        EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));

        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        Coverage coverage;
        coverage.rows.assign(kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const unsigned char* p = &rgba[4 * (y * kWidth + x)];
                if (std::abs(p[0] - 26) + std::abs(p[1] - 26) + std::abs(p[2] - 26) < 12) continue;
                ++coverage.count;
                ++coverage.rows[y];
                coverage.left = std::min(coverage.left, x), coverage.right = std::max(coverage.right, x);
                coverage.bottom = std::min(coverage.bottom, y), coverage.top = std::max(coverage.top, y);
            }
        return coverage;
    }

    // Pixels per world unit at the text's distance: 45 degrees of view over 8 units.
    static double PixelsPerUnit() { return kHeight / (2 * 8 * 0.41421356); }

    IResourceFactory* factory = nullptr;
    std::unique_ptr<k_World> world;
    int materials = 0;
};

TEST_F(OutlineText, GlyphsAreDrawnWhereTheTextsWidthPutsThem)
{
    k_Text* text = MakeText("Demo");
    ASSERT_NE(text, nullptr);
    const Coverage drawn = Draw(text);
    const double width = PixelsPerUnit() * text->GetTextWidth() / text->GetFontSize();
    ASSERT_GT(drawn.count, 500);
    // Centred by its advance, give or take the side bearings of the first and last letters.
    EXPECT_NEAR(drawn.left, kWidth - 1 - drawn.right, 6);
    EXPECT_NEAR(drawn.right - drawn.left + 1, width, 0.1 * width);
    // Capitals stand about 0.73 em above the baseline, at y = -0.35.
    EXPECT_NEAR(drawn.top, kHeight / 2 + PixelsPerUnit() * (0.73 - 0.35), 4);
    EXPECT_NEAR(drawn.bottom, kHeight / 2 - PixelsPerUnit() * 0.35, 4);
    // A solid letter fills its bounds well; a wireframe or a cap without holes would not.
    EXPECT_GT(drawn.count, (drawn.right - drawn.left) * (drawn.top - drawn.bottom) / 4);
    EXPECT_LT(drawn.count, (drawn.right - drawn.left) * (drawn.top - drawn.bottom) * 3 / 4);
}

TEST_F(OutlineText, WidthsFollowTheAdvancesAtTheFontSize)
{
    k_Text* narrow = MakeText("iiii");
    k_Text* wide = MakeText("MMMM");
    k_Text* bold = MakeText("MMMM", IText::Bold);
    ASSERT_TRUE(narrow && wide && bold);
    EXPECT_LT(narrow->GetTextWidth(), wide->GetTextWidth() / 2);
    EXPECT_GT(bold->GetTextWidth(), wide->GetTextWidth());
    // DejaVu Sans' M advances 0.863 em: four at 200 units to the em.
    EXPECT_NEAR(wide->GetTextWidth(), 4 * 0.863 * 200, 4);
    wide->SetText("MM");
    EXPECT_NEAR(wide->GetTextWidth(), 2 * 0.863 * 200, 2);
}

TEST_F(OutlineText, TheFontCacheSharesListsOnlyBetweenEqualKeys)
{
    k_Text* first = MakeText("Demo");
    k_Text* same = MakeText("other words");
    k_Text* italic = MakeText("Demo", IText::Italic);
    k_Text* otherCase = MakeText("Demo", 0, L"dejavu sans");
    ASSERT_TRUE(first && same && italic && otherCase);
    EXPECT_EQ(first->GetListBase(), same->GetListBase());
    EXPECT_NE(first->GetListBase(), italic->GetListBase());
    EXPECT_NE(first->GetListBase(), otherCase->GetListBase()) << "face names are matched exactly";
    EXPECT_NE(italic->GetListBase(), otherCase->GetListBase());
    EXPECT_TRUE(glIsList(first->GetListBase() + 'D'));
}

TEST_F(OutlineText, Byte255DrawsNothingAndTakesNoRoom)
{
    k_Text* text = MakeText("\xff\xff\xff");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetTextWidth(), 0);
    EXPECT_EQ(Draw(text).count, 0);

    text->SetText("o\xffo");
    const int withGap = text->GetTextWidth();
    text->SetText("oo");
    EXPECT_EQ(withGap, text->GetTextWidth());
}

TEST_F(OutlineText, UnderlineAndStrikeOutAddBarsToTheGlyphs)
{
    const Coverage plain = Draw(MakeText("acme"));
    const Coverage underlined = Draw(MakeText("acme", IText::Underline));
    const Coverage struck = Draw(MakeText("acme", IText::StrikeOut));
    const int width = plain.right - plain.left + 1;
    // Lower-case letters without descenders sit on the baseline; the underline hangs below it,
    // one unbroken bar under the whole word.
    EXPECT_LT(underlined.bottom, plain.bottom);
    EXPECT_GT(underlined.rows[underlined.bottom], width * 9 / 10);
    EXPECT_LT(plain.rows[plain.bottom], width / 2);
    // The strike-out crosses the letters near half the x-height and bridges the gaps between
    // them, so some row there is covered all along the word; no row of the plain word is.
    EXPECT_EQ(struck.bottom, plain.bottom);
    EXPECT_GT(*std::max_element(struck.rows.begin(), struck.rows.end()), width * 9 / 10);
    EXPECT_LT(*std::max_element(plain.rows.begin(), plain.rows.end()), width * 9 / 10);
}

TEST_F(OutlineText, AMissingFaceFallsBackWithAWarning)
{
    LogCapture log;
    k_Text* text = MakeText("Demo", 0, L"No Such Face Anywhere");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(log.Count(Log::Level::Warning), 1);
    EXPECT_GT(Draw(text).count, 500);
}

}  // namespace
