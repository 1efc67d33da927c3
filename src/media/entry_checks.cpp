#include "media/entry_checks.h"

#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace halvora {

namespace {

constexpr int kMostLinesShown = 20;

QString listName(std::int16_t listKind) {
    switch (listKind) {
    case 0:
        return QStringLiteral("音楽_動画");
    case 1:
        return QStringLiteral("背景画像");
    default:
        return QStringLiteral("アイコン");
    }
}

QString reason(EntryFault fault) {
    switch (fault) {
    case EntryFault::Missing:
        return QStringLiteral("ファイルがありません");
    case EntryFault::Folder:
        return QStringLiteral("フォルダーです");
    case EntryFault::Unreadable:
        return QStringLiteral("読み取れません");
    case EntryFault::NotPicture:
        return QStringLiteral("画像ではありません");
    case EntryFault::NotMedia:
        return QStringLiteral("音楽・動画ではありません");
    case EntryFault::QuoteInName:
        return QStringLiteral("ファイル名に「\"」を含むため再生できません");
    case EntryFault::Unstorable:
        return QStringLiteral("ビンゴ設定情報に保存できない文字があります");
    }
    return {};
}

} // namespace

std::optional<EntryFault> findQuickFault(std::int16_t listKind, const QString& path) {
    if (listKind == 0 && path.contains(QLatin1Char('"')))
        return EntryFault::QuoteInName;
    if (!isAnsiEncodable(path))
        return EntryFault::Unstorable;
    const QFileInfo info(path);
    if (!info.exists())
        return EntryFault::Missing;
    if (info.isDir())
        return EntryFault::Folder;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return EntryFault::Unreadable;
    if (listKind != 0 && !QImageReader(&file).canRead())
        return EntryFault::NotPicture;
    return std::nullopt;
}

QString describeFaultyEntries(const std::vector<FaultyEntry>& entries) {
    QStringList lines{QStringLiteral("次の行のファイルは、このままでは使えません。")};
    for (const FaultyEntry& e : entries) {
        if (lines.size() > kMostLinesShown) {
            lines << QStringLiteral("ほか %1 件").arg(entries.size() - kMostLinesShown);
            break;
        }
        lines << QStringLiteral("%1 %2行目: %3（%4）").arg(listName(e.listKind)).arg(e.row).arg(e.path, reason(e.fault));
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace halvora
