#include "draw/media_list_edits.h"

#include "common/number_text.h"
#include "media/media_list_grid.h"
#include "settings/condition_records.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace halvora {

namespace {

constexpr std::int16_t kAvGrid = 0;
constexpr std::int16_t kPictureGrid = 1;
constexpr std::int16_t kIconGrid = 2;

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Runs the grid, then brings the main window back in the state it had before it was minimised.
void editInGrid(std::int16_t listKind, std::vector<QString>& data, const ListEditing& with) {
    const Qt::WindowStates before = with.window.windowState();
    editFileList(listKind, with.window, data, {with.pump, with.dialogs, with.printer, with.dataFolder});
    with.window.setWindowState((before & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    with.window.show();
    with.window.activateWindow();
}

int clampedCount(std::int16_t count) {
    return std::clamp<int>(count, 0, kListCapacity);
}

template <std::size_t N>
void editPaths(std::int16_t listKind, std::array<QString, N>& files, std::int16_t& count, const ListEditing& with) {
    std::vector<QString> data(kListCapacity + 1);
    for (int i = 1; i <= clampedCount(count); ++i)
        data[at(i)] = files[at(i)];
    editInGrid(listKind, data, with);
    count = 0;
    for (int i = 1; i <= kListCapacity; ++i)
        if (!data[at(i)].trimmed().isEmpty())
            files[at(++count)] = data[at(i)];
    for (int i = count + 1; i <= kListCapacity; ++i)
        files[at(i)].clear();
}

} // namespace

void editMusicAndVideos(AvList& av, const ListEditing& with) {
    std::vector<QString> data(3 * kListCapacity + 1);
    const int count = clampedCount(av.count);
    for (int i = 1; i <= kListCapacity; ++i) {
        const bool used = i <= count;
        data[at(3 * i - 2)] = QString::number(used ? av.starts[at(i)] : 0);
        data[at(3 * i - 1)] = QString::number(used ? av.playSeconds[at(i)] : 0);
        data[at(3 * i)] = used ? av.files[at(i)] : QString();
    }
    editInGrid(kAvGrid, data, with);
    av.count = 0;
    for (int i = 1; i <= kListCapacity; ++i) {
        if (data[at(3 * i)].trimmed().isEmpty())
            continue;
        const std::size_t n = at(++av.count);
        av.starts[n] = roundToInt32(numberFromText(data[at(3 * i - 2)]));
        av.playSeconds[n] = roundToInt32(numberFromText(data[at(3 * i - 1)]));
        av.files[n] = data[at(3 * i)];
    }
    for (int i = av.count + 1; i <= kListCapacity; ++i) {
        av.starts[at(i)] = 0;
        av.playSeconds[at(i)] = 0;
        av.files[at(i)].clear();
    }
}

void editPhotos(PictureList& pictures, const ListEditing& with) {
    editPaths(kPictureGrid, pictures.files, pictures.count, with);
}

void editIcons(IconList& icons, const ListEditing& with) {
    editPaths(kIconGrid, icons.files, icons.count, with);
}

} // namespace halvora
