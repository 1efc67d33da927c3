#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace halvora {

class Dialogs;
class Printer;

// Where a print job goes. With a default printer it goes there. Without one the operator is told
// ("プリンターが設定されていません。", or "プリンターが応答しません。" when the print system did not answer,
// then "<what>をPDFファイルに保存します。") and names a PDF, offered as
// "<what>.pdf" in `folder`; ".pdf" is added to a bare name. The job is named `what` either way.
// Gives the PDF's path, empty for the printer, nothing when the operator declines.
std::optional<QString> choosePrintOutput(Printer& printer, Dialogs& dialogs, QWidget* owner, const QString& folder,
                                         const QString& what);

} // namespace halvora
