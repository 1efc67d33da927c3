#include "dialogs/help_window.h"

#include "platform/event_pump.h"
#include "platform/text_file.h"
#include "platform/twips.h"

#include <QFileInfo>
#include <QFont>
#include <QPlainTextEdit>

namespace halvora {

QString readHelpText(const QString& path) {
    TextFile file;
    if (file.open(path, TextFile::Mode::Append))
        file.close();
    QString text;
    if (!file.open(path, TextFile::Mode::Input))
        return text;
    for (QString line; file.readLine(line);)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString instructionsFolder(const QString& appFolder, const QString& shippedFolder, const QString& fileName) {
    if (shippedFolder.isEmpty() || QFileInfo::exists(appFolder + fileName) ||
        !QFileInfo::exists(shippedFolder + fileName))
        return appFolder;
    return shippedFolder;
}

void showHelp(const QString& path, QWidget& owner, EventPump& pump) {
    HelpWindow viewer(owner, path);
    pump.runModal(viewer);
}

HelpWindow::HelpWindow(QWidget& owner, const QString& path) : QDialog(&owner) {
    setObjectName(QStringLiteral("操作説明"));
    setWindowTitle(QStringLiteral("Readme.txt"));
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("TextHelp"));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setFocusPolicy(Qt::ClickFocus); // not reached by Tab
    QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
    font.setPointSizeF(13.5);
    text->setFont(font);

    // The viewer covers the owner but for a strip at the bottom; the text box fills it but for its margins.
    const double perPixel = twipsPerPixel(owner.screen());
    const QRect area = owner.geometry();
    const int strip = twipsToPixels(300, perPixel);
    resize(area.width(), area.height() - strip);
    move(area.topLeft()); // the frame's corner on the owner's
    text->setGeometry(twipsToPixels(20, perPixel), 0, width() - twipsToPixels(22, perPixel),
                      height() - strip);
    text->setPlainText(readHelpText(path));
}

} // namespace halvora
