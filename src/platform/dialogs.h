#pragma once

#include <QString>
#include <QStringList>

#include <QColor>

#include <optional>
#include <utility>
#include <vector>

class QWidget;

namespace halvora {

// Title of every message box that does not name its own.
inline const QString kProgramTitle = QStringLiteral("Halvora");

// What a message box shows: an OK box with or without an icon, or a はい/いいえ question with the
// button that Enter presses.
enum class MessageKind { Plain, Information, Warning, Critical, Question, QuestionDefaultNo };
enum class Answer { Ok, Yes, No };

// What an open or save dialog is asked.
struct FileDialogOptions {
    QWidget* owner = nullptr;
    QString title;
    QString folder; // to start in
    QString name;   // to start from
    // Description and patterns: {"bingo条件設定ファイル(*.ENV)", "*.env"}; several patterns by ';'.
    std::vector<std::pair<QString, QString>> filters;
    bool mustExist = false;      // open: only an existing file
    bool severalFiles = false;   // open: any number of files at once
    bool confirmReplace = false; // save: ask before replacing a file
    // Save: added (after a dot) to a name without one, before the dialog asks about replacing.
    QString defaultExtension;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Lines of `prompt` are joined by CR LF. An empty title shows the program's title. Esc and the
    // close box answer いいえ to a question.
    virtual Answer messageBox(QWidget* owner, const QString& prompt, MessageKind kind = MessageKind::Plain,
                              const QString& title = {}) = 0;
    // Returns the reply, or an empty text when cancelled.
    virtual QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                             const QString& defaultReply) = 0;
    // The full paths chosen; none when cancelled.
    virtual QStringList openFiles(const FileDialogOptions& options) = 0;
    // The full path chosen; empty when cancelled.
    virtual QString saveFile(const FileDialogOptions& options) = 0;
    // The colour picked, starting from `start`, in a picker tied to no window; none when cancelled.
    virtual std::optional<QColor> chooseColour(const QColor& start) = 0;
};

class QtDialogs final : public Dialogs {
public:
    Answer messageBox(QWidget* owner, const QString& prompt, MessageKind kind = MessageKind::Plain,
                      const QString& title = {}) override;
    QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                     const QString& defaultReply) override;
    QStringList openFiles(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    std::optional<QColor> chooseColour(const QColor& start) override;
};

} // namespace halvora
