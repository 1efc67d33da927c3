#pragma once

#include <cstdint>
#include <functional>
#include <span>

class QLineEdit;

namespace halvora {

class EventPump;
class PictureBox;

// What an announcement draws with: the announcement box, the pump that lets pending events run
// after every frame, and the random pick 1..max (randomPick).
struct HitPatternTools {
    PictureBox& box;
    EventPump& pump;
    std::function<std::int32_t(std::int16_t)> pick;
};

// 当りパターン: the animated announcement of a drawn number in the announcement box. Patterns 1..8
// move the number along a straight line, 9..12 around a circle. The box is left visible.
// A newer announcement started from within this one's event processing takes the box over; this
// one then stops drawing.
void playHitPattern(std::int16_t number, std::int16_t pattern, const HitPatternTools& tools);

// The announcement of a drawn number: hides the board and plays a random pattern.
void showHitAnnouncement(std::int16_t number, std::span<QLineEdit* const> board, const HitPatternTools& tools);

} // namespace halvora
