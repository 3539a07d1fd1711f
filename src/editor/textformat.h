#pragma once

namespace editor {

// How the editor's whole text is read and written.
enum class TextFormat { PlainText = 0, RichText = 1 };

enum class SaveAnswer { Proceed, Cancelled };

} // namespace editor
