#pragma once

#include "platform/text_file.h"
#include "settings/condition_records.h"

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;

// Writes the default condition file (the sample media in appFolder + "Sample/"), replacing any file
// at `path`. Returns the error that kept it from being written (none on success).
FileError writeDefaultConditionFile(const QString& path, const QString& appFolder);

// Reads and writes the condition file of the main window: its media lists, options and colours.
// The file is opened for each operation and never held open.
class ConditionFile {
public:
    ConditionFile(Dialogs& dialogs, QWidget* owner, AvList& av, PictureList& pictures, IconList& icons,
                  ScreenColours& colours, ConditionOptions& options);

    // Empties the [AV] list and reads it; a missing file is first created with the default contents.
    // False (after telling the operator) when the file cannot be read: the load then stops.
    bool readAvSection(const QString& path, const QString& appFolder);
    void readPictureSection(const QString& path);
    void readIconSection(const QString& path);
    void readOptionSection(const QString& path);
    // Stores the colour texts; applying them is the main window's business.
    void readColourSection(const QString& path);

    // The load at start-up: all five sections. False when the [AV] read stopped the load.
    bool readAtStartUp(const QString& path, const QString& appFolder);
    // The load after the operator opened a file: the colours in force stay.
    bool readAfterOpen(const QString& path, const QString& appFolder);

    // Writes the whole current state (atomically); a failure is reported and leaves the old file whole.
    bool writeConditionFile(const QString& path);

private:
    void reportReadFailure(const QString& path, const QString& status);
    void reportWriteFailure(const QString& path, const QString& cause, bool adviseIni);
    bool writeSections(TextFile& file);
    bool put(TextFile& file, const QString& line);

    QString unsavedLine_; // the entry CP932 could not hold in the last save
    Dialogs& dialogs_;
    QWidget* owner_;
    AvList& av_;
    PictureList& pictures_;
    IconList& icons_;
    ScreenColours& colours_;
    ConditionOptions& options_;
};

} // namespace halvora
