#include "typical_walk.h"

int WalkTypical(const TypicalWalker& walker)
{
    for (const WalkStep& step : kTypicalWalk) {
        HWND page = walker.arrive ? walker.arrive(step) : WaitPage(*walker.run, step.page);
        if (!page)
            return 0;
        if (walker.onPage && !walker.onPage(step, page))
            return 0;
        if (step.choice) {
            if (!Click(page, step.choice))
                return 0;
            if (walker.chosen && !walker.chosen(step, page))
                return 0;
        }
        int left = walker.leave                ? walker.leave(step, page)
                   : step.leavesByItself ? WaitGone(page)
                                         : PressAndLeave(page, IDC_NEXT);
        if (!left)
            return 0;
    }
    return 1;
}
