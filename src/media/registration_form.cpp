#include "media/registration_form.h"

#include "media/grid_table.h"
#include "media/window_print.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/twips.h"

#include <QAbstractButton>
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

void 使用ファイル編集(std::int16_t& sw, QWidget& MF, std::vector<QString>& argデータ,
                      std::int16_t& arg終了方法, const GridServices& with) {
    音楽映像登録Frm form(sw, with);
    form.placeOver(MF);
    MF.showMinimized();
    form.fill(argデータ);
    with.pump.runModal(form);
    const std::vector<QString>& edited = form.editedData();
    for (std::size_t i = 1; i < argデータ.size() && i < edited.size(); ++i)
        argデータ[i] = edited[i];
    arg終了方法 = 0;
}

音楽映像登録Frm::音楽映像登録Frm(std::int16_t sw, const GridServices& with)
    : QDialog(nullptr), with_(with), mode_(GridModeFor(sw)), ColumnMaxLength(ColumnMaxLengthFor(sw)) {
    setObjectName(QStringLiteral("音楽映像登録Frm"));
    setWindowTitle(mode_.caption);
    setWindowModality(Qt::ApplicationModal);
    setUpGrid();
    setUpEditor();
    setUpRowMenu();
}

音楽映像登録Frm::~音楽映像登録Frm() = default;

void 音楽映像登録Frm::setUpGrid() {
    auto* g = MSFlexGrid1 = new GridTable(this);
    g->setObjectName(QStringLiteral("MSFlexGrid1"));
    g->setFont(QFont(kGridFace, 9));
    const std::vector<GridColumn> columns = ParseFormatString(mode_.formatString);
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
    g->onKey = [this](QKeyEvent& event) { return MSFlexGrid1_KeyDown(event); };
    g->onInputMethod = [this](QInputMethodEvent& event) { MSFlexGrid1_InputMethod(event); };
    g->onDrop = [this](const QStringList& files) { placeFiles(files, 1); };
    g->onRightRelease = [this](const QPoint& at) { openRowMenu(at); };
    // Scrolling away from the cell being edited ends the edit, keeping it.
    g->onScroll = [this] {
        if (editing_)
            MSFlexGrid1->setFocus();
    };
    g->setCurrentCell(0, 0);
}

void 音楽映像登録Frm::setUpEditor() {
    txtForEdit = new QLineEdit(this);
    txtForEdit->setObjectName(QStringLiteral("txtForEdit"));
    txtForEdit->setFont(QFont(kGridFace, 12));
    txtForEdit->setFrame(false);
    QPalette palette = txtForEdit->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 192));
    palette.setColor(QPalette::Text, Qt::black);
    txtForEdit->setPalette(palette);
    txtForEdit->hide();
    txtForEdit->installEventFilter(this);
}

void 音楽映像登録Frm::placeOver(const QWidget& mainWindow) {
    const QRect main = mainWindow.geometry();
    resize(main.width(), main.height() / 2);
    move(main.x(), 0);
    const double perPixel = twipsPerPixel(mainWindow.screen());
    MSFlexGrid1->setGeometry(0, 0, width() - twipsToPixels(kGridMarginRight, perPixel),
                             height() - twipsToPixels(kGridMarginBottom, perPixel));
}

void 音楽映像登録Frm::fill(const std::vector<QString>& data) {
    const int k = mode_.dataColumns;
    for (int r = 1; r <= kRows; ++r)
        for (int j = 1; j <= k; ++j)
            if (const auto i = static_cast<std::size_t>((r - 1) * k + j); i < data.size())
                setCellText(r, j, data[i]);
    MSFlexGrid1->setCurrentCell(0, 0);
}

QString 音楽映像登録Frm::cellText(int row, int column) const {
    return MSFlexGrid1->item(row - 1, column - 1)->text();
}

void 音楽映像登録Frm::setCellText(int row, int column, const QString& text) {
    MSFlexGrid1->item(row - 1, column - 1)->setText(text);
}

int 音楽映像登録Frm::currentRow() const {
    return MSFlexGrid1->currentRow() + 1;
}
int 音楽映像登録Frm::currentColumn() const {
    return MSFlexGrid1->currentColumn() + 1;
}

// However the window goes (F1, Esc, the close box), the grid is kept, with a cell still being edited.
void 音楽映像登録Frm::hideEvent(QHideEvent* event) {
    storeEdit();
    const int k = mode_.dataColumns;
    EditedData.assign(static_cast<std::size_t>(kRows * k + 1), QString());
    for (int r = 1; r <= kRows; ++r)
        for (int j = 1; j <= k; ++j)
            EditedData[static_cast<std::size_t>((r - 1) * k + j)] = cellText(r, j);
    QDialog::hideEvent(event);
}

bool 音楽映像登録Frm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (watched != txtForEdit)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return txtForEdit_KeyDown(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            storeEdit();
    }
    return QDialog::eventFilter(watched, event);
}

// The No. column's header sits in the grid's corner.
void 音楽映像登録Frm::paintCorner() {
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
bool 音楽映像登録Frm::printKey(const QKeyEvent& event) {
    if (event.key() != Qt::Key_F11 || event.modifiers() != (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    PrintWindowImage(*this, with_.printer, with_.dialogs, with_.pdfFolder);
    return true;
}

bool 音楽映像登録Frm::MSFlexGrid1_KeyDown(QKeyEvent& event) {
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
void 音楽映像登録Frm::MSFlexGrid1_InputMethod(QInputMethodEvent& event) {
    if (!editing_) {
        if (event.commitString().isEmpty() && event.preeditString().isEmpty())
            return;
        startEdit(Start::Composing, false);
    }
    if (editing_)
        QCoreApplication::sendEvent(txtForEdit, &event);
}

void 音楽映像登録Frm::startEdit(Start how, bool characterKey, const QString& typed) {
    const int row = currentRow();
    const int col = currentColumn();
    if (row < 1 || col < 1)
        return;
    const int maxLength = ColumnMaxLength.at(static_cast<std::size_t>(col));
    if (maxLength == -1) {
        if (characterKey)
            with_.dialogs.messageBox(this, QStringLiteral("このセルは、編集できません。"),
                                     MessageKind::Critical);
        MSFlexGrid1->setFocus();
        return;
    }
    const QString current = cellText(row, col);
    QString text;
    if (how == Start::Typed)
        text = typed;
    else if (how != Start::Empty)
        text = current;
    // A longer text already in the cell (a dropped path, a stored time) is not cut by editing it.
    txtForEdit->setMaxLength(std::max<int>(maxLength, static_cast<int>(text.size())));
    txtForEdit->setText(text);
    txtForEdit->setCursorPosition(how == Start::KeepText ? 0 : static_cast<int>(text.size()));
    QTableWidgetItem* cell = MSFlexGrid1->item(row - 1, col - 1);
    MSFlexGrid1->scrollToItem(cell);
    const QRect rect = MSFlexGrid1->visualItemRect(cell);
    txtForEdit->setGeometry(QRect(MSFlexGrid1->viewport()->mapTo(this, rect.topLeft()), rect.size()));
    EditCol = col;
    EditRow = row;
    editing_ = true;
    txtForEdit->show();
    txtForEdit->raise();
    txtForEdit->setFocus();
}

void 音楽映像登録Frm::storeEdit() {
    if (!editing_)
        return;
    editing_ = false;
    setCellText(EditRow, EditCol, txtForEdit->text());
    txtForEdit->hide();
    MSFlexGrid1->setFocus();
}

bool 音楽映像登録Frm::txtForEdit_KeyDown(const QKeyEvent& event) {
    if (printKey(event))
        return true;
    switch (event.key()) {
    case Qt::Key_Escape:
        editing_ = false;
        txtForEdit->hide();
        MSFlexGrid1->setFocus();
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
void 音楽映像登録Frm::moveAfterEnter() {
    int row = currentRow();
    int col = currentColumn();
    const int last = mode_.dataColumns;
    if (col == last) {
        col = 0;
        MSFlexGrid1->horizontalScrollBar()->setValue(0);
        if (row < kRows)
            ++row;
    }
    do
        ++col;
    while (col < last && ColumnMaxLength.at(static_cast<std::size_t>(col)) == -1);
    MSFlexGrid1->setCurrentCell(row - 1, col - 1);
    MSFlexGrid1->scrollToItem(MSFlexGrid1->currentItem());
}

void 音楽映像登録Frm::goToRow(int row) {
    MSFlexGrid1->setCurrentCell(row - 1, currentColumn() - 1);
    MSFlexGrid1->scrollToItem(MSFlexGrid1->currentItem());
}

} // namespace halvora
