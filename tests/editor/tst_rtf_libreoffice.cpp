#include "editor/rtf/rtf.h"
#include "editor/textcodec.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

// What we write must come back from another program's reader with the same text; LibreOffice runs here.
class TestRtfLibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void textSurvivesLibreOffice();
};

void TestRtfLibreOffice::textSurvivesLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");

    QTextDocument doc;
    QTextCursor c(&doc);
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
    QTextCharFormat super = song;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(u"会议纪要"_s, title);
    c.insertBlock();
    c.insertText(u"【1:23】主持人：今天讨论"_s, song);
    c.insertText(u"three {braces} \\ and café"_s, latin);
    c.insertText(u"，面积 10 m"_s, song);
    c.insertText(u"2"_s, super);
    c.insertText(u"。\t罕见字𠀀、¥、€、한국。"_s, song);
    c.insertBlock();
    c.insertText(u"最后一段"_s, song);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString rtfPath = dir.filePath(u"transcript.rtf"_s);
    {
        QFile f(rtfPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(rtf::writeRtf(&doc));
    }

    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(soffice, {u"-env:UserInstallation=file://"_s + dir.filePath(u"profile"_s), u"--headless"_s,
                      u"--convert-to"_s, u"txt:Text (encoded):UTF8"_s, u"--outdir"_s, dir.path(), rtfPath});
    QVERIFY(p.waitForStarted());
    QVERIFY2(p.waitForFinished(240000), "LibreOffice did not finish");
    QFile out(dir.filePath(u"transcript.txt"_s));
    QVERIFY2(out.open(QIODevice::ReadOnly), p.readAll().constData());

    QString text = editor::decodePlainText(out.readAll());
    while (text.endsWith(u'\n'))
        text.chop(1);
    QCOMPARE(text, doc.toPlainText());
}

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtf_libreoffice.moc"
