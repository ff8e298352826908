// The scheduler: collects every animation of the step first, then fires the instants passed.
#include "scene/k_AnimationManager.h"

#include "core/IAnimateable.h"
#include "core/IEngine.h"
#include "core/IEvent.h"
#include "core/ITimeline.h"

k_AnimationManager::k_AnimationManager(IEngine* engine) : m_engine(engine) {}

template <typename Map>
static void JoinGroup(Map& map, double key, double start, double end, IAnimateable* object, int id)
{
    auto it = map.find(key);
    if (it == map.end()) it = map.emplace(key, typename Map::mapped_type{start, end, {}}).first;
    it->second.objects.emplace_back(object, id);
}

void k_AnimationManager::AddAnimation(double start, double end, IAnimateable* object, int id)
{
    JoinGroup(m_forward, start, start, end, object, id);
    JoinGroup(m_backward, end, start, end, object, id);
}

void k_AnimationManager::AddRealTimeAnimation(double start, double end, IAnimateable* object, int id)
{
    JoinGroup(m_realTime, start, start, end, object, id);
}

void k_AnimationManager::AddEvent(double time, IEvent* event, int type)
{
    m_instants[time].emplace_back(event, type);
}

void k_AnimationManager::AddRealTimeEvent(double time, IEvent* event, int type)
{
    m_realTimeInstants[time].emplace_back(event, type);
}

void k_AnimationManager::Update()
{
    ITimeline* timeline = m_engine->GetTimeline();
    const double t = timeline->GetTime();
    const double r = timeline->GetRealTime();
    const double speed = timeline->GetSpeed();

    m_calls.clear();
    auto collect = [this](const Interval& interval, double progress) {
        for (const auto& [object, id] : interval.objects) m_calls.push_back({object, id, progress});
    };
    if (speed > 0) {
        for (const auto& [start, interval] : m_forward) {
            if (start > t) break;
            if (t <= interval.end) collect(interval, (t - start) / (interval.end - start));
        }
    } else if (speed < 0) {
        for (const auto& [end, interval] : m_backward) {
            if (end < t) break;
            if (interval.start <= t) collect(interval, (t - interval.start) / (end - interval.start));
        }
    }
    for (const auto& [start, interval] : m_realTime) {
        if (start > r) break;
        if (r <= interval.end) collect(interval, (r - interval.end) / (start - interval.end));
    }
    for (const Call& call : m_calls) call.object->Animate(call.progress, call.id);

    // An instant fires once: the bound at the previous time is exclusive, so a step that ends
    // exactly on an instant does not fire it again; only the clock's start is inclusive, until
    // an update covers it, so every instant in [0, t] fires and none before 0 does.
    const double t0 = m_previousTime;
    const double r0 = m_previousRealTime;
    const bool startPending = m_startPending;
    const double last = t > t0 ? t : t0;
    // A Trigger may register further instants: the lists are walked by index because an
    // append can move a list's storage, while the maps keep their nodes in place.
    for (const auto& [time, events] : m_instants) {
        if (time > last) break;
        const bool fromStart = startPending && time == t0;
        for (size_t i = 0; i < events.size(); ++i) {
            const double s = timeline->GetSpeed();
            const bool forward = s > 0 && (t0 < time || fromStart) && time <= t;
            const bool backward = s < 0 && t <= time && (time < t0 || fromStart);
            if (forward || backward) events[i].first->Trigger(events[i].second);
        }
    }
    for (const auto& [time, events] : m_realTimeInstants) {
        if (time > r) break;
        if (r0 < time || (m_realStartPending && time == r0))
            for (size_t i = 0; i < events.size(); ++i) events[i].first->Trigger(events[i].second);
    }

    m_previousTime = t;
    m_previousRealTime = r;
    if (speed != 0) m_startPending = false;
    m_realStartPending = false;
}

void k_AnimationManager::Rewind()
{
    m_previousTime = 0;
    m_previousRealTime = 0;
    m_startPending = true;
    m_realStartPending = true;
}
