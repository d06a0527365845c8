#include "apps/mimeo/play_axis.h"

namespace {

// Pressing a play button for direction `towards`.
void Press(PlayAxis& axis, int towards) {
    if (axis.direction == towards) {
        axis.level = axis.level < 4 ? axis.level + 1 : 4;
    } else if (axis.direction == -towards) {
        axis.level -= 1;
        if (axis.level <= 0)
            axis.Stop();
    } else {
        axis.level = 1;
        axis.direction = towards;
    }
}

}  // namespace

void PlayAxis::Forward() {
    Press(*this, +1);
}

void PlayAxis::Backward() {
    Press(*this, -1);
}

int PlayAxis::PeriodMs() const {
    static constexpr int kPeriods[] = {0, 400, 200, 100, 50};
    return level >= 0 && level <= 4 ? kPeriods[level] : 0;
}

int StepFrame(int index, int step, int count) {
    if (count <= 0)
        return 0;
    const int moved = (index + step) % count;
    return moved < 0 ? moved + count : moved;
}
