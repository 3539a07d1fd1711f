#pragma once

#include <QTextFormat>

namespace rtf {

// Character properties that QTextCharFormat has no field for, shared by the RTF module and the editor.
enum TextProperty : int {
    // Baseline offset in twentieths of a point (RTF \up / \dn); positive raises. Absent means 0.
    OffsetTwipsProperty = QTextFormat::UserProperty + 1,
    // Protected text (RTF \protect): the editor refuses changes to it.
    ProtectedProperty = QTextFormat::UserProperty + 2,
};

} // namespace rtf
