// When the window's place and size are sent: the wanted value's changes, and another program's
// change put back once until the server confirms a value, even when a window manager's notices
// come late.
#include <gtest/gtest.h>

#include <vector>

#include "host/x11/mascot_window.h"

namespace {

enum class Step {
    Notice,  // the server's notice of the window's value
    Quiet,   // the value wanted for the tick, with nothing to send
    Sends,   // the value wanted for the tick, and a request for it must go
};

struct CKeptStep {
    Step step;
    int a;
    int b;
};

// The value starts as the first step's.
struct CKeptCase {
    const char* what;
    std::vector<CKeptStep> steps;
};

}  // namespace

TEST(KeptGeometry, AChangeFromOutsideIsPutBackOnceUntilAValueIsConfirmed) {
    const CKeptCase cases[] = {
        {"place",
         {
             {Step::Quiet, 300, 100},
             {Step::Sends, 301, 100},
             {Step::Sends, 302, 100},
             {Step::Notice, 301, 100},  // late, then the current place: nothing to send again
             {Step::Notice, 302, 100},
             {Step::Quiet, 302, 100},
             {Step::Notice, 500, 400},  // another program moved it
             {Step::Sends, 302, 100},
             {Step::Notice, 600, 400},  // the window manager keeps it elsewhere: not asked again
             {Step::Quiet, 302, 100},
             {Step::Sends, 303, 100},  // the core's own moves still go
             {Step::Notice, 303, 100},
             // Confirmed, so the next move from outside is put back again.
             {Step::Notice, 500, 400},
             {Step::Sends, 303, 100},
         }},
        {"size, which the window wants unchanged",
         {
             {Step::Quiet, 41, 41},
             {Step::Notice, 80, 80},  // another program resized it
             {Step::Sends, 41, 41},
             // Late, or the window manager keeps that size: not asked again.
             {Step::Notice, 80, 80},
             {Step::Quiet, 41, 41},
             {Step::Notice, 41, 41},  // confirmed
             {Step::Quiet, 41, 41},
             {Step::Notice, 60, 41},  // so the next resize from outside is put back again
             {Step::Sends, 41, 41},
         }},
    };
    for (const CKeptCase& c : cases) {
        CKeptGeometry kept(c.steps[0].a, c.steps[0].b);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const CKeptStep& step = c.steps[i];
            if (step.step == Step::Notice) {
                kept.OnNotice(step.a, step.b);
                continue;
            }
            EXPECT_EQ(step.step == Step::Sends, kept.SetWanted(step.a, step.b))
                << c.what << ", step " << i;
        }
    }
}
