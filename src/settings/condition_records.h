#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace halvora {

// The media lists hold entries 1..200; entry 0 exists and is never used.
constexpr int kListCapacity = 200;

struct AvList {
    std::array<QString, kListCapacity + 1> files;
    std::array<std::int32_t, kListCapacity + 1> starts{};
    std::array<std::int32_t, kListCapacity + 1> playSeconds{};
    std::int16_t count = 0;
};

struct PictureList {
    std::array<QString, kListCapacity + 1> files;
    std::int16_t count = 0;
};

struct IconList {
    std::array<QString, kListCapacity + 1> files;
    std::int16_t count = 0;
};

// Colour rows: 0 window, 1 large number display, 2 board number not drawn, 3 drawn, 4 drawn in the
// current turn. Each text is a signed decimal 0x00BBGGRR value, converted only when applied.
struct ScreenColours {
    std::array<QString, 5> backColours;
    std::array<QString, 5> foreColours;
};

// The five main-window controls whose state the condition file stores. Selecting an option index
// runs that option's click reaction, as a click by the operator would.
class ConditionOptions {
public:
    virtual ~ConditionOptions() = default;
    virtual QString participantsText() const = 0;
    virtual void setParticipantsText(const QString& text) = 0;
    virtual bool avRandom() const = 0;
    virtual void setAvRandom(bool checked) = 0;
    virtual bool pictureRandom() const = 0;
    virtual void setPictureRandom(bool checked) = 0;
    // Index of the first selected button of the group (0..3), or -1 when none is selected.
    virtual int selectedHitCountIndex() const = 0;
    virtual void selectHitCountIndex(int index) = 0;
    virtual int selectedDrawTimeIndex() const = 0;
    virtual void selectDrawTimeIndex(int index) = 0;
};

} // namespace halvora
