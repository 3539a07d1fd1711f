#include "editor/textcodec.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodeBytesOnDisk_data();
    void encodeBytesOnDisk();
    void decode_data();
    void decode();
    void roundTrip();
};

void TestTextCodec::encodeBytesOnDisk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("GBK bytes, CR LF, no byte-order mark")
        << u"你好，世界\n第二行"_s << QByteArray("c4e3bac3a3accac0bde70d0ab5dab6fed0d0");
    QTest::newRow("paragraph and line separators are CR LF")
        << u"a\u2029b\u2028c\r\nd"_s << QByteArray("610d0a620d0a630d0a64");
    QTest::newRow("characters outside GBK keep their GB18030 codes")
        << u"𠀀😀¥한"_s << QByteArray("953282369439fc368130843683368433");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestTextCodec::encodeBytesOnDisk()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, hex);
    QCOMPARE(editor::encodePlainText(text).toHex(), hex);
}

void TestTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("GBK") << QByteArray::fromHex("c4e3bac30d0ab5dab6fe") << u"你好\n第二"_s;
    QTest::newRow("GB18030 four-byte characters") << QByteArray::fromHex("953282369439fc36") << u"𠀀😀"_s;
    QTest::newRow("euro as code page 936's single byte") << QByteArray::fromHex("80c4e3") << u"€你"_s;
    QTest::newRow("valid UTF-8 with non-ASCII") << u"你好\nsecond"_s.toUtf8() << u"你好\nsecond"_s;
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF") + u"é"_s.toUtf8() << u"é"_s;
    QTest::newRow("invalid UTF-8 is GBK") << QByteArray::fromHex("c4e3e4bda0") << u"你浣\uFFFD"_s;
    QTest::newRow("UTF-16 little-endian") << QByteArray::fromHex("fffe604f7d590d000a00") << u"你好\n"_s;
    QTest::newRow("UTF-16 big-endian") << QByteArray::fromHex("feff4f60597d000a0061") << u"你好\na"_s;
    QTest::newRow("zero byte ends GBK text") << QByteArray::fromHex("c4e300bac3") << u"你"_s;
    QTest::newRow("zero byte ends UTF-8 text") << QByteArray("\xe4\xbd\xa0\0\xe5\xa5\xbd", 7) << u"你"_s;
    QTest::newRow("UTF-8 whose last character is cut off is still UTF-8")
        << QByteArray("\xe4\xbd\xa0\xe5\xa5\0", 6) << u"你\uFFFD"_s;
    QTest::newRow("zero byte after a UTF-8 mark") << QByteArray("\xEF\xBB\xBF" "a\0b", 6) << u"a"_s;
    QTest::newRow("UTF-16 zero bytes are not the end; a zero character is")
        << QByteArray::fromHex("fffe6100620000006300") << u"ab"_s;
    QTest::newRow("LF, CR and CR LF are paragraph breaks") << QByteArray("a\nb\rc\r\nd\r\r\ne") << u"a\nb\nc\nd\n\ne"_s;
    QTest::newRow("ASCII") << QByteArray("plain") << u"plain"_s;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("only a zero byte") << QByteArray(1, '\0') << QString();
    QTest::newRow("odd byte after UTF-16 mark") << QByteArray::fromHex("fffe6100ff") << u"a"_s;
}

void TestTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(editor::decodePlainText(bytes), expected);
}

void TestTextCodec::roundTrip()
{
    const QString text = u"【1:23】主持人：今天讨论三个问题。\n第二段 with English, ¥100 and 𠀀.\n\n"_s;
    QCOMPARE(editor::decodePlainText(editor::encodePlainText(text)), text);
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
