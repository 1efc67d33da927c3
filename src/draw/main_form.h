#pragma once

#include "draw/show_setup.h"
#include "game/game.h"
#include "platform/printer.h"
#include "platform/services.h"
#include "settings/condition_file.h"

#include <QMainWindow>

#include <memory>

class QMenu;

namespace halvora {

class AudienceScreens;
class CardDesk;
class BoardMirror;
class BoardTurnView;
class DrawCycle;
class EntryReport;
class FileCommands;
class GameKeeper;
class HandMarking;
class InstanceLock;
class MainControls;
class MediaChecks;
class OperatorPanel;
class PhoneDesk;

// Caption of the main window, also shown by the Version command.
inline const QString kProgramCaption = QStringLiteral("Halvora(Ver 1.2.1 2011.9.26)");

// The full-screen bingo board: the program's one long-lived window, owner of the whole game state.
// It builds the window and hands each command to the module that does the work.
class MainForm final : public QMainWindow {
    Q_OBJECT

public:
    MainForm(Services& services, Printer& printer, QString programFolder, QString userDataFolder, QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence. False when the environment is unusable: the operator has been told and
    // the window is closed; the program should end.
    bool load();
    void applyBoardColours();


    ShowSetup& show() { return show_; }
    Game& game() { return game_; }
    MainControls& controls() { return *controls_; }
    HandMarking& handMarking() { return *handMarking_; }
    AudienceScreens& audienceScreens() { return *audienceScreens_; }

protected:
    // However the window closes, the show ends with it: nothing more is drawn, logged or played.
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createCardStyleMenu(QMenu* settings);
    void keepSettings();
    // A media list or the show changed: the checks run and the operator sees the next turn anew.
    void listsChanged(std::initializer_list<std::int16_t> lists);
    void confirmExit();
    void showVersion();
    void initialiseGame();
    void followMovedMedia();
    bool refuseStart(const QString& message, MessageKind kind);
    void bringToFront();

    Services& services_;
    Printer& printer_;
    QString programFolder_;
    QString userDataFolder_;
    ShowSetup show_;
    Game game_;
    std::unique_ptr<MainControls> controls_;
    std::unique_ptr<MediaChecks> mediaChecks_;
    std::unique_ptr<EntryReport> entryReport_;
    std::unique_ptr<ConditionFile> conditionFile_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::unique_ptr<HandMarking> handMarking_;
    std::unique_ptr<BoardTurnView> turnView_;
    std::unique_ptr<DrawCycle> drawCycle_; // after the view it drives
    BoardMirror* mirror_ = nullptr;
    OperatorPanel* operatorPanel_ = nullptr;
    std::unique_ptr<AudienceScreens> audienceScreens_;
    CardDesk* cardDesk_ = nullptr;
    PhoneDesk* phoneDesk_ = nullptr;
    GameKeeper* gameKeeper_ = nullptr;
    InstanceLock* instanceLock_ = nullptr;
};

} // namespace halvora
