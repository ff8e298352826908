// A caption on the demo clock: an outline text hung in front of the camera, or a picture on a
// distorted quad when the text is empty, shown in a world for a time span and faded in and out
// through its material's "alpha" and "animPos" uniforms.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/IAnimateable.h"
#include "core/IEvent.h"
#include "math/Vector.h"

class IEngine;
class IMeshBuffer;
class IRenderable;
class IText;
class IWorld;

class k_TextEvent : public IEvent, public IAnimateable {
public:
    // How the event enters: at once (two codes for the same), by "alpha" faded up, or by the
    // entrance "animPos" played from 0 to 1.
    enum FadeInMode { InAtOnce = 0, InAlphaUp = 1, InAtOnceToo = 2, InEntrance = 3 };
    // How it leaves: hidden at the end; by "alpha" faded down; "animPos" set to 1, hidden at the
    // end; handed to handOverWorld for the fade-out; by "animPos" played back from 1 to 0.
    enum FadeOutMode { OutAtEnd = 0, OutAlphaDown = 1, OutAtRest = 2, OutHandOver = 3, OutEntranceBack = 4 };
    // The instants and intervals it registers, handed back to Trigger and Animate.
    enum Instant { Starts = 1, FadeInEnds = 2, FadeOutStarts = 3, Ends = 4 };
    enum Interval { FadingIn = 1, FadingOut = 3 };

    // Modes are FadeInMode and FadeOutMode; other codes do nothing. Seconds of 0 register no
    // fade interval.
    //
    // name is the font face, or the picture file when text is empty. placement is the
    // camera-attached offset right, offset up and distance (w unused); pictures ignore it.
    // Text gets its own instance of "Common/TextLight.mat". Registers its instants and
    // intervals with the engine's animation manager at once; needs the GL context.
    k_TextEvent(IWorld* handOverWorld, IWorld* displayWorld, double start, IEngine* engine, const std::wstring& name,
                const std::string& text, const Vector& placement, double duration, int fadeInMode,
                float fadeInSeconds, int fadeOutMode, float fadeOutSeconds);
    // Destroys the display; it must no longer be in a world that is drawn.
    ~k_TextEvent() override;

    // type is an Instant.
    void Trigger(int type) override;
    // id is an Interval.
    void Animate(double progress, int id) override;

    // What the event puts into its worlds; owned by the event.
    IRenderable* GetDisplay() { return m_display.get(); }
    // The outline text, null for a picture or when the text could not be made.
    IText* GetText() { return m_text; }

private:
    void SetUniform(std::string_view name, float value);
    void Show();
    void Hide(IWorld* world);

    IWorld* m_handOverWorld;
    IWorld* m_displayWorld;
    std::unique_ptr<IRenderable> m_display;
    IText* m_text = nullptr;        // owned by the resource factory
    IMeshBuffer* m_quad = nullptr;  // the display, for a picture
    int m_fadeInMode;
    int m_fadeOutMode;
};
