#pragma once
// The toolbar's follow modes as decisions over plain values: where a shown toolbar goes,
// what one timer tick does and what a drop stores.

#include <cstdint>
#include <optional>

#include "windows/candidate_geometry.h"

namespace FollowModes {
inline constexpr std::int32_t Fixed = 0;
inline constexpr std::int32_t FollowCaret = 1;
inline constexpr std::int32_t FollowWhileTyping = 2;
}  // namespace FollowModes

inline constexpr std::uint32_t FollowWindowMilliseconds = 900;

// A stored toolbar position counts only when neither coordinate is the "unset" value.
bool ToolbarPositionIsSet(LayoutPoint position);

// Whether the follow window that ends at `followUntil` is over at tick `now`. Only the
// signed difference is looked at, so it holds across the tick count's wrap.
bool FollowDeadlinePassed(std::uint32_t followUntil, std::uint32_t now);

struct ToolbarAnchor {
    LayoutPoint anchor;
    bool fixed = false;  // the placed point becomes the remembered position
};
ToolbarAnchor ChooseToolbarAnchor(std::int32_t mode, bool fromKey, LayoutPoint position,
                                  LayoutPoint caret, LayoutPoint offset);

enum class TimerStep {
    Nothing,         // a drag is in progress
    Hide,            // the owner is gone or not in front
    ShowInPlace,     // show without moving
    MoveToPosition,  // back to the stored position, unclamped
    FollowCaret,     // to the caret (plus the offset for the toolbar), placed in the work area
};

struct TimerState {
    bool ownerAlive = false;
    bool ownerInFront = false;  // the owner's root is the foreground root
    bool dragging = false;
    bool candidatesShown = false;
    std::int32_t mode = FollowModes::FollowCaret;
    std::uint32_t followUntil = 0;
    std::uint32_t now = 0;
    bool positionSet = false;
};
TimerStep DecideTimerStep(const TimerState& state);

// Where the window follows to: the caret, plus the offset while it is a toolbar.
LayoutPoint FollowAnchor(LayoutPoint caret, LayoutPoint offset, bool candidatesShown);

struct DropStore {
    enum class Kind { Nothing, Offset, Position } kind = Kind::Nothing;
    LayoutPoint value;
};
// What a drop stores. The offset needs the caret; a position is absolute, so it is stored
// with or without one.
DropStore DecideDrop(std::int32_t mode, std::optional<LayoutPoint> windowTopLeft,
                     std::optional<LayoutPoint> caret);
