#pragma once

#include "draw/draw_cycle.h"
#include "draw/hand_marking.h"
#include "draw/main_controls.h"
#include "draw/main_form.h"
#include "platform/picture_box.h"
#include "support/fake_dialogs.h"
#include "support/media_recorder.h"
#include "support/printer_recorder.h"
#include "support/scripted_random.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace halvora::test {

// What happened around a picture box, in order: its drawing operations, its paints on the screen
// and the program's "let pending events run", each at its virtual instant.
struct PictureEvent {
    enum class Kind { Op, Paint, DoEvents };
    Kind kind = Kind::Op;
    PictureOp op{};
    qint64 ms = 0;
};

class PictureRecorder final : public QObject {
public:
    explicit PictureRecorder(VirtualTime& time) : time_(time) {
        time.beforeDoEvents = [this] { add(PictureEvent::Kind::DoEvents, {}); };
    }

    void watch(PictureBox& box) {
        box.setObserver([this](const PictureOp& op) { add(PictureEvent::Kind::Op, op); });
        box.installEventFilter(this);
    }
    void clear() { events.clear(); }

    std::vector<PictureOp> prints() const {
        std::vector<PictureOp> result;
        for (const PictureEvent& e : events)
            if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Print)
                result.push_back(e.op);
        return result;
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            add(PictureEvent::Kind::Paint, {});
        return false;
    }

    std::vector<PictureEvent> events;

private:
    void add(PictureEvent::Kind kind, const PictureOp& op) { events.push_back({kind, op, time_.elapsedMs()}); }

    VirtualTime& time_;
};

// The main window on the virtual time line, every service a recording fake.
class MainWindowTest : public ::testing::Test {
protected:
    // Builds and starts the window (by default from `folder`); false when the start-up refused it.
    bool startWindow(const QString& programFolder = {}) {
        media.whileOpening = [this] { time.doEvents(); };
        form = std::make_unique<MainForm>(
            services, printer, programFolder.isEmpty() ? folder.path() : programFolder, userData.path());
        return form->load();
    }
    // Starts the window on the sample show (its first start lays the samples out), icons picked in turn.
    void startSampleShow() {
        folder.addSampleMedia();
        random.setCounting();
        ASSERT_TRUE(startWindow());
        time.doEvents();
    }

    template <typename T = QWidget> T* control(QStringView name) const {
        T* widget = form->findChild<T*>(name.toString());
        EXPECT_NE(widget, nullptr) << name.toString().toStdString();
        return widget;
    }
    QLineEdit* box(int n) const { return control<QLineEdit>(QStringLiteral("Text1_%1").arg(n)); }
    QString text(QStringView name) const { return control<QLineEdit>(name)->text(); }
    void trigger(QStringView action) const { control<QAction>(action)->trigger(); }
    // Double-clicks board box n, closes the pop-up it opened and gives one of its commands.
    void correct(int n, QStringView command) const {
        form->handMarking().openMenu(n, {});
        control<QMenu>(u"Menu当り修正")->hide();
        trigger(command);
    }
    // A message as "prompt|kind|title", the kind in words ("question, いいえ default").
    static QString messageText(const FakeDialogs::Message& m) {
        static const char* const kinds[] = {"plain",    "information", "warning",
                                            "critical", "question",    "question, いいえ default"};
        return m.prompt + u'|' + QString::fromUtf8(kinds[int(m.kind)]) + u'|' + m.title;
    }
    QString lastMessage() const { return dialogs.messages().empty() ? QString() : messageText(dialogs.messages().back()); }
    QColor back(int n) const { return box(n)->palette().color(QPalette::Base); }
    int visibleBoxes() const {
        const auto& boxes = form->controls().boardBoxes;
        return int(std::count_if(boxes.begin() + 1, boxes.end(), [](auto* b) { return b->isVisible(); }));
    }

    ProgramFolder folder;
    ProgramFolder userData;
    VirtualTime time;
    ScriptedRandom random;
    FakeDialogs dialogs;
    MediaRecorder media;
    Services services{time, random, time, time, dialogs, media};
    PrinterRecorder printer;
    std::unique_ptr<MainForm> form;
};

// Board colours of a number not drawn, drawn, and drawn in the current turn.
inline const QColor kNotDrawn(64, 64, 64);
inline const QColor kDrawn(128, 255, 128);
inline const QColor kLatest(255, 128, 128);

} // namespace halvora::test
