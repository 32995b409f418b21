// The window model's decisions for a person: the press that answers for them when their input has
// ended, and what an interruption does on each kind of sheet.
#include "framework/portable/presspolicy.h"

#include <gtest/gtest.h>

#include <csignal>

#include "framework/portable/interrupts.h"

namespace {

using portable::InterruptPolicy;
using portable::Press;
using portable::SheetView;
using Answer = InterruptPolicy::Answer;

// A sheet whose Next, Finish and Cancel can be pressed as given, with a box up or not.
SheetView Sheet(bool next, bool finish, bool cancel, bool box = false) {
    SheetView sheet;
    sheet.next.enabled = next;
    sheet.finish.enabled = finish;
    sheet.cancel.enabled = cancel;
    if (box) {
        sheet.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0};
    }
    return sheet;
}

TEST(PressPolicy, InputThatEndedEndsTheWizardTheWayItLetsItselfBeEnded) {
    struct Case {
        SheetView sheet;
        Press press;
    } const cases[] = {
        {Sheet(true, true, true, true), Press::Ok}, {Sheet(true, true, true), Press::Cancel},
        {Sheet(true, true, false), Press::Finish},  {Sheet(true, false, false), Press::Next},
        {Sheet(false, false, false), Press::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(portable::AutomaticPress(c.sheet), c.press) << &c - cases;
    }
}

TEST(PressPolicy, AnInterruptionTakesTheWayOutOrIsRefusedOnceWhileNobodyCanStopTheWork) {
    const auto start = std::chrono::steady_clock::now();
    struct Case {
        const char* what;
        int sig;
        SheetView sheet;
        bool pressable, sheetUp, mayEnd;
        std::chrono::seconds after;  // since the first interruption of the case
        Answer first, second;
    } const cases[] = {
        {"Cancel is there",
         SIGINT,
         Sheet(true, false, true),
         true,
         true,
         true,
         {},
         Answer::PressCancel,
         Answer::PressCancel},
        {"only Finish is left",
         SIGTERM,
         Sheet(false, true, false),
         true,
         true,
         false,
         {},
         Answer::PressFinish,
         Answer::PressFinish},
        {"a worker runs",
         SIGINT,
         Sheet(false, false, false),
         true,
         true,
         true,
         {},
         Answer::Refuse,
         Answer::End},
        {"a worker runs, the second comes late", SIGINT, Sheet(false, false, false), true, true,
         true, portable::kSecondInterruptWindow + std::chrono::seconds(1), Answer::Refuse,
         Answer::Refuse},
        {"a hangup while a worker runs",
         SIGHUP,
         Sheet(false, false, false),
         true,
         true,
         true,
         {},
         Answer::Refuse,
         Answer::Refuse},
        {"a box of the update",
         SIGINT,
         Sheet(false, false, true, true),
         true,
         true,
         false,
         {},
         Answer::Refuse,
         Answer::End},
        {"a box where the sheet may end",
         SIGINT,
         Sheet(false, false, true, true),
         true,
         true,
         true,
         {},
         Answer::End,
         Answer::End},
        {"a box without a sheet",
         SIGQUIT,
         Sheet(false, false, false, true),
         false,
         false,
         false,
         {},
         Answer::End,
         Answer::End},
    };
    for (const Case& c : cases) {
        InterruptPolicy policy;
        unsigned asked = 0;
        const auto mayEnd = [&] {
            ++asked;
            return c.mayEnd;
        };
        EXPECT_EQ(policy.Judge(c.sig, c.sheet, c.pressable, c.sheetUp, mayEnd, start), c.first)
            << c.what;
        EXPECT_EQ(policy.Judge(c.sig, c.sheet, c.pressable, c.sheetUp, mayEnd, start + c.after),
                  c.second)
            << c.what;
        // The sheet is asked only where its answer decides: a person could act and no way out
        // was taken.
        const bool decides = c.sheetUp && c.first != Answer::PressCancel &&
                             c.first != Answer::PressFinish && portable::PersonCanAct(c.sheet);
        EXPECT_EQ(asked, decides ? 2u : 0u) << c.what;
    }
}

}  // namespace
