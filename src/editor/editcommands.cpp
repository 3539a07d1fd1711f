#include "editcommands.h"

#include "editor/transcriptedit.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>

namespace editor {

namespace {

void postControlChord(QWidget *editor, Qt::Key key)
{
    editor->setFocus(Qt::OtherFocusReason);
    // Ctrl down, the key down, Ctrl up, the key up, as a typist's fingers would do it.
    QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier));
    QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyPress, key, Qt::ControlModifier));
    QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier));
    QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

} // namespace

QString dividerText()
{
    return QStringLiteral("\r\n") + QString(28, QChar(0x2501)) + QStringLiteral("\r\n\r\n");
}

void undoEdit(QWidget *editor)
{
    postControlChord(editor, Qt::Key_Z);
}

void redoEdit(QWidget *editor)
{
    postControlChord(editor, Qt::Key_Y);
}

void cutEdit(TranscriptEdit *editor)
{
    editor->cut();
}

void copyEdit(TranscriptEdit *editor)
{
    editor->copy();
}

void pasteEdit(TranscriptEdit *editor)
{
    editor->paste();
}

void insertDivider(TranscriptEdit *editor, QClipboard *clipboard)
{
    clipboard->setText(dividerText(), QClipboard::Clipboard);
    editor->paste();
}

} // namespace editor
