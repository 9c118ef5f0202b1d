#include "windows/candidate_follow.h"

#include <climits>

bool ToolbarPositionIsSet(LayoutPoint position) {
    return position.x != INT32_MIN && position.y != INT32_MIN;
}

bool FollowDeadlinePassed(std::uint32_t followUntil, std::uint32_t now) {
    return static_cast<std::int32_t>(followUntil - now) <= 0;
}

ToolbarAnchor ChooseToolbarAnchor(std::int32_t mode, bool fromKey, LayoutPoint position,
                                  LayoutPoint caret, LayoutPoint offset) {
    ToolbarAnchor result;
    result.fixed =
        mode == FollowModes::Fixed || (mode == FollowModes::FollowWhileTyping && !fromKey);
    if (result.fixed && ToolbarPositionIsSet(position)) {
        result.anchor = position;
    } else {
        result.anchor = {static_cast<int>(static_cast<std::uint32_t>(caret.x) +
                                          static_cast<std::uint32_t>(offset.x)),
                         static_cast<int>(static_cast<std::uint32_t>(caret.y) +
                                          static_cast<std::uint32_t>(offset.y))};
    }
    return result;
}

TimerStep DecideTimerStep(const TimerState& state) {
    if (!state.ownerAlive || !state.ownerInFront) return TimerStep::Hide;
    if (state.dragging) return TimerStep::Nothing;
    if (!state.candidatesShown) {
        if (state.mode == FollowModes::Fixed) return TimerStep::ShowInPlace;
        if (state.mode == FollowModes::FollowWhileTyping &&
            FollowDeadlinePassed(state.followUntil, state.now)) {
            return state.positionSet ? TimerStep::MoveToPosition : TimerStep::ShowInPlace;
        }
    }
    return TimerStep::FollowCaret;
}

LayoutPoint FollowAnchor(LayoutPoint caret, LayoutPoint offset, bool candidatesShown) {
    if (candidatesShown) return caret;
    return {static_cast<int>(static_cast<std::uint32_t>(caret.x) +
                             static_cast<std::uint32_t>(offset.x)),
            static_cast<int>(static_cast<std::uint32_t>(caret.y) +
                             static_cast<std::uint32_t>(offset.y))};
}

DropStore DecideDrop(std::int32_t mode, std::optional<LayoutPoint> windowTopLeft,
                     std::optional<LayoutPoint> caret) {
    DropStore store;
    if (!windowTopLeft) return store;
    if (mode == FollowModes::FollowCaret) {
        if (!caret) return store;
        store.kind = DropStore::Kind::Offset;
        store.value = {windowTopLeft->x - caret->x, windowTopLeft->y - caret->y};
        return store;
    }
    store.kind = DropStore::Kind::Position;
    store.value = *windowTopLeft;
    return store;
}
