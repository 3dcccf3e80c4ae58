#pragma once

#include <functional>

// Lets pending events run, so windows keep painting during long work, but delivers no user
// input: no click or key can start an operation inside another. The held-back input arrives
// once the operation has returned to the event loop.
void LetEventsRun();

// Waits up to ms for done() to turn true, letting events other than user input run meanwhile.
// True when it did.
bool WaitLettingEventsRun(int ms, const std::function<bool()>& done);
