#include "common/qtdialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestQtDialogs : public QObject
{
    Q_OBJECT

private slots:
    void filterPatterns_data();
    void filterPatterns();
};

void TestQtDialogs::filterPatterns_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("patterns");
    QTest::newRow("one pattern") << u"文本文件(*.txt)"_s << QStringList{u"*.txt"_s};
    QTest::newRow("patterns joined by semicolons")
        << u"Word/WPS文档 (*.doc;*.docx;*.wps;*.odt)"_s << QStringList{u"*.doc"_s, u"*.docx"_s, u"*.wps"_s, u"*.odt"_s};
    QTest::newRow("patterns joined by blanks") << u"图片 (*.png *.jpg)"_s << QStringList{u"*.png"_s, u"*.jpg"_s};
    QTest::newRow("star dot star is every file, also without a dot") << u"所有文件(*.*)"_s << QStringList{u"*"_s};
    QTest::newRow("parentheses in the label") << u"文档(新) (*.rtf)"_s << QStringList{u"*.rtf"_s};
    QTest::newRow("no parentheses") << u"所有文件"_s << QStringList{};
}

void TestQtDialogs::filterPatterns()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, patterns);
    QCOMPARE(common::patternsOfFilter(filter), patterns);
}

QTEST_GUILESS_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
