#include "draw/entry_report.h"

#include "draw/show_setup.h"
#include "media/entry_checks.h"
#include "platform/dialogs.h"
#include "platform/media_player.h"

#include <algorithm>
#include <span>
#include <utility>

namespace halvora {

namespace {

std::pair<int, std::span<const QString>> listOf(const ShowSetup& show, std::int16_t kind) {
    if (kind == 0)
        return {show.av.count, show.av.files};
    if (kind == 1)
        return {show.pictures.count, show.pictures.files};
    return {show.icons.count, show.icons.files};
}

} // namespace

EntryReport::EntryReport(const ShowSetup& show, Dialogs& dialogs, MediaPlayer& media, QWidget& owner)
    : show_(show), dialogs_(dialogs), media_(media), owner_(owner) {}

void EntryReport::check(std::initializer_list<std::int16_t> listKinds) {
    std::vector<FaultyEntry> faults;
    QStringList probed; // music and video entries that passed the quick look
    std::vector<int> probedRows;
    for (const std::int16_t kind : listKinds) {
        const auto [count, files] = listOf(show_, kind);
        for (int row = 1; row <= std::min<int>(count, int(files.size()) - 1); ++row) {
            const QString& path = files[static_cast<std::size_t>(row)];
            if (path.trimmed().isEmpty())
                continue;
            if (const auto fault = findQuickFault(kind, path))
                faults.push_back({kind, row, path, *fault});
            else if (kind == 0) {
                probed << path;
                probedRows.push_back(row);
            }
        }
    }
    const int number = ++*latest_;
    auto report = [this, number, latest = std::weak_ptr<int>(latest_), faults, probed,
                 probedRows](const std::vector<MediaKind>& kinds) mutable {
        const std::shared_ptr<int> alive = latest.lock();
        if (!alive || *alive != number)
            return;
        for (std::size_t i = 0; i < kinds.size() && i < probedRows.size(); ++i)
            if (kinds[i] == MediaKind::None)
                faults.push_back({0, probedRows[i], probed[static_cast<qsizetype>(i)], EntryFault::NotMedia});
        std::stable_sort(faults.begin(), faults.end(), [](const FaultyEntry& a, const FaultyEntry& b) {
            return std::pair(a.listKind, a.row) < std::pair(b.listKind, b.row);
        });
        if (!faults.empty())
            tell(describeFaultyEntries(faults));
    };
    if (probed.isEmpty())
        report({});
    else
        media_.probe(probed, report);
}

void EntryReport::tell(const QString& message) {
    if (busy && busy()) {
        waiting_ = message;
        return;
    }
    waiting_.clear();
    dialogs_.messageBox(&owner_, message, MessageKind::Plain);
}

void EntryReport::showWaiting() {
    if (!waiting_.isEmpty())
        tell(std::exchange(waiting_, {}));
}

} // namespace halvora
