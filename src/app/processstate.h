#pragma once

#include "editor/documentstate.h"
#include "transport/transportstate.h"
#include "update/feedtypes.h"

#include <QByteArray>
#include <QList>

namespace app {

// The skin stays attached for the whole run; this records that it was.
struct SkinEngine
{
    bool loaded = false;
    bool attached = false;
};

// Everything the program keeps for the length of a run; each subsystem gets its own part.
struct ProcessState
{
    update::VersionFeed windowFeed;
    update::VersionFeed startupFeed;
    SkinEngine skinEngine;
    QList<update::ProgramEntry> programEntries;
    QList<QByteArray> extraPageAddresses;
    editor::DocumentState document;
    transport::TransportState transport;
};

void releaseState(ProcessState &state);

} // namespace app
