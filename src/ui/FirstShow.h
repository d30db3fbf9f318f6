#pragma once

#include <utility>

// Tells a window's first show from the later ones (after a minimise or a hide), so that the
// work of its opening (loading, focusing, starting a timer) runs once:
//     if (firstShow())
//         FormShow();
class TFirstShow {
public:
    // True at the first call only.
    bool operator()() { return !std::exchange(shown, true); }

private:
    bool shown = false;
};
