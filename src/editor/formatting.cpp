#include "formatting.h"

#include "editor/colorpicker.h"
#include "editor/transcriptedit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCollator>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <limits>

namespace editor {

namespace {

// A fragment's format with what it leaves unset taken from the document's default font, so text that names
// no font (plain text, a cleared document) reads as what it shows.
QTextCharFormat resolved(const QTextDocument *doc, const QTextCharFormat &format)
{
    const QFont font = doc->defaultFont();
    QTextCharFormat base;
    QStringList families = font.families();
    if (families.isEmpty() && !font.family().isEmpty())
        families.append(font.family());
    if (!families.isEmpty())
        base.setFontFamilies(families);
    if (font.pointSizeF() > 0)
        base.setFontPointSize(font.pointSizeF());
    base.merge(format);
    return base;
}

struct Run
{
    int start;
    int length;
    QTextCharFormat format;
};

// The formatted pieces of [from, to): text fragments cut to the range, and the paragraph marks in it.
QList<Run> runsIn(const QTextDocument *doc, int from, int to)
{
    QList<Run> runs;
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(from, fragment.position());
            const int end = qMin(to, fragment.position() + fragment.length());
            if (start < end)
                runs.append({start, end - start, fragment.charFormat()});
        }
        const int mark = block.position() + block.length() - 1;
        const QTextBlock next = block.next();
        if (next.isValid() && mark >= from && mark < to)
            runs.append({mark, 1, next.charFormat()});
    }
    return runs;
}

bool isDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= QChar(0xFF10) && c <= QChar(0xFF19));
}

int digitValue(QChar c)
{
    return c.unicode() >= 0xFF10 ? c.unicode() - 0xFF10 : c.unicode() - u'0';
}

} // namespace

CharFormat getDefaultFormat(const TranscriptEdit *edit)
{
    return fromTextCharFormat(resolved(edit->document(), edit->defaultCharFormat()));
}

void setDefaultFormat(TranscriptEdit *edit, const CharFormat &f)
{
    edit->setDefaultCharFormat(toTextCharFormat(f));
}

CharFormat getSelectionFormat(const QTextEdit *edit)
{
    const QTextDocument *doc = edit->document();
    const QTextCursor cursor = edit->textCursor();
    QList<Run> runs;
    if (cursor.hasSelection()) {
        runs = runsIn(doc, cursor.selectionStart(), cursor.selectionEnd());
        // Paragraph marks only count when nothing else is selected.
        if (std::any_of(runs.cbegin(), runs.cend(), [doc](const Run &r) {
                return doc->characterAt(r.start) != QChar::ParagraphSeparator;
            }))
            runs.erase(std::remove_if(runs.begin(), runs.end(),
                           [doc](const Run &r) { return doc->characterAt(r.start) == QChar::ParagraphSeparator; }),
                runs.end());
    }
    if (runs.isEmpty())
        return fromTextCharFormat(resolved(doc, edit->currentCharFormat()));

    CharFormat first = fromTextCharFormat(resolved(doc, runs.first().format));
    qint32 sameEffects = 31;
    for (qsizetype i = 1; i < runs.size(); ++i) {
        const CharFormat f = fromTextCharFormat(resolved(doc, runs.at(i).format));
        if (f.fontName != first.fontName)
            first.fontName.clear();
        if (f.fontSize != first.fontSize)
            first.fontSize = 0;
        if (f.charOffset != first.charOffset)
            first.charOffset = 0;
        sameEffects &= ~(f.effects ^ first.effects);
    }
    first.effects &= sameEffects;
    return first;
}

void setSelectionFormat(QTextEdit *edit, const CharFormat &f)
{
    QTextCursor cursor = edit->textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format = edit->currentCharFormat();
        applyCharFormat(f, format);
        edit->setCurrentCharFormat(format);
        return;
    }
    // Each piece keeps what CharFormat does not describe (links, backgrounds); the five fields are replaced.
    const QList<Run> runs = runsIn(edit->document(), cursor.selectionStart(), cursor.selectionEnd());
    QTextCursor writer(edit->document());
    writer.beginEditBlock();
    for (const Run &run : runs) {
        QTextCharFormat format = run.format;
        applyCharFormat(f, format);
        writer.setPosition(run.start);
        writer.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        writer.setCharFormat(format);
    }
    writer.endEditBlock();
}

int selectedCharCount(const QTextEdit *edit)
{
    const QTextCursor cursor = edit->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QStringList installedFontFamilies()
{
    QStringList families;
    for (QString family : QFontDatabase::families()) {
        // Qt tells apart one family from several foundries as "Nimbus Sans [urw]"; saved files and other
        // programs know the family name alone.
        if (family.endsWith(u']')) {
            const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
            if (open > 0)
                family.truncate(open);
        }
        if (families.isEmpty() || families.constLast() != family)
            families.append(family);
    }
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(families.begin(), families.end(), collator);
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

int leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i).isSpace()))
        ++i;
    bool negative = false;
    if (i < text.size()) {
        const QChar sign = text.at(i);
        if (sign == u'-' || sign == QChar(0xFF0D)) {
            negative = true;
            ++i;
        } else if (sign == u'+' || sign == QChar(0xFF0B)) {
            ++i;
        }
    }
    qint64 value = 0;
    for (; i < text.size() && isDigit(text.at(i)); ++i)
        value = qMin<qint64>(value * 10 + digitValue(text.at(i)), std::numeric_limits<int>::max());
    // What follows (a fraction, units) is cut off: the number is truncated toward zero.
    return int(negative ? -value : value);
}

void showFontName(QComboBox *box, const QString &name)
{
    const int index = name.isEmpty() ? -1 : box->findText(name, Qt::MatchFixedString);
    if (box->currentIndex() != index)
        box->setCurrentIndex(index);
    if (box->currentText() != name && index < 0)
        box->setEditText(name);
}

void initFormatting(TranscriptEdit *edit, const FormatStrip &strip)
{
    CharFormat f;
    f.fontSize = 11;
    setDefaultFormat(edit, f);

    // The list holds installed fonts only; a typed name must not become an item.
    strip.fontBox->setInsertPolicy(QComboBox::NoInsert);
    strip.fontBox->clear();
    strip.fontBox->addItems(installedFontFamilies());
    // The box is narrow; its list is as wide as the longest name so that no name is cut off.
    QAbstractItemView *list = strip.fontBox->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list)
        + 2 * list->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, list) + 8);

    const CharFormat d = getDefaultFormat(edit);
    showFontName(strip.fontBox, d.fontName);
    strip.sizeBox->setEditText(QString::number(d.fontSize));
}

void applyFormatToSelection(QTextEdit *edit, const FormatStrip &strip)
{
    CharFormat r;
    const int fontIndex = strip.fontBox->currentIndex();
    r.fontName = fontIndex >= 0 ? strip.fontBox->itemText(fontIndex) : QString();
    r.fontSize = leadingNumber(strip.sizeBox->currentText());
    r.charOffset = 0;
    r.effects = (strip.bold->isChecked() ? EffectBold : 0) | (strip.italic->isChecked() ? EffectItalic : 0)
        | (strip.underline->isChecked() ? EffectUnderline : 0);
    r.textColor = strip.colorPicker->color();
    setSelectionFormat(edit, r);
}

void syncFormatFromSelection(QTextEdit *edit, const FormatStrip &strip, bool clipboardHasText)
{
    const int n = selectedCharCount(edit);
    strip.cut->setEnabled(n != 0);
    strip.copy->setEnabled(n != 0);
    strip.paste->setEnabled(clipboardHasText);

    const CharFormat f = getSelectionFormat(edit);
    if (strip.fontBox->currentText() != f.fontName || strip.fontBox->currentIndex() < 0)
        showFontName(strip.fontBox, f.fontName);
    strip.colorPicker->setColor(f.textColor);
    const QString size = f.fontSize != 0 ? QString::number(f.fontSize) : QString();
    if (strip.sizeBox->currentText() != size)
        strip.sizeBox->setEditText(size);
    strip.bold->setChecked(f.effects & EffectBold);
    strip.italic->setChecked(f.effects & EffectItalic);
    strip.underline->setChecked(f.effects & EffectUnderline);
}

bool keepEscapeInPopup(QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Escape)
        return false;
    // Accepting the override turns the key into an ordinary key press for the popup.
    key->accept();
    return true;
}

void FormatComboBox::showPopup()
{
    emit popupAboutToShow();
    view()->removeEventFilter(this);
    view()->installEventFilter(this);
    QComboBox::showPopup();
}

bool FormatComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view() && keepEscapeInPopup(event))
        return true;
    return QComboBox::eventFilter(watched, event);
}

} // namespace editor
