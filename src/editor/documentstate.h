#pragma once

#include <QString>

namespace editor {

// The one open transcript: which file it belongs to and whether it changed since.
struct DocumentState
{
    QString documentPath;
    int documentModified = 0;
};

} // namespace editor
