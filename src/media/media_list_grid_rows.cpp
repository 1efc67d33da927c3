// The row menu of the list grid, and files put into the path column by a drop or the file dialog.
#include "media/grid_table.h"
#include "media/media_list_grid.h"
#include "platform/dialogs.h"
#include "platform/text_file.h"

#include <QFileInfo>
#include <QMenu>

namespace halvora {

void MediaListGrid::setUpRowMenu() {
    rowMenu_ = new QMenu(QStringLiteral("行編集"), this);
    rowMenu_->setObjectName(QStringLiteral("Menu行編集"));
    auto add = [this](const QString& name, const QString& caption, auto command) {
        QAction* action = rowMenu_->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, command);
    };
    add(QStringLiteral("menu上行と入替"), QStringLiteral("上行と入替"), [this] {
        if (const int r = currentRow(); r > 1)
            swapRows(r, r - 1);
    });
    add(QStringLiteral("menu下行と入替"), QStringLiteral("下行と入替"), [this] {
        if (const int r = currentRow(); r < kRows)
            swapRows(r, r + 1);
    });
    add(QStringLiteral("menu行挿入"), QStringLiteral("行挿入"), [this] {
        const int r = currentRow();
        for (int row = kRows; row > r; --row)
            copyRow(row - 1, row);
        clearRows(r, r);
    });
    add(QStringLiteral("menu行削除"), QStringLiteral("行削除"), [this] {
        for (int row = currentRow(); row < kRows; ++row)
            copyRow(row + 1, row);
        clearRows(kRows, kRows);
    });
    add(QStringLiteral("menu以下削除"), QStringLiteral("以下削除"),
        [this] { clearRows(currentRow(), kRows); });
    rowMenu_->addSeparator();
    add(QStringLiteral("menuファイルを選択"), QStringLiteral("ファイルを選択..."), [this] { chooseFiles(); });
    connect(rowMenu_, &QMenu::aboutToHide, this, [this] { grid_->setFocus(); });
}

// The row is highlighted from the current column to the last while its menu is open.
void MediaListGrid::openRowMenu(const QPoint& globalPos) {
    const int r = currentRow() - 1;
    grid_->clearSelection();
    grid_->setRangeSelected(
        QTableWidgetSelectionRange(r, currentColumn() - 1, r, mode_.dataColumns - 1), true);
    rowMenu_->popup(globalPos);
}

void MediaListGrid::showRowMenuAtCell() {
    const QRect cell = grid_->visualItemRect(grid_->currentItem());
    openRowMenu(grid_->viewport()->mapToGlobal(cell.bottomLeft()));
}

void MediaListGrid::copyRow(int from, int to) {
    for (int j = 1; j <= mode_.dataColumns; ++j)
        setCellText(to, j, cellText(from, j));
}

void MediaListGrid::swapRows(int a, int b) {
    for (int j = 1; j <= mode_.dataColumns; ++j) {
        const QString text = cellText(a, j);
        setCellText(a, j, cellText(b, j));
        setCellText(b, j, text);
    }
}

void MediaListGrid::clearRows(int first, int last) {
    for (int r = first; r <= last; ++r)
        for (int j = 1; j <= mode_.dataColumns; ++j)
            setCellText(r, j, QString());
}

// Each accepted file goes into the next path cell that is empty or blank, from `fromRow` down.
void MediaListGrid::placeFiles(const QStringList& files, int fromRow) {
    const int path = mode_.dataColumns;
    int row = fromRow;
    QStringList accepted;
    for (const QString& file : files)
        if (hasAcceptedExtension(file, mode_.extensions))
            accepted << file;
    for (const QString& file : keepStorable(accepted)) {
        while (row <= kRows && !cellText(row, path).trimmed().isEmpty())
            ++row;
        if (row > kRows)
            return;
        setCellText(row, path, file);
    }
}

void MediaListGrid::chooseFiles() {
    QStringList patterns;
    for (const QString& extension : mode_.extensions)
        patterns << QLatin1Char('*') + extension; // the dialog matches them in any case
    FileDialogOptions options;
    options.owner = this;
    options.filters = {
        {mode_.fileKind + QLatin1Char('(') + patterns.join(QLatin1Char(',')) + QLatin1Char(')'),
         patterns.join(QLatin1Char(';'))}};
    options.folder = folderNear(currentRow());
    options.title = QStringLiteral("ファイルを選択");
    options.mustExist = true;
    options.severalFiles = true;
    const QStringList chosen = with_.dialogs.openFiles(options);
    if (!chosen.isEmpty())
        placeFiles(chosen, currentRow());
}

// The folder of the nearest path at or above the row, else of the first path in the list.
QString MediaListGrid::folderNear(int row) const {
    const int path = mode_.dataColumns;
    for (int r = row; r >= 1; --r)
        if (const QString text = cellText(r, path).trimmed(); !text.isEmpty())
            return QFileInfo(text).absolutePath();
    for (int r = row + 1; r <= kRows; ++r)
        if (const QString text = cellText(r, path).trimmed(); !text.isEmpty())
            return QFileInfo(text).absolutePath();
    return {};
}

} // namespace halvora
