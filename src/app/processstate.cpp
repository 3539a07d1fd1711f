#include "processstate.h"

namespace app {

void releaseState(ProcessState &state)
{
    state.document.documentPath.clear();
    state.windowFeed.clear();
    state.startupFeed.clear();
    state.skinEngine = SkinEngine{};
    state.programEntries.clear();
    state.extraPageAddresses.clear();
}

} // namespace app
