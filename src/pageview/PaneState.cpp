#include "pageview/PaneState.h"

namespace vc {

PaneState& ThePane() {
    static PaneState pane;
    return pane;
}

}  // namespace vc
