#pragma once

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;
class EventPump;
class Printer;
struct AvList;
struct IconList;
struct PictureList;

// What the list-edit commands take from the main window.
struct ListEditing {
    QWidget& window;
    EventPump& pump;
    Dialogs& dialogs;
    Printer& printer;
    QString dataFolder;
};

// The edit menu's three list commands: the list goes into the grid, and what the operator leaves
// there comes back closed up, in order; a row without a path is dropped, times that are not numbers
// become 0. Only the list's own entries go into the grid, never leftovers of a longer earlier show.
// The main window is minimised while the grid is open and comes back afterwards.
void editMusicAndVideos(AvList& av, const ListEditing& with);
void editPhotos(PictureList& pictures, const ListEditing& with);
void editIcons(IconList& icons, const ListEditing& with);

} // namespace halvora
