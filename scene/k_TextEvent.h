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
    // Fade-in modes: 0 and 2 show at once, 1 fades "alpha" up, 3 plays "animPos" from 0 to 1.
    // Fade-out modes: 0 hides at the end, 1 fades "alpha" down, 2 sets "animPos" to 1 and hides
    // at the end, 3 hands the display to handOverWorld for the fade-out, 4 plays "animPos" from
    // 1 to 0. Other modes do nothing. Seconds of 0 register no fade interval.
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

    // 1 start, 2 end of the fade-in, 3 start of the fade-out, 4 end.
    void Trigger(int type) override;
    // id 1 the fade-in, id 3 the fade-out.
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
