#include "framework/portable/presspolicy.h"

#include <csignal>

#include "framework/portable/interrupts.h"

namespace portable {

bool PersonCanAct(const SheetView& sheet) {
    return sheet.messageBox || sheet.next.Usable() || sheet.finish.Usable() ||
           sheet.cancel.Usable();
}

Press AutomaticPress(const SheetView& sheet) {
    if (sheet.messageBox) {
        return Press::Ok;
    }
    if (sheet.cancel.Usable()) {
        return Press::Cancel;
    }
    if (sheet.finish.Usable()) {
        return Press::Finish;
    }
    if (sheet.next.Usable()) {
        return Press::Next;
    }
    return Press::None;
}

InterruptPolicy::Answer InterruptPolicy::Judge(int sig, const SheetView& sheet, bool pressable,
                                               bool sheetUp,
                                               const std::function<bool()>& sheetMayEnd,
                                               std::chrono::steady_clock::time_point now) {
    if (!sheet.messageBox && pressable) {
        // Cancel, or on a page that offers only Finish, where the work is over, Finish, which ends
        // with the outcome's code.
        if (sheet.cancel.Usable()) {
            return Answer::PressCancel;
        }
        if (sheet.finish.Usable()) {
            return Answer::PressFinish;
        }
    }
    // While a worker runs that nobody can stop, or while the sheet objects to ending (the mixer is
    // being updated, even with a box up), the program goes on.
    if (sheetUp && (!PersonCanAct(sheet) || !sheetMayEnd())) {
        // A lost terminal is nobody's second thought: a hangup never ends the work.
        if (sig == SIGHUP) {
            return Answer::Refuse;
        }
        if (!m_refusedAt || now - *m_refusedAt > kSecondInterruptWindow) {
            m_refusedAt = now;
            return Answer::Refuse;
        }
    }
    return Answer::End;
}

}  // namespace portable
