// PictureSet: the words and layout of every caption and the logo. One type system throughout:
// Garamond italic for the voice, Garamond roman for asides, tracked Cantarell capitals for labels
// and greetings; warm cream ink with gold ornament. Canvases are 2048 x 512 with three bands so
// pictures that share the screen (the questions under "it is time", the two wedding lines, the
// closing lines under the logo) never collide.
#include "PictureSet.h"

#include <algorithm>
#include <cstdio>

#include "Ornament.h"

namespace {

constexpr int kWide = 2048;
constexpr int kTall = 512;
constexpr float kCentreX = kWide * 0.5f;
constexpr float kMaxLine = 1760.0f;  // keeps the halo clear of the canvas edge

const Colour kCream{1.00f, 0.96f, 0.89f, 1.0f};
const Colour kCreamDeep{0.96f, 0.86f, 0.70f, 1.0f};
const Colour kGold{0.91f, 0.73f, 0.45f, 1.0f};
const Colour kGoldSoft{0.91f, 0.73f, 0.45f, 0.55f};

// Text ink: a slight warm gradient over the height of the line.
Paint Ink(float baseline, float height)
{
    return Paint(kCream, kCreamDeep, baseline - height, baseline + height * 0.15f);
}

const TextStyle kLabel{Face::SansBold, 30.0f, 0.32f};
const TextStyle kVoice{Face::SerifItalic, 150.0f};
const TextStyle kAside{Face::Serif, 50.0f, 0.02f};
const TextStyle kGreeting{Face::SansHeavy, 156.0f, 0.07f};

// Vertical slots of a caption (baselines, pixels from the top) and its voice size.
struct Band {
    float label;
    float voice;
    float aside;
    float voiceSize;
};
constexpr Band kCentre{124.0f, 284.0f, 394.0f, 150.0f};
constexpr Band kUpper{80.0f, 214.0f, 0.0f, 132.0f};  // no room for an aside
constexpr Band kLower{292.0f, 382.0f, 456.0f, 100.0f};

// Shrinks the style so the line fits the canvas.
TextStyle Fit(Typesetter& ts, TextStyle style, const std::string& text, float maxWidth = kMaxLine)
{
    const float width = ts.Measure(style, text);
    if (width > maxWidth)
        style.size *= maxWidth / width;
    return style;
}

// Draws a line centred on x = cx; returns its half width.
float Centred(Canvas& c, Typesetter& ts, const TextStyle& style, const std::string& text, float baseline,
              const Paint& paint, float cx = kCentreX)
{
    const float width = ts.Measure(style, text);
    ts.Draw(c, style, text, cx - width * 0.5f, baseline, paint);
    return width * 0.5f;
}

// Tracked gold capitals between two rules that taper away, each ending in a small diamond at the text.
void Label(Canvas& c, Typesetter& ts, const std::string& text, float baseline)
{
    const float half = Centred(c, ts, kLabel, text, baseline, kGold);
    const float y = baseline - ts.CapHeight(kLabel) * 0.5f;
    const float inner = half + 34.0f;
    const float length = 260.0f;
    ornament::Diamond(c, kCentreX - inner, y, 5.0f, 8.0f, kGold);
    ornament::Diamond(c, kCentreX + inner, y, 5.0f, 8.0f, kGold);
    ornament::Rule(c, kCentreX - inner - length, kCentreX - inner - 14.0f, y, 2.4f, kGoldSoft, 0.95f, 0.0f);
    ornament::Rule(c, kCentreX + inner + 14.0f, kCentreX + inner + length, y, 2.4f, kGoldSoft, 0.0f, 0.95f);
}

void Voice(Canvas& c, Typesetter& ts, const std::string& text, float baseline, float size)
{
    TextStyle style = kVoice;
    style.size = size;
    style = Fit(ts, style, text);
    Centred(c, ts, style, text, baseline, Ink(baseline, style.size * 0.75f));
}

void Aside(Canvas& c, Typesetter& ts, const std::string& text, float baseline)
{
    const TextStyle style = Fit(ts, kAside, text);
    Centred(c, ts, style, text, baseline, Paint(kCream).Faded(0.9f));
}

// The standard caption: label, voice line and aside in the centre band (either may be empty).
void Caption(Canvas& c, Typesetter& ts, const std::string& label, const std::string& voice, const std::string& aside)
{
    if (!label.empty())
        Label(c, ts, label, kCentre.label);
    Voice(c, ts, voice, kCentre.voice, kCentre.voiceSize);
    if (!aside.empty())
        Aside(c, ts, aside, kCentre.aside);
}

// A line of the lower band led by a small dial showing `hours`; dial and line are centred as a group.
void DialLine(Canvas& c, Typesetter& ts, const std::string& text, float hours)
{
    const float baseline = kLower.voice;
    TextStyle style = kVoice;
    style.size = kLower.voiceSize;
    style = Fit(ts, style, text, kMaxLine - 160.0f);
    const float width = ts.Measure(style, text);
    const float radius = 34.0f;
    const float gap = 58.0f;
    const float left = kCentreX - (width + gap + radius * 2.0f) * 0.5f;
    ornament::Dial(c, left + radius, baseline - ts.XHeight(style) * 0.5f, radius, kGold, hours);
    ts.Draw(c, style, text, left + radius * 2.0f + gap, baseline, Ink(baseline, style.size * 0.75f));
}

// Progress marks: `count` small outlined diamonds, the `current` one (1-based) filled.
void Progress(Canvas& c, int current, int count, float y)
{
    const float spacing = 34.0f;
    const float x0 = kCentreX - spacing * float(count - 1) * 0.5f;
    for (int i = 0; i < count; ++i) {
        const float x = x0 + spacing * float(i);
        if (i + 1 == current)
            ornament::Diamond(c, x, y, 7.0f, 10.0f, kGold);
        else
            ornament::Diamond(c, x, y, 6.0f, 9.0f, kGoldSoft, 1.8f);
    }
}

Picture Strip(const std::string& path, std::function<void(Canvas&, Typesetter&)> compose)
{
    return {path, kWide, kTall, std::move(compose)};
}

// --- the pictures --------------------------------------------------------------------------------

void Time(Canvas& c, Typesetter& ts)
{
    ornament::Dial(c, kCentreX, 134.0f, 52.0f, kGold, 11.85f, 60);
    TextStyle title = kVoice;
    title.size = 210.0f;
    const float baseline = 362.0f;
    const float half = Centred(c, ts, title, "time", baseline, Ink(baseline, 160.0f));
    const float y = baseline - ts.XHeight(title) * 0.5f;
    ornament::Rule(c, kCentreX + half + 50.0f, kCentreX + half + 480.0f, y, 2.6f, kGoldSoft, 0.0f, 0.9f);
    ornament::Rule(c, kCentreX - half - 480.0f, kCentreX - half - 50.0f, y, 2.6f, kGoldSoft, 0.9f, 0.0f);
    ornament::Dots(c, kCentreX + half + 500.0f, kCentreX + half + 580.0f, y, 20.0f, 2.6f, kGoldSoft, true);
    ornament::Dots(c, kCentreX - half - 500.0f, kCentreX - half - 580.0f, y, 20.0f, 2.6f, kGoldSoft, true);
    Aside(c, ts, "it was never ours to keep", 448.0f);
}

void Upper(Canvas& c, Typesetter& ts, const std::string& label, const std::string& voice)
{
    Label(c, ts, label, kUpper.label);
    Voice(c, ts, voice, kUpper.voice, kUpper.voiceSize);
}

void Married(Canvas& c, Typesetter& ts)
{
    // Two linked rings in place of a label.
    const float y = 80.0f;
    ornament::Ring(c, kCentreX - 15.0f, y, 24.0f, 3.2f, kGold);
    ornament::Ring(c, kCentreX + 15.0f, y, 24.0f, 3.2f, kGold);
    ornament::Rule(c, kCentreX - 320.0f, kCentreX - 60.0f, y, 2.4f, kGoldSoft, 0.95f, 0.0f);
    ornament::Rule(c, kCentreX + 60.0f, kCentreX + 320.0f, y, 2.4f, kGoldSoft, 0.0f, 0.95f);
    Voice(c, ts, "and we got married", kUpper.voice, kUpper.voiceSize);
}

void Goodbye(Canvas& c, Typesetter& ts)
{
    ornament::Divider(c, kCentreX, kCentre.label - 12.0f, 300.0f, kGold);
    Voice(c, ts, "goodbye, old friend", kCentre.voice, kCentre.voiceSize);
    Aside(c, ts, "the music plays on \u2014 we saved you a seat", kCentre.aside);
}

void Thanks(Canvas& c, Typesetter& ts, int index, const std::string& voice, const std::string& aside)
{
    Caption(c, ts, "THANK YOU", voice, aside);
    Progress(c, index, 5, 456.0f);
}

void Greeting(Canvas& c, Typesetter& ts, int index, const std::string& name)
{
    TextStyle lead = kVoice;
    lead.size = 62.0f;
    Centred(c, ts, lead, "greetings to", 150.0f, kGold);
    const TextStyle style = Fit(ts, kGreeting, name);
    const float baseline = 336.0f;
    Centred(c, ts, style, name, baseline, Ink(baseline, ts.CapHeight(style)));

    char number[16];
    std::snprintf(number, sizeof number, "%02d", index);
    TextStyle counter = kLabel;
    counter.size = 26.0f;
    const float y = 420.0f;
    const float half = Centred(c, ts, counter, number, y + ts.CapHeight(counter) * 0.5f, kGold);
    ornament::Dots(c, kCentreX + half + 34.0f, kCentreX + half + 234.0f, y, 20.0f, 2.8f, kGold, true);
    ornament::Dots(c, kCentreX - half - 34.0f, kCentreX - half - 234.0f, y, 20.0f, 2.8f, kGold, true);
}

void FriendSays(Canvas& c, Typesetter& ts)
{
    Label(c, ts, "A FRIEND SAYS", kLower.label);
    Voice(c, ts, "\u201csee you at the next party.\u201d", kLower.voice + 12.0f, kLower.voiceSize);
}

void Logo(Canvas& c, Typesetter& ts)
{
    // Everything sits in the upper half: the closing lines, drawn below the logo, fill the lower band.
    const float cx = float(c.Width()) * 0.5f;
    ornament::Glow(c, cx, 290.0f, 700.0f, 200.0f, Colour{0.95f, 0.70f, 0.40f, 0.10f});
    ornament::Dial(c, cx, 118.0f, 52.0f, kGold, 12.0f, 60);

    const TextStyle mark{Face::Serif, 250.0f, 0.03f};
    const std::string name = "Korvanta";
    const float baseline = 380.0f;
    const float width = ts.Measure(mark, name);
    // The wordmark has its own layer so the horizon rules can be cut back around it.
    Canvas word(c.Width(), c.Height());
    ts.Draw(word, mark, name, cx - width * 0.5f, baseline,
            Paint(kCream, Colour{0.93f, 0.78f, 0.55f, 1.0f}, baseline - 165.0f, baseline + 10.0f));

    const float horizon = baseline - ts.XHeight(mark) * 0.5f;
    const float half = width * 0.5f;
    ornament::Rule(c, cx + half + 56.0f, cx + 900.0f, horizon, 3.0f, kGoldSoft, 0.0f, 0.85f);
    ornament::Rule(c, cx - 900.0f, cx - half - 56.0f, horizon, 3.0f, kGoldSoft, 0.85f, 0.0f);

    std::vector<float> knock = word.Alpha();
    BlurPlane(knock, c.Width(), c.Height(), 6.0f);
    for (float& k : knock)
        k = std::min(1.0f, k * 4.0f);
    c.Knockout(knock);
    c.Over(word);

    ornament::Divider(c, cx, 428.0f, 300.0f, kGold);
    const TextStyle sub{Face::Sans, 34.0f, 0.62f};
    const float subWidth = ts.Measure(sub, "MERIDIAN");
    ts.Draw(c, sub, "MERIDIAN", cx - subWidth * 0.5f, 488.0f, kGold);
}

}  // namespace

Halo PictureHalo()
{
    return Halo{Colour{0.030f, 0.020f, 0.018f, 1.0f}, 3.0f, 2.6f, 0.80f, 18.0f, 2.2f, 0.55f};
}

std::vector<Picture> PictureSet()
{
    using C = Canvas;
    using T = Typesetter;
    std::vector<Picture> set = {
        Strip("time.png", Time),
        Strip("it-is-time.png", [](C& c, T& t) { Upper(c, t, "ONE MORNING YOU NOTICE", "it is time."); }),
        Strip("whattime1.png", [](C& c, T& t) { DialLine(c, t, "what time is it?", 10.15f); }),
        Strip("whattime2.png", [](C& c, T& t) { DialLine(c, t, "is it late already?", 10.75f); }),
        Strip("whattime3.png", [](C& c, T& t) { DialLine(c, t, "where did the hours go?", 11.3f); }),
        Strip("whattime4.png", [](C& c, T& t) { DialLine(c, t, "how much time is left?", 11.8f); }),
        Strip("married.png", Married),
        Strip("married2.png", [](C& c, T& t) { DialLine(c, t, "for one day, time stood still", 12.0f); }),
        Strip(
            "friend.png",
            [](C& c, T& t) { Caption(c, t, "THIS ONE IS FOR", "a friend", "who kept time with us, all those years"); }),
        Strip("goodbye.png", Goodbye),
        Strip("gratitude.png",
              [](C& c, T& t) { Caption(c, t, "AND ABOVE ALL", "gratitude", "to everyone who gave us their time"); }),
        Strip("Thanks/thanks1.png",
              [](C& c, T& t) { Thanks(c, t, 1, "to our families", "for every evening we stole to make this"); }),
        Strip("Thanks/thanks2.png",
              [](C& c, T& t) { Thanks(c, t, 2, "to those who love us", "for a patience measured in decades"); }),
        Strip("Thanks/thanks3.png",
              [](C& c, T& t) {
                  Thanks(c, t, 3, "to our old friends", "for the parties, the floppy disks and the long nights");
              }),
        Strip("Thanks/thanks4.png",
              [](C& c, T& t) { Thanks(c, t, 4, "to the crew", "for the code, the music and the pixels"); }),
        Strip("Thanks/thanks5.png",
              [](C& c, T& t) { Thanks(c, t, 5, "to you, watching", "for spending these minutes with us"); }),
        Strip("adore.png",
              [](C& c, T& t) {
                  Caption(c, t, "WITH LOVE", "we adore this scene", "every party, every production, every one of you");
              }),
    };
    const char* const greetings[] = {"CODERS",     "MUSICIANS",      "GRAPHICIANS", "PIXEL ARTISTS",     "TRACKERS",
                                     "SIZECODERS", "SWAPPERS",       "SYSOPS",      "DISKMAG WRITERS",   "ARCHIVISTS",
                                     "ORGANISERS", "PARTY VISITORS", "NEWCOMERS",   "EVERYONE WE FORGOT"};
    for (int i = 0; i < 14; ++i) {
        const std::string name = greetings[i];
        set.push_back(
            Strip("greet" + std::to_string(i + 1) + ".png", [i, name](C& c, T& t) { Greeting(c, t, i + 1, name); }));
    }
    // The last three lines appear under the logo, so they use the lower band.
    set.push_back(Strip("function.png", [](C& c, T& t) {
        Voice(c, t, "form follows function", kLower.voice, kLower.voiceSize);
        Aside(c, t, "and time follows us all", kLower.aside);
    }));
    set.push_back(Strip("were-not-dead.png", [](C& c, T& t) {
        Voice(c, t, "we\u2019re not dead", kLower.voice, kLower.voiceSize + 12.0f);
        Aside(c, t, "just a little slower than we used to be", kLower.aside);
    }));
    set.push_back(Strip("friend-says.png", FriendSays));
    set.push_back({"Logo/korvanta.png", 2048, 1024, Logo});
    return set;
}
