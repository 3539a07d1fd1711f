#pragma once

#include <QTextEdit>

namespace editor {

// The transcript editor: rich text, wrapped lines, Tab moves the focus instead of typing a tab.
class TranscriptEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit TranscriptEdit(QWidget *parent = nullptr);
};

} // namespace editor
