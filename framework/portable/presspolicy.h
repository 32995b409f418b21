// What the window model's loop decides for a person: whether one can act, what to press for them
// when their input has ended, and what an interruption does. Decisions on the sheet as the view
// sees it; the model carries them out.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "framework/portable/view.h"

namespace portable {

// A message box is up, or Next, Finish or Cancel can be pressed.
bool PersonCanAct(const SheetView& sheet);

// Input has ended: answer a box, and otherwise end the wizard the way it lets itself be ended:
// Cancel, else Finish, else Next; None when nothing can be pressed.
Press AutomaticPress(const SheetView& sheet);

// An interruption (a signal, or q in the terminal view). Where the wizard offers a way out it is
// taken; while nobody can stop the work, or while the sheet objects to ending, the first is
// refused and a second within kSecondInterruptWindow ends the program, but a hangup is refused
// every time; otherwise the program ends.
class InterruptPolicy {
public:
    enum class Answer { PressCancel, PressFinish, Refuse, End };

    // `pressable`: the running sheet takes presses; `sheetUp`: there is a sheet at all.
    // `sheetMayEnd` asks the sheet, and is called only when the answer matters.
    Answer Judge(int sig, const SheetView& sheet, bool pressable, bool sheetUp,
                 const std::function<bool()>& sheetMayEnd,
                 std::chrono::steady_clock::time_point now);

private:
    std::optional<std::chrono::steady_clock::time_point> m_refusedAt;
};

}  // namespace portable
