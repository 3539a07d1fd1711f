#include "editor/charformat.h"
#include "editor/editcommands.h"
#include "editor/formatting.h"
#include "editor/rtf/rtf.h"
#include "editor/rtf/textproperties.h"
#include "editor/textcodec.h"
#include "editor/transcriptedit.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using editor::CharFormat;

Q_DECLARE_METATYPE(editor::CharFormat)

namespace {

CharFormat make(const QString &name, int size, int offset, int effects, qint32 color)
{
    CharFormat f;
    f.fontName = name;
    f.fontSize = size;
    f.charOffset = offset;
    f.effects = effects;
    f.textColor = color;
    return f;
}

// The format of the character at position (not of the one before it, as QTextCursor reports).
QTextCharFormat formatAt(const QTextDocument *doc, int position)
{
    QTextCursor c(const_cast<QTextDocument *>(doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

void select(QTextEdit *edit, int from, int to)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

} // namespace

class TestCharFormat : public QObject
{
    Q_OBJECT

private slots:
    void newValueDefaults();
    void roundTrip_data();
    void roundTrip();
    void readsWhatOthersWrote_data();
    void readsWhatOthersWrote();
    void writeReplacesEveryField();
    void unknownNameAndSizeKeepTheText();
    void offsetIsARealBaselineShift();

    void leadingNumber_data();
    void leadingNumber();

    void typedTextInEmptyEditorHasTheDefaultFormat();
    void selectionFormatReportsMixedFieldsAsUnknown();
    void applyToSelectionIsOneUndoStepAndKeepsOtherProperties();

    void formatsSurviveAnRtfRoundTrip();
    void protectedTextRefusesEdits();
    void ctrlYRedoes();
    void undoAndRedoArePostedKeys();
    void dividerIsExactAndReplacesTheSelection();
};

void TestCharFormat::newValueDefaults()
{
    const CharFormat f;
    QCOMPARE(f.fontName, u"宋体"_s);
    QCOMPARE(f.fontSize, 9);
    QCOMPARE(f.charOffset, 0);
    QCOMPARE(f.effects, 0);
    QCOMPARE(f.textColor, editor::AutoColor);
}

void TestCharFormat::roundTrip_data()
{
    QTest::addColumn<CharFormat>("format");
    QTest::newRow("the default transcript format") << make(u"宋体"_s, 11, 0, 0, editor::AutoColor);
    QTest::newRow("every effect") << make(u"Noto Serif CJK SC"_s, 20, 0, 31, editor::AutoColor);
    QTest::newRow("explicit black is not automatic") << make(u"宋体"_s, 12, 0, 0, 0);
    QTest::newRow("red sits in the low byte") << make(u"黑体"_s, 9, 0, editor::EffectBold, 0x0000FF);
    QTest::newRow("raised by 3 points") << make(u"宋体"_s, 12, 3, editor::EffectItalic, 0x00FF00);
    QTest::newRow("lowered by 2 points") << make(u"宋体"_s, 12, -2, editor::EffectUnderline, 0xFF0000);
}

void TestCharFormat::roundTrip()
{
    QFETCH(CharFormat, format);
    QCOMPARE(editor::fromTextCharFormat(editor::toTextCharFormat(format)), format);
}

void TestCharFormat::readsWhatOthersWrote_data()
{
    QTest::addColumn<QTextCharFormat>("native");
    QTest::addColumn<CharFormat>("expected");

    QTextCharFormat halfPoint;
    halfPoint.setFontFamilies({u"宋体"_s});
    halfPoint.setFontPointSize(10.5);
    QTest::newRow("10.5 pt reads as 10") << halfPoint << make(u"宋体"_s, 10, 0, 0, editor::AutoColor);

    QTextCharFormat up;
    up.setFontPointSize(12);
    up.setProperty(rtf::OffsetTwipsProperty, 50);
    QTest::newRow("offsets are truncated toward zero") << up << make(QString(), 12, 2, 0, editor::AutoColor);

    QTextCharFormat down = up;
    down.setProperty(rtf::OffsetTwipsProperty, -50);
    QTest::newRow("negative offsets too") << down << make(QString(), 12, -2, 0, editor::AutoColor);

    QTextCharFormat sub;
    sub.setFontPointSize(12);
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    QTest::newRow("subscript has no offset of its own") << sub << make(QString(), 12, 0, 0, editor::AutoColor);

    QTextCharFormat dotted;
    dotted.setFontPointSize(12);
    dotted.setUnderlineStyle(QTextCharFormat::DotLine);
    dotted.setProperty(rtf::ProtectedProperty, true);
    dotted.setForeground(QColor(0x12, 0x34, 0x56));
    QTest::newRow("dotted underline, protected, a colour")
        << dotted << make(QString(), 12, 0, editor::EffectUnderline | editor::EffectProtected, 0x563412);

    QTextCharFormat semibold;
    semibold.setFontPointSize(12);
    semibold.setFontWeight(QFont::DemiBold);
    QTest::newRow("semibold counts as bold") << semibold << make(QString(), 12, 0, editor::EffectBold, editor::AutoColor);
}

void TestCharFormat::readsWhatOthersWrote()
{
    QFETCH(QTextCharFormat, native);
    QFETCH(CharFormat, expected);
    QCOMPARE(editor::fromTextCharFormat(native), expected);
}

void TestCharFormat::writeReplacesEveryField()
{
    QTextCharFormat native;
    native.setFontFamilies({u"黑体"_s});
    native.setFontPointSize(30);
    native.setFontStrikeOut(true);
    native.setFontWeight(QFont::Bold);
    native.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    native.setProperty(rtf::ProtectedProperty, true);
    native.setForeground(Qt::red);
    native.setBackground(Qt::yellow);
    native.setAnchorHref(u"https://example.org/"_s);

    // High bits of the effects are not ours and are dropped.
    editor::applyCharFormat(make(u"宋体"_s, 11, 0, editor::EffectItalic | 0x100, editor::AutoColor), native);

    QCOMPARE(editor::fromTextCharFormat(native), make(u"宋体"_s, 11, 0, editor::EffectItalic, editor::AutoColor));
    QVERIFY(!native.hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!native.hasProperty(QTextFormat::TextVerticalAlignment));
    QVERIFY(!native.hasProperty(rtf::ProtectedProperty));
    QVERIFY(!native.fontStrikeOut());
    QCOMPARE(native.background().color(), QColor(Qt::yellow));
    QCOMPARE(native.anchorHref(), u"https://example.org/"_s);
}

void TestCharFormat::unknownNameAndSizeKeepTheText()
{
    QTextCharFormat native = editor::toTextCharFormat(make(u"楷体"_s, 14, 0, 0, editor::AutoColor));
    editor::applyCharFormat(make(QString(), 0, 0, editor::EffectBold, editor::AutoColor), native);
    QCOMPARE(editor::fromTextCharFormat(native), make(u"楷体"_s, 14, 0, editor::EffectBold, editor::AutoColor));

    // A typed 99999 must not ask the layout for a font that size.
    editor::applyCharFormat(make(QString(), 99999, 0, 0, editor::AutoColor), native);
    QCOMPARE(native.fontPointSize(), 1638.0);
}

void TestCharFormat::offsetIsARealBaselineShift()
{
    const QTextCharFormat raised = editor::toTextCharFormat(make(u"宋体"_s, 12, 3, 0, editor::AutoColor));
    QCOMPARE(raised.intProperty(rtf::OffsetTwipsProperty), 60);
    QCOMPARE(raised.baselineOffset(), 25.0);
    const QTextCharFormat flat = editor::toTextCharFormat(make(u"宋体"_s, 12, 0, 0, editor::AutoColor));
    QVERIFY(!flat.hasProperty(rtf::OffsetTwipsProperty));
    QVERIFY(!flat.hasProperty(QTextFormat::TextBaselineOffset));
}

void TestCharFormat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("a plain size") << u"15"_s << 15;
    QTest::newRow("a fraction is cut off") << u"10.5"_s << 10;
    QTest::newRow("full-width digits") << u"１５"_s << 15;
    QTest::newRow("leading blanks and a unit") << u"  12pt"_s << 12;
    QTest::newRow("no number") << u"大"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("a sign") << u"-3"_s << -3;
    QTest::newRow("too many digits stop at the largest int") << u"99999999999999"_s << 2147483647;
}

void TestCharFormat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(editor::leadingNumber(text), expected);
}

void TestCharFormat::typedTextInEmptyEditorHasTheDefaultFormat()
{
    editor::TranscriptEdit edit;
    CharFormat f;
    f.fontSize = 11;
    editor::setDefaultFormat(&edit, f);
    QCOMPARE(editor::getDefaultFormat(&edit), make(u"宋体"_s, 11, 0, 0, editor::AutoColor));

    QTest::keyClicks(&edit, u"ab"_s);
    QTextCharFormat typed = formatAt(edit.document(), 0);
    QCOMPARE(typed.fontFamilies().toStringList(), QStringList{u"宋体"_s});
    QCOMPARE(typed.fontPointSize(), 11.0);
    QVERIFY(!typed.hasProperty(QTextFormat::ForegroundBrush));

    // A cleared transcript starts over in the same format.
    edit.clear();
    QTest::keyClicks(&edit, u"c"_s);
    typed = formatAt(edit.document(), 0);
    QCOMPARE(typed.fontFamilies().toStringList(), QStringList{u"宋体"_s});
    QCOMPARE(typed.fontPointSize(), 11.0);
}

void TestCharFormat::selectionFormatReportsMixedFieldsAsUnknown()
{
    QTextEdit edit;
    QTextCursor c(edit.document());
    c.insertText(u"ab"_s, editor::toTextCharFormat(make(u"宋体"_s, 12, 0, editor::EffectBold | editor::EffectUnderline, 0x0000FF)));
    c.insertText(u"cd"_s, editor::toTextCharFormat(make(u"黑体"_s, 20, 0, editor::EffectBold | editor::EffectItalic, 0x00FF00)));

    select(&edit, 0, 2);
    QCOMPARE(editor::getSelectionFormat(&edit), make(u"宋体"_s, 12, 0, editor::EffectBold | editor::EffectUnderline, 0x0000FF));
    QCOMPARE(editor::selectedCharCount(&edit), 2);

    select(&edit, 1, 3);
    QCOMPARE(editor::getSelectionFormat(&edit), make(QString(), 0, 0, editor::EffectBold, 0x0000FF));

    // Without a selection: the format the next typed character gets.
    select(&edit, 4, 4);
    QCOMPARE(editor::getSelectionFormat(&edit), make(u"黑体"_s, 20, 0, editor::EffectBold | editor::EffectItalic, 0x00FF00));
    QCOMPARE(editor::selectedCharCount(&edit), 0);
}

void TestCharFormat::applyToSelectionIsOneUndoStepAndKeepsOtherProperties()
{
    QTextEdit edit;
    QTextCursor c(edit.document());
    QTextCharFormat sub = editor::toTextCharFormat(make(u"宋体"_s, 12, 0, 0, editor::AutoColor));
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    sub.setBackground(Qt::yellow);
    QTextCharFormat struck = editor::toTextCharFormat(make(u"宋体"_s, 12, 0, editor::EffectStrikeout, 0x0000FF));
    c.insertText(u"H"_s, editor::toTextCharFormat(make(u"宋体"_s, 12, 0, 0, editor::AutoColor)));
    c.insertText(u"2"_s, sub);
    c.insertText(u"O"_s, struck);
    c.insertBlock();
    c.insertText(u"next"_s, struck);

    select(&edit, 0, 6);
    editor::setSelectionFormat(&edit, make(u"黑体"_s, 15, 0, editor::EffectBold, editor::AutoColor));
    for (int i : {0, 1, 2, 4, 5}) {
        QCOMPARE(editor::fromTextCharFormat(formatAt(edit.document(), i)),
            make(u"黑体"_s, 15, 0, editor::EffectBold, editor::AutoColor));
        QVERIFY(!formatAt(edit.document(), i).hasProperty(QTextFormat::TextVerticalAlignment));
    }
    QCOMPARE(formatAt(edit.document(), 1).background().color(), QColor(Qt::yellow));
    // The empty-line mark between the paragraphs took the format too: text typed there matches.
    QCOMPARE(editor::fromTextCharFormat(edit.document()->findBlockByNumber(1).charFormat()).fontSize, 15);
    QCOMPARE(editor::fromTextCharFormat(formatAt(edit.document(), 6)).effects, int(editor::EffectStrikeout));

    edit.undo();
    QCOMPARE(formatAt(edit.document(), 1).verticalAlignment(), QTextCharFormat::AlignSubScript);
    QVERIFY(formatAt(edit.document(), 2).fontStrikeOut());
}

void TestCharFormat::formatsSurviveAnRtfRoundTrip()
{
    editor::TranscriptEdit edit;
    CharFormat base;
    base.fontSize = 11;
    editor::setDefaultFormat(&edit, base);
    QTest::keyClicks(&edit, u"plain bold red raised low locked"_s);
    const struct
    {
        int from, to;
        CharFormat format;
    } runs[] = {
        {6, 10, make(u"黑体"_s, 15, 0, editor::EffectBold | editor::EffectUnderline, editor::AutoColor)},
        {11, 14, make(u"宋体"_s, 11, 0, editor::EffectItalic, 0x0000FF)},
        {15, 21, make(u"宋体"_s, 12, 3, 0, 0)},
        {22, 25, make(u"Noto Serif CJK SC"_s, 9, -2, editor::EffectStrikeout, 0x00FF00)},
        {26, 32, make(u"宋体"_s, 11, 0, editor::EffectProtected, editor::AutoColor)},
    };
    for (const auto &run : runs) {
        select(&edit, run.from, run.to);
        editor::setSelectionFormat(&edit, run.format);
    }

    editor::TranscriptEdit reopened;
    reopened.setDefaultCharFormat(edit.defaultCharFormat());
    QVERIFY(rtf::readRtf(rtf::writeRtf(edit.document()), reopened.document()).isRtf);
    QCOMPARE(reopened.toPlainText(), edit.toPlainText());
    for (const auto &run : runs) {
        select(&reopened, run.from, run.to);
        QCOMPARE(editor::getSelectionFormat(&reopened), run.format);
    }
    select(&reopened, 0, 5);
    QCOMPARE(editor::getSelectionFormat(&reopened), make(u"宋体"_s, 11, 0, 0, editor::AutoColor));
}

void TestCharFormat::protectedTextRefusesEdits()
{
    editor::TranscriptEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTextCursor c(edit.document());
    const QTextCharFormat plain = editor::toTextCharFormat(make(u"宋体"_s, 11, 0, 0, editor::AutoColor));
    const QTextCharFormat locked = editor::toTextCharFormat(make(u"宋体"_s, 11, 0, editor::EffectProtected, editor::AutoColor));
    c.insertText(u"ab"_s, plain);
    c.insertText(u"LOCK"_s, locked);
    c.insertText(u"cd"_s, plain);
    QSignalSpy refused(&edit, &editor::TranscriptEdit::protectedTextRefused);

    select(&edit, 4, 4);
    QTest::keyClicks(&edit, u"x"_s);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    select(&edit, 1, 3);
    QTest::keyClick(&edit, Qt::Key_Delete);
    edit.cut();
    QVERIFY(!edit.replaceSelection(u"y"_s));
    QGuiApplication::clipboard()->setText(u"pasted"_s);
    select(&edit, 3, 3);
    edit.paste();
    QCOMPARE(edit.toPlainText(), u"abLOCKcd"_s);
    QCOMPARE(refused.size(), 7);

    // Right after the protected run the typist can write, and the new text is not protected.
    select(&edit, 6, 6);
    QTest::keyClicks(&edit, u"z"_s);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, u"z"_s);
    QCOMPARE(edit.toPlainText(), u"abLOCKzcd"_s);
    QVERIFY(!formatAt(edit.document(), 6).boolProperty(rtf::ProtectedProperty));
    QCOMPARE(refused.size(), 7);
}

void TestCharFormat::ctrlYRedoes()
{
    editor::TranscriptEdit edit;
    QTest::keyClicks(&edit, u"word"_s);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.toPlainText(), QString());
    QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(edit.toPlainText(), u"word"_s);
}

void TestCharFormat::undoAndRedoArePostedKeys()
{
    editor::TranscriptEdit edit;
    QTest::keyClicks(&edit, u"word"_s);
    editor::undoEdit(&edit);
    // Queued: nothing happened yet.
    QCOMPARE(edit.toPlainText(), u"word"_s);
    QTRY_COMPARE(edit.toPlainText(), QString());
    editor::redoEdit(&edit);
    QTRY_COMPARE(edit.toPlainText(), u"word"_s);
}

void TestCharFormat::dividerIsExactAndReplacesTheSelection()
{
    const QString line(28, QChar(0x2501));
    QCOMPARE(editor::dividerText(), u"\r\n"_s + line + u"\r\n\r\n"_s);
    // 62 bytes once saved: every stroke is the two GBK bytes A9 A5.
    QCOMPARE(editor::encodePlainText(QString(QChar(0x2501))), QByteArray("\xA9\xA5"));

    editor::TranscriptEdit edit;
    edit.setPlainText(u"one WORD two"_s);
    select(&edit, 4, 8);
    editor::insertDivider(&edit, QGuiApplication::clipboard());
    QCOMPARE(edit.toPlainText(), u"one \n"_s + line + u"\n\n two"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), editor::dividerText());

    editor::pasteEdit(&edit);
    QCOMPARE(edit.toPlainText().count(line), 2);
}

QTEST_MAIN(TestCharFormat)
#include "tst_charformat.moc"
