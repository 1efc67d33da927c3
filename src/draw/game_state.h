#pragma once

#include "settings/condition_records.h"
#include "settings/environment_file.h"

#include <QString>

#include <array>
#include <cstdint>

namespace halvora {

// Everything a bingo game keeps, from start-up to exit.
struct GameState {
    EnvironmentFolders folders;
    ScreenColours colours;
    AvList av;
    PictureList pictures;
    IconList icons;

    std::int32_t DrawCount = 0;
    std::array<double, 76> BingoProbability{};
    std::array<std::int16_t, 76> DrawnFlag{}; // 1..75: the number counts as drawn
    std::array<std::int16_t, 76> LatestFlag{}; // 1..75: drawn in the current turn
    std::int16_t TurnRemaining = 0;
    std::int16_t RouletteState = 0;
    QString CurrentVideoFile;
    QString CurrentMusicFile;
    std::int32_t PlaySeconds = 0;
    std::int16_t SelectedNumber = 0;
};

// Probability that one card (free centre) shows a complete line after k numbers; entry 0 is 0.
void FillBingoProbability(std::array<double, 76>& table);

} // namespace halvora
