#include "media/entry_checks.h"

#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace halvora {

namespace {

constexpr int kMostLinesShown = 20;

const char16_t* const kListNames[] = {u"音楽_動画", u"背景画像", u"アイコン"};

// In the order of EntryFault.
const char16_t* const kReasons[] = {u"ファイルがありません",     u"フォルダーです",
                                    u"読み取れません",           u"画像ではありません",
                                    u"音楽・動画ではありません", u"ファイル名に「\"」を含むため再生できません",
                                    u"ビンゴ設定情報に保存できない文字があります"};

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
        lines << QStringLiteral("%1 %2行目: %3（%4）")
                     .arg(QString::fromUtf16(kListNames[std::clamp<int>(e.listKind, 0, 2)]))
                     .arg(e.row)
                     .arg(e.path, QString::fromUtf16(kReasons[static_cast<int>(e.fault)]));
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace halvora
