#include "transcriptedit.h"

#include "editor/rtf/textproperties.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

namespace editor {

TranscriptEdit::TranscriptEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(true);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
    connect(document(), &QTextDocument::contentsChanged, this, &TranscriptEdit::restoreDefaultFormatIfEmpty);
}

void TranscriptEdit::setDefaultCharFormat(const QTextCharFormat &format)
{
    m_defaultFormat = format;
    QFont font = document()->defaultFont();
    if (format.hasProperty(QTextFormat::FontFamilies))
        font.setFamilies(format.fontFamilies().toStringList());
    if (format.hasProperty(QTextFormat::FontPointSize))
        font.setPointSizeF(format.fontPointSize());
    document()->setDefaultFont(font);
    if (!textCursor().hasSelection())
        setCurrentCharFormat(format);
}

void TranscriptEdit::restoreDefaultFormatIfEmpty()
{
    // A cleared or newly loaded empty document starts again in the default format, with the family and
    // size written into the text itself rather than left to the document's default font.
    if (!m_defaultFormat.isValid() || !document()->isEmpty() || textCursor().hasSelection())
        return;
    if (!currentCharFormat().hasProperty(QTextFormat::FontFamilies))
        setCurrentCharFormat(m_defaultFormat);
}

bool TranscriptEdit::isProtectedAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return fragment.charFormat().boolProperty(rtf::ProtectedProperty);
    }
    return false;
}

bool TranscriptEdit::touchesProtectedText(int from, int to) const
{
    if (from > to)
        std::swap(from, to);
    if (from == to)
        return from > 0 && isProtectedAt(from - 1) && isProtectedAt(from);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position();
            const int end = start + fragment.length();
            if (end > from && start < to && fragment.charFormat().boolProperty(rtf::ProtectedProperty))
                return true;
        }
    }
    return false;
}

bool TranscriptEdit::selectionOrCaretTouchesProtected() const
{
    const QTextCursor c = textCursor();
    return touchesProtectedText(c.selectionStart(), c.selectionEnd());
}

bool TranscriptEdit::refuse()
{
    QApplication::beep();
    emit protectedTextRefused();
    return false;
}

void TranscriptEdit::unprotectCaretFormat()
{
    if (textCursor().hasSelection())
        return;
    QTextCharFormat format = currentCharFormat();
    if (format.boolProperty(rtf::ProtectedProperty)) {
        format.clearProperty(rtf::ProtectedProperty);
        setCurrentCharFormat(format);
    }
}

bool TranscriptEdit::replaceSelection(const QString &text)
{
    if (selectionOrCaretTouchesProtected())
        return refuse();
    unprotectCaretFormat();
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
    return true;
}

void TranscriptEdit::cut()
{
    if (textCursor().hasSelection() && selectionOrCaretTouchesProtected()) {
        refuse();
        return;
    }
    QTextEdit::cut();
}

void TranscriptEdit::insertFromMimeData(const QMimeData *source)
{
    if (selectionOrCaretTouchesProtected()) {
        refuse();
        return;
    }
    unprotectCaretFormat();
    QTextEdit::insertFromMimeData(source);
}

void TranscriptEdit::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+Y is redo on the desktop the typists come from; Qt's Linux default is only Ctrl+Shift+Z.
    if (event->key() == Qt::Key_Y && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        redo();
        ensureCursorVisible();
        event->accept();
        return;
    }

    QTextCursor range = textCursor();
    bool edits = true;
    if (event->matches(QKeySequence::Cut)) {
        edits = range.hasSelection();
    } else if (range.hasSelection()) {
        const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
        edits = typing || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Delete)
            || event->key() == Qt::Key_Backspace || event->matches(QKeySequence::DeleteStartOfWord)
            || event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteEndOfLine)
            || event->matches(QKeySequence::InsertParagraphSeparator)
            || event->matches(QKeySequence::InsertLineSeparator);
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        range.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    } else if (event->matches(QKeySequence::Delete)) {
        range.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        range.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        range.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        range.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    } else {
        const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
        edits = typing || event->matches(QKeySequence::Paste)
            || event->matches(QKeySequence::InsertParagraphSeparator)
            || event->matches(QKeySequence::InsertLineSeparator);
        if (edits && !event->matches(QKeySequence::Paste))
            unprotectCaretFormat();
    }
    if (edits && touchesProtectedText(range.selectionStart(), range.selectionEnd())) {
        refuse();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TranscriptEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const bool edits = !event->commitString().isEmpty() || !event->preeditString().isEmpty()
        || event->replacementLength() > 0;
    if (edits && selectionOrCaretTouchesProtected()) {
        refuse();
        event->accept();
        return;
    }
    if (edits)
        unprotectCaretFormat();
    QTextEdit::inputMethodEvent(event);
}

void TranscriptEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    if (selectionOrCaretTouchesProtected()) {
        for (QAction *action : menu->actions()) {
            const QString name = action->objectName();
            if (name == QLatin1String("edit-cut") || name == QLatin1String("edit-delete")
                || name == QLatin1String("edit-paste"))
                action->setEnabled(false);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TranscriptEdit::dropEvent(QDropEvent *event)
{
    const QTextCursor target = cursorForPosition(event->position().toPoint());
    if (touchesProtectedText(target.position(), target.position())) {
        refuse();
        event->ignore();
        return;
    }
    // Moving protected text out of its place would delete it there.
    if (event->source() == this && selectionOrCaretTouchesProtected() && textCursor().hasSelection())
        event->setDropAction(Qt::CopyAction);
    QTextEdit::dropEvent(event);
}

} // namespace editor
