#pragma once
// Playing the frames of one grid axis (columns or rows): a speed level 0 to 4 and a direction
// -1, 0 or +1, stepped by the ">>", "<<" and "Stop" buttons. Plain values, any thread.

struct PlayAxis {
    int level = 0;
    int direction = 0;

    // ">>": faster when playing forwards (up to level 4), slower when playing backwards (and
    // stopped once the level reaches 0), level 1 forwards when stopped.
    void Forward();
    // "<<": the mirror image of Forward.
    void Backward();
    void Stop() { level = direction = 0; }
    // The timer period of the level in milliseconds; 0 means no timer runs.
    int PeriodMs() const;
};

// `index` moved by `step` in a grid of `count` frames, wrapping at both ends.
int StepFrame(int index, int step, int count);
