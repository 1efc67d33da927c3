#pragma once

#include "media/grid_modes.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QLineEdit;
class QMenu;

namespace halvora {

class Dialogs;
class EventPump;
class GridTable;
class Printer;

// What the list grid needs of the program: the modal wait, the boxes and the printer.
struct GridServices {
    EventPump& pump;
    Dialogs& dialogs;
    Printer& printer;
    QString pdfFolder; // where an image of the window is offered as a PDF when there is no printer
};

// Edits one media list in its grid, modally; returns when the window has been hidden or closed.
// `data` holds the data cells row by row from element 1 (element 0 unused): 3 per row for music
// and video (start, play, path), 1 for photos and icons. It is read to fill the grid and receives
// the edited cells. The main window is minimised meanwhile; the caller brings it back.
void editFileList(std::int16_t listKind, QWidget& mainWindow, std::vector<QString>& data,
                  const GridServices& with);

// The list window: 200 rows below one header row, the row number as a fixed first column, and a
// yellow editor that floats over the cell being edited.
class MediaListGrid final : public QDialog {
    Q_OBJECT

public:
    MediaListGrid(std::int16_t listKind, const GridServices& with);
    ~MediaListGrid() override;

    static constexpr int kRows = 200;

    void placeOver(const QWidget& mainWindow);
    void fill(const std::vector<QString>& data);
    // The grid contents as they were when the window was last hidden, in the flat order from 1.
    const std::vector<QString>& editedData() const { return editedData_; }

    GridTable& grid() const { return *grid_; }
    // Row 1..200, data column 1..k.
    QString cellText(int row, int column) const;

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Start { Typed, KeepText, Empty, Composing };

    void setUpGrid();
    void setUpEditor();
    void setUpRowMenu();
    bool gridKeyDown(QKeyEvent& event);
    void gridInputMethod(QInputMethodEvent& event);
    void startEdit(Start how, bool characterKey, const QString& typed = {});
    void paintCorner();
    void storeEdit();
    QStringList keepStorable(const QStringList& paths);
    bool editorKeyDown(const QKeyEvent& event);
    bool printKey(const QKeyEvent& event);
    void moveAfterEnter();
    void goToRow(int row);
    void openRowMenu(const QPoint& globalPos);
    void showRowMenuAtCell();
    void placeFiles(const QStringList& files, int fromRow);
    void chooseFiles();
    void setCellText(int row, int column, const QString& text);
    void copyRow(int from, int to);
    void swapRows(int a, int b);
    void clearRows(int first, int last);
    QString folderNear(int row) const;
    int currentRow() const;
    int currentColumn() const;

    GridServices with_;
    const GridMode& mode_;
    ColumnLengths columnMaxLength_;
    int editRow_ = 1;
    int editCol_ = 1;
    std::vector<QString> editedData_;
    bool editing_ = false; // editor_ is shown over cell (editRow_, editCol_)
    GridColumn noColumn_;
    QWidget* corner_ = nullptr;
    GridTable* grid_ = nullptr;
    QLineEdit* editor_ = nullptr;
    QMenu* rowMenu_ = nullptr;
};

} // namespace halvora
