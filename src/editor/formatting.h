#pragma once

#include "editor/charformat.h"

#include <QComboBox>
#include <QStringList>

class QAction;
class QTextEdit;

namespace editor {

class ColorPicker;
class TranscriptEdit;

// The editor operations the formatting strip works through.
CharFormat getDefaultFormat(const TranscriptEdit *edit);
void setDefaultFormat(TranscriptEdit *edit, const CharFormat &f);
// The format of the selection, or of the insertion point without one. A field that differs across the
// selection reads as unknown: empty font name, size 0, offset 0, effect bit clear; the colour is the first
// character's.
CharFormat getSelectionFormat(const QTextEdit *edit);
// Writes every field onto each selected character (one undo step), or onto the next typed text.
void setSelectionFormat(QTextEdit *edit, const CharFormat &f);
int selectedCharCount(const QTextEdit *edit);

// The controls above the editor that show and change the character format.
struct FormatStrip
{
    QComboBox *fontBox = nullptr;
    QComboBox *sizeBox = nullptr;
    ColorPicker *colorPicker = nullptr;
    QAction *bold = nullptr;
    QAction *italic = nullptr;
    QAction *underline = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
};

// The installed font families, in the font box's order, each once.
QStringList installedFontFamilies();

// The leading decimal number of a text, full-width digits and signs included, truncated toward zero;
// 0 when the text starts with no number.
int leadingNumber(const QString &text);

void initFormatting(TranscriptEdit *edit, const FormatStrip &strip);
void applyFormatToSelection(QTextEdit *edit, const FormatStrip &strip);
void syncFormatFromSelection(QTextEdit *edit, const FormatStrip &strip, bool clipboardHasText);

// Shows a font name in the font box, selecting its list item when there is one.
void showFontName(QComboBox *box, const QString &name);

// A combo box that says when its list is about to drop down.
class FormatComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void popupAboutToShow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Esc closes an open list, or popup, and nothing else: without this the window's own Esc shortcut would
// also see the key and ask to close the program. Installed on the popup's focus widget.
bool keepEscapeInPopup(QEvent *event);

} // namespace editor
