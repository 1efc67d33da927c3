#pragma once

#include "platform/picture_box.h"
#include "support/virtual_time.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <vector>

namespace halvora::test {

// What happened around a picture box, in order: its drawing operations, its paints on the screen
// and the program's "let pending events run", each at its virtual instant.
struct PictureEvent {
    enum class Kind { Op, Paint, DoEvents };
    Kind kind = Kind::Op;
    PictureOp op{};
    qint64 ms = 0;
};

// Keeps the record above; the program's "let pending events run" on the time line are noted too.
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

} // namespace halvora::test
