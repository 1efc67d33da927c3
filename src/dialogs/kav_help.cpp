#include "dialogs/kav_help.h"

#include "platform/event_pump.h"
#include "platform/text_file.h"
#include "platform/twips.h"

#include <QFileInfo>
#include <QFont>
#include <QPlainTextEdit>

namespace halvora {

QString ReadHelpText(const QString& path) {
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

QString InstructionsFolder(const QString& appFolder, const QString& shippedFolder, const QString& fileName) {
    if (shippedFolder.isEmpty() || QFileInfo::exists(appFolder + fileName) ||
        !QFileInfo::exists(shippedFolder + fileName))
        return appFolder;
    return shippedFolder;
}

void ヘルプ呼び出し(QString& folder, QString& fileName, QWidget& owner, EventPump& pump) {
    KavHelp viewer(&owner);
    viewer.placeOver(owner);
    viewer.loadText(folder + fileName);
    pump.runModal(viewer);
}

KavHelp::KavHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KavHelp"));
    setWindowTitle(QStringLiteral("Readme.txt"));
    TextHelp = new QPlainTextEdit(QStringLiteral("Text1"), this);
    TextHelp->setObjectName(QStringLiteral("TextHelp"));
    TextHelp->setReadOnly(true);
    TextHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextHelp->setFocusPolicy(Qt::ClickFocus); // not reached by Tab
    QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
    font.setPointSizeF(13.5);
    TextHelp->setFont(font);
}

// The viewer covers the owner but for a strip at the bottom; the text box fills it but for its margins.
void KavHelp::placeOver(const QWidget& owner) {
    const double perPixel = twipsPerPixel(owner.screen());
    const QRect area = owner.geometry();
    const int strip = twipsToPixels(300, perPixel);
    resize(area.width(), area.height() - strip);
    move(area.topLeft()); // the frame's corner on the owner's
    TextHelp->setGeometry(twipsToPixels(20, perPixel), 0, width() - twipsToPixels(22, perPixel),
                          height() - strip);
}

void KavHelp::loadText(const QString& path) {
    TextHelp->setPlainText(ReadHelpText(path));
}

} // namespace halvora
