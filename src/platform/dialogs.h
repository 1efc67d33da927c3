#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class QWidget;

namespace halvora {

// Title of every message box that does not name its own.
inline const QString kProgramTitle = QStringLiteral("Halvora");

// Message box style values and answer codes, as the program's logic knows them.
namespace MsgBox {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;

constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBox

// What the open and save dialogs are asked, and what they answer.
struct FileNameRequest {
    QWidget* owner = nullptr;
    // Description and pattern pairs: {"bingo条件設定ファイル(*.ENV)", "*.env", "すべてのファイル(*.*)", "*.*"}.
    std::array<QString, 4> filter;
    int filterIndex = 1;
    QString file;       // in: the name to start from; out: the full path chosen
    QString initialDir; // folder to start in
    QString title;
    std::uint32_t flags = 0;
    // Save dialog: added (after a dot) to a name without one, before the dialog asks about
    // replacing an existing file.
    QString defaultExtension;
    int fileOffset = 0; // out: position of the file name within `file`
    QStringList files{}; // out: every file chosen, when the flags allow several (0x200)
};

// The colour picker's record; colours are 0x00BBGGRR.
struct ColourRequest {
    QWidget* owner = nullptr;
    std::uint32_t rgbResult = 0;
    std::array<std::uint32_t, 16> custColors{};
    std::uint32_t flags = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Lines of `prompt` are joined by CR LF. An empty title shows the program's title.
    virtual int messageBox(QWidget* owner, const QString& prompt, int style, const QString& title = {}) = 0;
    // Returns the reply, or an empty text when cancelled.
    virtual QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                             const QString& defaultReply) = 0;
    // False when cancelled.
    virtual bool getOpenFileName(FileNameRequest& request) = 0;
    virtual bool getSaveFileName(FileNameRequest& request) = 0;
    virtual bool chooseColor(ColourRequest& request) = 0;
};

class QtDialogs final : public Dialogs {
public:
    int messageBox(QWidget* owner, const QString& prompt, int style, const QString& title = {}) override;
    QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                     const QString& defaultReply) override;
    bool getOpenFileName(FileNameRequest& request) override;
    bool getSaveFileName(FileNameRequest& request) override;
    bool chooseColor(ColourRequest& request) override;
};

} // namespace halvora
