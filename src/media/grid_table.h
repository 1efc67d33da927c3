#pragma once

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>
#include <QUrl>

#include <functional>

namespace halvora {

// The list grid: a table that hands its keys, input-method text, right-button releases, scrolling
// and dropped local files to the window that owns it.
class GridTable final : public QTableWidget {
public:
    using QTableWidget::QTableWidget;

    std::function<bool(QKeyEvent&)> onKey; // true when taken
    std::function<void(QInputMethodEvent&)> onInputMethod;
    std::function<void(const QStringList& files)> onDrop;
    std::function<void(const QPoint& globalPos)> onRightRelease;
    std::function<void()> onScroll;

    // The local files among the dragged items, in the file manager's order.
    static QStringList localFiles(const QMimeData* data) {
        QStringList files;
        if (data != nullptr && data->hasUrls())
            for (const QUrl& url : data->urls())
                if (url.isLocalFile())
                    files << url.toLocalFile();
        return files;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!onKey || !onKey(*event))
            QTableWidget::keyPressEvent(event);
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (onInputMethod)
            onInputMethod(*event);
    }
    void dragEnterEvent(QDragEnterEvent* event) override { acceptFiles(*event); }
    void dragMoveEvent(QDragMoveEvent* event) override { acceptFiles(*event); }
    void dropEvent(QDropEvent* event) override {
        const QStringList files = localFiles(event->mimeData());
        if (files.isEmpty())
            return event->ignore();
        event->acceptProposedAction();
        if (onDrop)
            onDrop(files);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTableWidget::mouseReleaseEvent(event);
        if (event->button() == Qt::RightButton && onRightRelease)
            onRightRelease(event->globalPosition().toPoint());
    }
    void scrollContentsBy(int dx, int dy) override {
        QTableWidget::scrollContentsBy(dx, dy);
        if (onScroll)
            onScroll();
    }

private:
    static void acceptFiles(QDropEvent& event) {
        if (localFiles(event.mimeData()).isEmpty())
            event.ignore();
        else
            event.acceptProposedAction();
    }
};

} // namespace halvora
