#include "dialogs/screen_settings_dialog.h"

#include "dialogs/colour_picker.h"
#include "platform/colours.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace halvora {

namespace {

const QString kRowNames[5] = {QStringLiteral("フォーム"), QStringLiteral("パネル(大)"), QStringLiteral("パネル"),
                              QStringLiteral("当たり"), QStringLiteral("当たり(直近)")};

// Which mock-up boxes show a row: 1 the large panel, 2 the panels, 3 a drawn number, 4 the latest one.
std::vector<std::size_t> samplesOf(int row, bool allPanels) {
    switch (row) {
    case 1: return {0};
    case 2: return allPanels ? std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}
                             : std::vector<std::size_t>{1, 2, 3, 4, 6, 7, 8};
    case 3: return {5};
    case 4: return {9};
    default: return {};
    }
}

// Frames and the apply button keep the platform's face colours whatever the window colour is, so
// their captions stay readable.
void keepFaceColours(QWidget* widget) {
    const QPalette face = QApplication::palette();
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText, QPalette::Button,
                                     QPalette::ButtonText, QPalette::Base, QPalette::Text})
        palette.setColor(role, face.color(role));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false); // Enter in a colour box must not pick or apply
    return button;
}

} // namespace

void editScreenColours(ColourRow& backColours, ColourRow& foreColours, Dialogs& dialogs, EventPump& pump) {
    ScreenSettingsDialog form(backColours, foreColours, dialogs);
    pump.runModal(form);
}

ScreenSettingsDialog::ScreenSettingsDialog(ColourRow& backColours, ColourRow& foreColours, Dialogs& dialogs)
    : QDialog(nullptr), backColours_(backColours), foreColours_(foreColours), dialogs_(dialogs) {
    setObjectName(QStringLiteral("画面設定"));
    setWindowTitle(QStringLiteral("画面設定"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QGridLayout(this);
    layout->addWidget(createRows(0, QStringLiteral("背景色"), backTexts_), 0, 0);
    layout->addWidget(createRows(1, QStringLiteral("文字色"), foreTexts_), 1, 0);
    layout->addWidget(createMockUp(), 0, 1);
    applyButton_ = makeButton(QStringLiteral("Cmd設定適用"), QStringLiteral("適用"), this);
    keepFaceColours(applyButton_);
    connect(applyButton_, &QPushButton::clicked, this, &ScreenSettingsDialog::apply);
    layout->addWidget(applyButton_, 1, 1, Qt::AlignRight | Qt::AlignBottom);

    // The panels first, then the drawn and latest samples over them.
    for (int row = 0; row < 5; ++row) {
        paintRow(row, Side::Back, backColours[row], true);
        paintRow(row, Side::Fore, foreColours[row], true);
        backTexts_[row]->setText(backColours[row]);
        foreTexts_[row]->setText(foreColours[row]);
    }
}

QGroupBox* ScreenSettingsDialog::createRows(int frame, const QString& caption, std::array<QLineEdit*, 5>& texts) {
    auto* box = new QGroupBox(caption, this);
    if (frame == 0)
        backFrame_ = box;
    box->setObjectName(QStringLiteral("Frame1_%1").arg(frame));
    keepFaceColours(box);
    auto* grid = new QGridLayout(box);
    const Side side = frame == 0 ? Side::Back : Side::Fore;
    const QString buttonName = frame == 0 ? QStringLiteral("Cmd色指定_%1") : QStringLiteral("Cmd文字色_%1");
    const QString textName = frame == 0 ? QStringLiteral("Txt背景色_%1") : QStringLiteral("Txt文字色_%1");
    for (int row = 0; row < 5; ++row) {
        QPushButton* button = makeButton(buttonName.arg(row), kRowNames[row], box);
        connect(button, &QPushButton::clicked, this, [this, row, side] { pickColour(row, side); });
        texts[row] = new QLineEdit(QStringLiteral("0000000"), box);
        texts[row]->setObjectName(textName.arg(row));
        texts[row]->setMinimumWidth(texts[row]->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648  ")));
        grid->addWidget(button, row, 0);
        grid->addWidget(texts[row], row, 1);
    }
    return box;
}

// The large panel across the top, then three rows of three board numbers.
QWidget* ScreenSettingsDialog::createMockUp() {
    auto* mockUp = new QWidget(this);
    auto* grid = new QGridLayout(mockUp);
    grid->setSpacing(2);
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const QString caption = i == 0   ? QStringLiteral("パネル(大)")
                                : i == 5 ? QStringLiteral("当たり")
                                : i == 9 ? QStringLiteral("直近の当たり")
                                         : QStringLiteral("パネル");
        QLineEdit* sample = samples_[i] = new QLineEdit(caption, mockUp);
        sample->setObjectName(QStringLiteral("txtSample_%1").arg(i));
        sample->setReadOnly(true);
        sample->setFocusPolicy(Qt::NoFocus);
        sample->setAlignment(Qt::AlignCenter);
        const int lineHeight = sample->sizeHint().height();
        if (i == 0) {
            QFont large = sample->font();
            large.setPointSizeF(large.pointSizeF() * 2);
            sample->setFont(large);
            sample->setMinimumHeight(3 * lineHeight);
            grid->addWidget(sample, 0, 0, 1, 3);
        } else {
            sample->setMinimumSize(sample->fontMetrics().horizontalAdvance(QStringLiteral("直近の当たり")) + lineHeight,
                                   lineHeight * 3 / 2);
            const int k = static_cast<int>(i) - 1;
            grid->addWidget(sample, 1 + k / 3, k % 3);
        }
    }
    grid->setRowStretch(4, 1);
    return mockUp;
}

void ScreenSettingsDialog::paintRow(int row, Side side, const QString& text, bool allPanels) {
    if (row == 0) {
        setColour(this, side == Side::Back ? QPalette::Window : QPalette::WindowText, text);
        return;
    }
    for (std::size_t i : samplesOf(row, allPanels))
        setColour(samples_[i], side == Side::Back ? QPalette::Base : QPalette::Text, text);
}

void ScreenSettingsDialog::pickColour(int row, Side side) {
    // The picker belongs to no window, so the dialog itself is locked while it is open.
    applyButton_->setEnabled(false);
    setEnabled(false);
    backFrame_->setEnabled(false);
    if (const std::optional<QString> colour = ColourPicker::pickColour(dialogs_)) {
        (side == Side::Back ? backTexts_ : foreTexts_)[row]->setText(*colour);
        paintRow(row, side, *colour);
    }
    backFrame_->setEnabled(true);
    setEnabled(true);
    applyButton_->setEnabled(true);
}

void ScreenSettingsDialog::apply() {
    if (dialogs_.messageBox(this, QStringLiteral("指定条件を適用しますか？"), MessageKind::Question,
                            QStringLiteral("操作確認")) != Answer::Yes)
        return;
    for (int row = 0; row < 5; ++row) {
        backColours_[row] = backTexts_[row]->text();
        foreColours_[row] = foreTexts_[row]->text();
    }
    accept();
}

} // namespace halvora
