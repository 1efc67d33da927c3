#include "media/media_list_grid.h"

#include "media/grid_table.h"
#include "media/window_print.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/text_file.h"
#include "platform/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <cmath>

namespace halvora {

namespace {

const QString kGridFace = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int kCellPadding = 6;          // pixels either side of a header text
constexpr int kRowTextMargin = 4;        // pixels a default row is taller than its font's line
constexpr double kGridMarginRight = 100; // twips
constexpr double kGridMarginBottom = 500;

} // namespace

void editFileList(std::int16_t listKind, QWidget& mainWindow, std::vector<QString>& data,
                  const GridServices& with) {
    MediaListGrid form(listKind, with);
    form.placeOver(mainWindow);
    mainWindow.showMinimized();
    form.fill(data);
    with.pump.runModal(form);
    const std::vector<QString>& edited = form.editedData();
    for (std::size_t i = 1; i < data.size() && i < edited.size(); ++i)
        data[i] = edited[i];
}

MediaListGrid::MediaListGrid(std::int16_t listKind, const GridServices& with)
    : QDialog(nullptr), with_(with), mode_(gridModeFor(listKind)), columnMaxLength_(columnMaxLengthFor(listKind)) {
    setObjectName(QStringLiteral("音楽映像登録"));
    setWindowTitle(mode_.caption);
    setWindowModality(Qt::ApplicationModal);
    setUpGrid();
    setUpEditor();
    setUpRowMenu();
}

MediaListGrid::~MediaListGrid() = default;

void MediaListGrid::setUpGrid() {
    auto* g = grid_ = new GridTable(this);
    g->setObjectName(QStringLiteral("MSFlexGrid1"));
    // As large as the menus, which grow with the screen.
    g->setFont(QFont(kGridFace, std::max(9, QApplication::font().pointSize())));
    const std::vector<GridColumn> columns = parseFormatString(mode_.formatString);
    noColumn_ = columns.front();
    const int dataColumns = static_cast<int>(columns.size()) - 1;
    g->setColumnCount(dataColumns);
    g->setRowCount(kRows);
    // Each column is as wide as its header text, blanks included.
    const QFontMetrics metrics(g->font());
    for (int c = 1; c <= dataColumns; ++c) {
        const GridColumn& column = columns[static_cast<std::size_t>(c)];
        auto* header = new QTableWidgetItem(column.header.trimmed());
        header->setTextAlignment(column.alignment);
        g->setHorizontalHeaderItem(c - 1, header);
        g->setColumnWidth(c - 1, metrics.horizontalAdvance(column.header) + 2 * kCellPadding);
        for (int r = 0; r < kRows; ++r) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(column.alignment);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            g->setItem(r, c - 1, item);
        }
    }
    g->horizontalHeader()->setStretchLastSection(true);
    // The header row is half as tall again as a default row; data rows are 0.8 of the header row.
    const double perPixel = twipsPerPixel(screen());
    const double rowTwips = pixelsToTwips(metrics.height() + kRowTextMargin, perPixel);
    const double headerTwips = std::round(rowTwips * 1.5);
    const double dataTwips = std::round(headerTwips * 0.8);
    g->horizontalHeader()->setFixedHeight(twipsToPixels(headerTwips, perPixel));
    QHeaderView* numbers = g->verticalHeader();
    numbers->setMinimumSectionSize(1);
    numbers->setSectionResizeMode(QHeaderView::Fixed);
    numbers->setDefaultSectionSize(twipsToPixels(dataTwips, perPixel));
    numbers->setDefaultAlignment(noColumn_.alignment);
    numbers->setFixedWidth(std::max(metrics.horizontalAdvance(noColumn_.header),
                                    metrics.horizontalAdvance(QStringLiteral("200"))) +
                           2 * kCellPadding);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ContiguousSelection);
    g->setWordWrap(false);
    g->viewport()->setAcceptDrops(true);
    corner_ = g->findChild<QAbstractButton*>();
    if (corner_ != nullptr)
        corner_->installEventFilter(this);
    g->onKey = [this](QKeyEvent& event) { return gridKeyDown(event); };
    g->onInputMethod = [this](QInputMethodEvent& event) { gridInputMethod(event); };
    g->onDrop = [this](const QStringList& files) { placeFiles(files, 1); };
    g->onRightRelease = [this](const QPoint& at) { openRowMenu(at); };
    // Scrolling away from the cell being edited ends the edit, keeping it.
    g->onScroll = [this] {
        if (editing_)
            grid_->setFocus();
    };
    g->setCurrentCell(0, 0);
}

void MediaListGrid::setUpEditor() {
    editor_ = new QLineEdit(this);
    editor_->setObjectName(QStringLiteral("txtForEdit"));
    editor_->setFont(QFont(kGridFace, 12));
    editor_->setFrame(false);
    QPalette palette = editor_->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 192));
    palette.setColor(QPalette::Text, Qt::black);
    editor_->setPalette(palette);
    editor_->hide();
    editor_->installEventFilter(this);
}

void MediaListGrid::placeOver(const QWidget& mainWindow) {
    const QRect main = mainWindow.geometry();
    resize(main.width(), main.height() / 2);
    move(main.x(), 0);
    const double perPixel = twipsPerPixel(mainWindow.screen());
    grid_->setGeometry(0, 0, width() - twipsToPixels(kGridMarginRight, perPixel),
                             height() - twipsToPixels(kGridMarginBottom, perPixel));
}

void MediaListGrid::fill(const std::vector<QString>& data) {
    const int k = mode_.dataColumns;
    for (int r = 1; r <= kRows; ++r)
        for (int j = 1; j <= k; ++j)
            if (const auto i = static_cast<std::size_t>((r - 1) * k + j); i < data.size())
                setCellText(r, j, data[i]);
    grid_->setCurrentCell(0, 0);
}

QString MediaListGrid::cellText(int row, int column) const {
    return grid_->item(row - 1, column - 1)->text();
}

void MediaListGrid::setCellText(int row, int column, const QString& text) {
    grid_->item(row - 1, column - 1)->setText(text);
}

int MediaListGrid::currentRow() const {
    return grid_->currentRow() + 1;
}
int MediaListGrid::currentColumn() const {
    return grid_->currentColumn() + 1;
}

// However the window goes (F1, Esc, the close box), the grid is kept, with a cell still being edited.
void MediaListGrid::hideEvent(QHideEvent* event) {
    storeEdit();
    const int k = mode_.dataColumns;
    editedData_.assign(static_cast<std::size_t>(kRows * k + 1), QString());
    for (int r = 1; r <= kRows; ++r)
        for (int j = 1; j <= k; ++j)
            editedData_[static_cast<std::size_t>((r - 1) * k + j)] = cellText(r, j);
    QDialog::hideEvent(event);
}

bool MediaListGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (watched != editor_)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return editorKeyDown(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            storeEdit();
    }
    return QDialog::eventFilter(watched, event);
}

// The No. column's header sits in the grid's corner.
void MediaListGrid::paintCorner() {
    QPainter painter(corner_);
    QStyleOptionHeader option;
    option.initFrom(corner_);
    option.rect = corner_->rect();
    option.text = noColumn_.header;
    option.textAlignment = noColumn_.alignment;
    option.position = QStyleOptionHeader::OnlyOneSection;
    corner_->style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
}

// Ctrl+Shift+F11, on the grid or in the editor, prints an image of the window.
bool MediaListGrid::printKey(const QKeyEvent& event) {
    if (event.key() != Qt::Key_F11 || event.modifiers() != (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    printWindowImage(*this, with_.printer, with_.dialogs, with_.pdfFolder);
    return true;
}

bool MediaListGrid::gridKeyDown(QKeyEvent& event) {
    const int key = event.key();
    if (printKey(event))
        return true;
    if (key == Qt::Key_F1 || key == Qt::Key_Escape) {
        hide();
        return true;
    }
    if (key == Qt::Key_F4) {
        showRowMenuAtCell();
        return true;
    }
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        startEdit(Start::KeepText, true);
    } else if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        startEdit(Start::Empty, key == Qt::Key_Backspace);
    } else if (key >= Qt::Key_Kanji && key <= Qt::Key_Eisu_toggle) {
        startEdit(Start::Composing, false); // the input method's keys: its text goes into the editor
    } else {
        const QString text = event.text();
        if (text.isEmpty() || text.front() < QChar(0x20) || text.front() == QChar(0x7F))
            return false;
        startEdit(Start::Typed, true, text);
    }
    return true;
}

// Composed Japanese text starts an edit of the cell, as typing does, and goes on into the editor.
void MediaListGrid::gridInputMethod(QInputMethodEvent& event) {
    if (!editing_) {
        if (event.commitString().isEmpty() && event.preeditString().isEmpty())
            return;
        startEdit(Start::Composing, false);
    }
    if (editing_)
        QCoreApplication::sendEvent(editor_, &event);
}

void MediaListGrid::startEdit(Start how, bool characterKey, const QString& typed) {
    const int row = currentRow();
    const int col = currentColumn();
    if (row < 1 || col < 1)
        return;
    const int maxLength = columnMaxLength_.at(static_cast<std::size_t>(col));
    if (maxLength == -1) {
        if (characterKey)
            with_.dialogs.messageBox(this, QStringLiteral("このセルは、編集できません。"),
                                     MessageKind::Critical);
        grid_->setFocus();
        return;
    }
    const QString current = cellText(row, col);
    QString text;
    if (how == Start::Typed)
        text = typed;
    else if (how != Start::Empty)
        text = current;
    // A longer text already in the cell (a dropped path, a stored time) is not cut by editing it.
    editor_->setMaxLength(std::max<int>(maxLength, static_cast<int>(text.size())));
    editor_->setText(text);
    editor_->setCursorPosition(how == Start::KeepText ? 0 : static_cast<int>(text.size()));
    QTableWidgetItem* cell = grid_->item(row - 1, col - 1);
    grid_->scrollToItem(cell);
    const QRect rect = grid_->visualItemRect(cell);
    editor_->setGeometry(QRect(grid_->viewport()->mapTo(this, rect.topLeft()), rect.size()));
    editCol_ = col;
    editRow_ = row;
    editing_ = true;
    editor_->show();
    editor_->raise();
    editor_->setFocus();
}

void MediaListGrid::storeEdit() {
    if (!editing_)
        return;
    editing_ = false;
    editor_->hide();
    grid_->setFocus();
    if (!keepStorable({editor_->text()}).isEmpty())
        setCellText(editRow_, editCol_, editor_->text());
}

// A path the show file cannot hold would make every later save fail: it is refused as it comes in,
// named in one message, and its cell keeps what it had. Returns the paths that can be kept.
QStringList MediaListGrid::keepStorable(const QStringList& paths) {
    QStringList kept, refused;
    for (const QString& path : paths)
        (isAnsiEncodable(path) ? kept : refused) << path;
    if (!refused.isEmpty())
        with_.dialogs.messageBox(this,
                                 QStringLiteral("このファイルは登録できません。\r\n") + refused.join(QStringLiteral("\r\n")) +
                                     QStringLiteral("\r\nフォルダー名かファイル名に、ビンゴ設定情報に保存できない文字があります。"),
                                 MessageKind::Critical);
    return kept;
}

bool MediaListGrid::editorKeyDown(const QKeyEvent& event) {
    if (printKey(event))
        return true;
    switch (event.key()) {
    case Qt::Key_Escape:
        editing_ = false;
        editor_->hide();
        grid_->setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        storeEdit();
        with_.pump.doEvents();
        moveAfterEnter();
        return true;
    case Qt::Key_Up:
        storeEdit();
        if (currentRow() > 1)
            goToRow(currentRow() - 1);
        return true;
    case Qt::Key_Down:
        storeEdit();
        if (currentRow() < kRows)
            goToRow(currentRow() + 1);
        return true;
    case Qt::Key_F4:
        storeEdit();
        showRowMenuAtCell();
        return true;
    default:
        return false;
    }
}

// Enter walks start → play → path, then to the first editable column of the next row.
void MediaListGrid::moveAfterEnter() {
    int row = currentRow();
    int col = currentColumn();
    const int last = mode_.dataColumns;
    if (col == last) {
        col = 0;
        grid_->horizontalScrollBar()->setValue(0);
        if (row < kRows)
            ++row;
    }
    do
        ++col;
    while (col < last && columnMaxLength_.at(static_cast<std::size_t>(col)) == -1);
    grid_->setCurrentCell(row - 1, col - 1);
    grid_->scrollToItem(grid_->currentItem());
}

void MediaListGrid::goToRow(int row) {
    grid_->setCurrentCell(row - 1, currentColumn() - 1);
    grid_->scrollToItem(grid_->currentItem());
}

} // namespace halvora
