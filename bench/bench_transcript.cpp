// Transcript load and save: RTF and plain text against QTextDocument's own HTML import and export of the same
// document, measured side by side in one run.

#include "editor/rtf/rtf.h"
#include "editor/textcodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>

using namespace Qt::StringLiterals;

namespace {

const char16_t *const kSentences[] = {
    u"今天我们主要讨论三个方面的问题。",
    u"首先，关于今年上半年的工作情况，大家都已经看过材料了。",
    u"我补充几点意见，供大家参考。",
    u"第二个问题是预算的执行进度，目前完成了百分之六十二。",
    u"这个数字比去年同期略有提高，但距离目标还有差距。",
    u"请各部门在下周五之前把书面报告交上来。",
    u"刚才王主任提到的情况非常重要，我们要高度重视。",
    u"下面请财务部的同志介绍一下具体的安排。",
    u"好的，谢谢主持人，我简单说明一下。",
    u"会后请大家把意见汇总到办公室。",
    u"对于群众反映比较集中的问题，要逐条研究，限期答复。",
    u"另外，系统升级以后，操作流程有一些变化（详见附件二）。",
};

QTextDocument *makeTranscript(qsizetype targetRtfBytes)
{
    auto *doc = new QTextDocument;
    QTextCursor c(doc);
    QTextCharFormat body;
    body.setFontFamilies({u"宋体"_s});
    body.setFontPointSize(10.5);
    QTextCharFormat time = body;
    time.setForeground(QColor(0, 0, 200));
    QTextCharFormat speaker = body;
    speaker.setFontFamilies({u"黑体"_s});
    speaker.setFontWeight(QFont::Bold);
    QTextCharFormat marked = body;
    marked.setForeground(QColor(200, 0, 0));
    marked.setFontUnderline(true);
    QTextCharFormat latin;
    latin.setFontFamilies({u"Arial"_s});
    latin.setFontPointSize(10.5);
    latin.setFontItalic(true);

    std::mt19937 random(42);
    const int sentenceCount = int(std::size(kSentences));
    const QString speakers[] = {u"主持人："_s, u"王主任："_s, u"李科长："_s, u"记录员："_s};
    int seconds = 0;
    // About 8 bytes of RTF per Chinese character.
    qsizetype estimate = 0;
    bool first = true;
    while (estimate < targetRtfBytes) {
        if (!first)
            c.insertBlock();
        first = false;
        seconds += 7 + int(random() % 50);
        c.insertText(u"【%1:%2】"_s.arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')), time);
        c.insertText(speakers[random() % 4], speaker);
        const int sentences = 3 + int(random() % 6);
        for (int s = 0; s < sentences; ++s) {
            const QString sentence = QString::fromUtf16(kSentences[random() % sentenceCount]);
            switch (random() % 5) {
            case 0:
                c.insertText(sentence.left(4), marked);
                c.insertText(sentence.mid(4), body);
                break;
            case 1:
                c.insertText(sentence, body);
                c.insertText(u"(Q%1 report) "_s.arg(random() % 4 + 1), latin);
                break;
            default:
                c.insertText(sentence, body);
                break;
            }
            estimate += sentence.size() * 8 + 20;
        }
    }
    return doc;
}

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = qMin(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

long statusKb(const char *field)
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Peak resident memory that the work adds, in MiB, measured in a child process so that every measurement
// starts from the same heap.
double peakMiB(const std::function<void()> &work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        // Hand the parent's freed heap back to the system, so the work cannot hide in pages already resident.
        malloc_trim(0);
        {
            // Resets VmHWM to the current resident size.
            QFile clear(u"/proc/self/clear_refs"_s);
            if (clear.open(QIODevice::WriteOnly))
                clear.write("5");
        }
        const long before = statusKb("VmRSS");
        work();
        const long peak = statusKb("VmHWM");
        const long added = peak - before;
        const ssize_t written = write(pipeFds[1], &added, sizeof added);
        _exit(written == sizeof added ? 0 : 1);
    }
    close(pipeFds[1]);
    long added = -1;
    if (read(pipeFds[0], &added, sizeof added) != sizeof added)
        added = -1;
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return added < 0 ? -1 : added / 1024.0;
}

void measure(const char *label, qsizetype targetBytes, int runs)
{
    QTextDocument *source = makeTranscript(targetBytes);
    const QByteArray rtf = rtf::writeRtf(source);
    const QString html = source->toHtml();
    const QByteArray plain = editor::encodePlainText(source->toPlainText());

    // Sanity: what we measure reads back as the same text.
    {
        QTextDocument check;
        rtf::readRtf(rtf, &check);
        if (check.toPlainText() != source->toPlainText())
            std::printf("warning: RTF did not read back the same text\n");
    }

    const double rtfLoad = bestOf(runs, [&] {
        QTextDocument d;
        rtf::readRtf(rtf, &d);
    });
    const double htmlLoad = bestOf(runs, [&] {
        QTextDocument d;
        d.setHtml(html);
    });
    const double plainLoad = bestOf(runs, [&] {
        QTextDocument d;
        d.setPlainText(editor::decodePlainText(plain));
    });
    const double rtfSave = bestOf(runs, [&] { (void)rtf::writeRtf(source); });
    const double htmlSave = bestOf(runs, [&] { (void)source->toHtml(); });
    const double plainSave = bestOf(runs, [&] { (void)editor::encodePlainText(source->toPlainText()); });

    const double rtfMem = peakMiB([&] {
        QTextDocument d;
        rtf::readRtf(rtf, &d);
    });
    const double htmlMem = peakMiB([&] {
        QTextDocument d;
        d.setHtml(html);
    });
    const double plainMem = peakMiB([&] {
        QTextDocument d;
        d.setPlainText(editor::decodePlainText(plain));
    });

    std::printf("\n%s: RTF %.2f MB, HTML %.2f MB (UTF-8), plain text %.2f MB, %d paragraphs, %d characters\n", label,
                rtf.size() / 1e6, html.toUtf8().size() / 1e6, plain.size() / 1e6, source->blockCount(),
                source->characterCount());
    std::printf("  %-22s %10s %12s %10s %8s %s\n", "measurement", "ours", "reference", "ratio", "target", "");
    auto row = [](const char *name, double ours, double ref, double target, const char *unit) {
        const double ratio = ours / ref;
        std::printf("  %-22s %8.1f%-2s %10.1f%-2s %9.2fx %7.2fx %s\n", name, ours, unit, ref, unit, ratio, target,
                    ratio <= target ? "ok" : "MISSED");
    };
    row("RTF load vs setHtml", rtfLoad, htmlLoad, 1.5, "ms");
    row("RTF save vs toHtml", rtfSave, htmlSave, 1.0, "ms");
    row("RTF load peak memory", rtfMem, htmlMem, 2.0, "MB");
    std::printf("  %-22s %8.1fms  (setPlainText of the decoded GB18030 text)\n", "plain load", plainLoad);
    std::printf("  %-22s %8.1fms  (encode toPlainText as GB18030, CR LF)\n", "plain save", plainSave);
    std::printf("  %-22s %8.1fMB\n\n", "plain load peak memory", plainMem);
    delete source;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool quick = app.arguments().contains(u"--quick"_s);
    std::printf("best of several runs each; peak memory is the resident size a load adds, in a child process\n");
    measure("about 1 MB of RTF", 1000000, quick ? 2 : 5);
    if (!quick)
        measure("about 10 MB of RTF", 10000000, 2);
    return 0;
}
