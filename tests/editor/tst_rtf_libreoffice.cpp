#include "editor/rtf/rtf.h"
#include "editor/rtf/textproperties.h"
#include "editor/textcodec.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString describe(const QTextCharFormat &f)
{
    QStringList parts{f.fontFamilies().toStringList().value(0), QString::number(f.fontPointSize())};
    if (f.fontWeight() >= QFont::DemiBold)
        parts << u"bold"_s;
    if (f.fontItalic())
        parts << u"italic"_s;
    if (f.fontUnderline())
        parts << u"underline"_s;
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << f.foreground().color().name();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << u"super"_s;
    if (f.intProperty(rtf::OffsetTwipsProperty) != 0)
        parts << u"offset%1"_s.arg(f.intProperty(rtf::OffsetTwipsProperty));
    return parts.join(u' ');
}

QString formatOf(const QTextDocument &doc, const QString &needle)
{
    const QTextCursor found = doc.find(needle);
    if (found.isNull())
        return u"<not found: "_s + needle + u'>';
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return describe(c.charFormat());
}

} // namespace

// What we write must come back from another program's reader as we meant it; LibreOffice runs here. Its
// plain-text export checks the text, its own RTF export (read back by our reader) the formatting of
// Chinese and Latin runs.
class TestRtfLibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textSurvivesLibreOffice();
    void formattingSurvivesLibreOffice();

private:
    QByteArray convert(const QString &filter, const QString &extension);

    QString m_soffice;
    QTemporaryDir m_dir;
    QTextDocument m_doc;
};

void TestRtfLibreOffice::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QVERIFY(m_dir.isValid());

    QTextCursor c(&m_doc);
    QTextCharFormat song;
    song.setFontFamilies({u"宋体"_s});
    song.setFontPointSize(10.5);
    QTextCharFormat title = song;
    title.setFontFamilies({u"黑体"_s});
    title.setFontPointSize(16);
    title.setFontWeight(QFont::Bold);
    title.setForeground(QColor(200, 0, 0));
    QTextCharFormat latin;
    latin.setFontFamilies({u"Arial"_s});
    latin.setFontPointSize(12);
    latin.setFontItalic(true);
    latin.setFontUnderline(true);
    QTextCharFormat super = song;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    QTextCharFormat raised = song;
    raised.setProperty(rtf::OffsetTwipsProperty, 100);
    c.insertText(u"会议纪要"_s, title);
    c.insertBlock();
    c.insertText(u"【1:23】主持人：今天讨论"_s, song);
    c.insertText(u"three {braces} \\ and café"_s, latin);
    c.insertText(u"，面积 10 m"_s, song);
    c.insertText(u"2"_s, super);
    c.insertText(u"。\t罕见字𠀀、¥、€、한국"_s, song);
    c.insertText(u"上"_s, raised);
    c.insertBlock();
    c.insertText(u"最后一段"_s, song);

    QFile f(m_dir.filePath(u"transcript.rtf"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(rtf::writeRtf(&m_doc));
}

QByteArray TestRtfLibreOffice::convert(const QString &filter, const QString &extension)
{
    const QString outDir = m_dir.filePath(extension);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(m_soffice, {u"-env:UserInstallation=file://"_s + m_dir.filePath(u"profile"_s), u"--headless"_s,
                        u"--convert-to"_s, filter, u"--outdir"_s, outDir, m_dir.filePath(u"transcript.rtf"_s)});
    if (!p.waitForStarted() || !p.waitForFinished(240000))
        return QByteArray();
    QFile out(outDir + u"/transcript."_s + extension);
    if (!out.open(QIODevice::ReadOnly)) {
        qWarning("%s", p.readAll().constData());
        return QByteArray();
    }
    return out.readAll();
}

void TestRtfLibreOffice::textSurvivesLibreOffice()
{
    const QByteArray bytes = convert(u"txt:Text (encoded):UTF8"_s, u"txt"_s);
    QVERIFY(!bytes.isEmpty());
    QString text = editor::decodePlainText(bytes);
    while (text.endsWith(u'\n'))
        text.chop(1);
    QCOMPARE(text, m_doc.toPlainText());
}

void TestRtfLibreOffice::formattingSurvivesLibreOffice()
{
    const QByteArray bytes = convert(u"rtf"_s, u"rtf"_s);
    QVERIFY(!bytes.isEmpty());
    QTextDocument back;
    const rtf::ReadResult result = rtf::readRtf(bytes, &back);
    QVERIFY(result.isRtf);
    QVERIFY(!result.damaged);
    QCOMPARE(back.toPlainText(), m_doc.toPlainText());
    QCOMPARE(formatOf(back, u"会议"_s), u"黑体 16 bold #c80000"_s);
    QCOMPARE(formatOf(back, u"主持人"_s), u"宋体 10.5"_s);
    QCOMPARE(formatOf(back, u"three"_s), u"Arial 12 italic underline"_s);
    QCOMPARE(formatOf(back, u"2。"_s), u"宋体 10.5 super"_s);
    QCOMPARE(formatOf(back, u"上"_s), u"宋体 10.5 offset100"_s);
}

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtf_libreoffice.moc"
