#pragma once

#include <QTextCharFormat>
#include <QTextEdit>

namespace editor {

// The transcript editor: rich text, wrapped lines, Tab moves the focus instead of typing a tab,
// Ctrl+Z undoes and Ctrl+Y redoes, and text marked protected cannot be changed.
class TranscriptEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit TranscriptEdit(QWidget *parent = nullptr);

    // The format of text typed into an empty transcript; it also becomes the document's default font.
    void setDefaultCharFormat(const QTextCharFormat &format);
    QTextCharFormat defaultCharFormat() const { return m_defaultFormat; }

    // Whether replacing [from, to) would change protected text; with from == to, whether inserting there
    // would split a protected run.
    bool touchesProtectedText(int from, int to) const;

    // Replaces the selection (or inserts at the caret) with plain text in the format there.
    // Refused, with protectedTextRefused, over protected text.
    bool replaceSelection(const QString &text);

public slots:
    // Hides QTextEdit::cut, which would remove protected text; pastes are checked in insertFromMimeData.
    void cut();

signals:
    // An edit that would have changed protected text was refused.
    void protectedTextRefused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool isProtectedAt(int position) const;
    bool selectionOrCaretTouchesProtected() const;
    bool refuse();
    // Typing next to protected text must not make the new text protected too.
    void unprotectCaretFormat();
    void restoreDefaultFormatIfEmpty();

    QTextCharFormat m_defaultFormat;
};

} // namespace editor
