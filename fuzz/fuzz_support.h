#pragma once

#include "platform/dialogs.h"
#include "settings/condition_records.h"

#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: one offscreen application, created before the first input; a
// folder per input; message boxes answered at once. Folders are created only inside the fuzzer's own
// folder, whatever folder an input names. With HALVORA_FUZZ_SEEDS set to a folder, the files the
// program writes itself are put there first, to seed the corpus.
namespace halvora::fuzz {

// The history folder the kept games of the seeds and the game target name.
inline const QString kGameHistoryFolder = QStringLiteral("/halvora/History/");

class AnswerAtOnce final : public Dialogs {
public:
    // The default button: No for a question whose default is No, else Yes or OK.
    Answer messageBox(QWidget*, const QString&, MessageKind kind, const QString& = {}) override;
    QString inputBox(QWidget*, const QString&, const QString&, const QString& reply) override { return reply; }
    QStringList openFiles(const FileDialogOptions&) override { return {}; }
    QString saveFile(const FileDialogOptions&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
};

// The five option controls of the main window, as plain values.
class Options final : public ConditionOptions {
public:
    QString participants = QStringLiteral("1");
    bool av = false, pictures = false;
    int hitCount = 3, drawTime = 0;

    QString participantsText() const override { return participants; }
    void setParticipantsText(const QString& text) override { participants = text; }
    bool avRandom() const override { return av; }
    void setAvRandom(bool checked) override { av = checked; }
    bool pictureRandom() const override { return pictures; }
    void setPictureRandom(bool checked) override { pictures = checked; }
    int selectedHitCountIndex() const override { return hitCount; }
    void selectHitCountIndex(int index) override { hitCount = index; }
    int selectedDrawTimeIndex() const override { return drawTime; }
    void selectDrawTimeIndex(int index) override { drawTime = index; }
};

// A fresh folder for one input, removed with its contents afterwards.
class Sandbox {
public:
    Sandbox();
    QString folder() const; // ends with "/"
    // Writes the input's bytes as the file `name` in the folder and returns its path.
    QString write(const QString& name, const std::uint8_t* data, std::size_t size) const;

private:
    QTemporaryDir dir_;
};

} // namespace halvora::fuzz
