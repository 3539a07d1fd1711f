#pragma once

#include <QString>

class QClipboard;
class QWidget;

namespace editor {

class TranscriptEdit;

// The divider line: a line break, 28 heavy box-drawing strokes, then an empty line.
QString dividerText();

// The editor's own Ctrl+Z / Ctrl+Y, queued: they are handled after the focus has moved to the editor.
void undoEdit(QWidget *editor);
void redoEdit(QWidget *editor);

void cutEdit(TranscriptEdit *editor);
void copyEdit(TranscriptEdit *editor);
void pasteEdit(TranscriptEdit *editor);

// Puts the divider on the clipboard (replacing what it held) and pastes it at the caret.
void insertDivider(TranscriptEdit *editor, QClipboard *clipboard);

} // namespace editor
