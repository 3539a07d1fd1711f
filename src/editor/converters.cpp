#include "converters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

namespace editor {

QString Converter::filterLabel() const
{
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(';')) + QLatin1Char(')');
}

bool Converter::handles(const QString &extension) const
{
    if (extension.isEmpty())
        return false;
    const QString pattern = QStringLiteral("*.") + extension;
    return patterns.contains(pattern, Qt::CaseInsensitive);
}

QList<Converter> availableConverters()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return {};
    Converter c;
    c.name = QStringLiteral("Word/WPS文档");
    c.patterns = {QStringLiteral("*.doc"), QStringLiteral("*.docx"), QStringLiteral("*.wps"), QStringLiteral("*.odt")};
    c.convert = [soffice](const QString &path) { return convertWithLibreOffice(soffice, path, LibreOfficeTimeoutMs); };
    return {c};
}

ConversionResult convertWithLibreOffice(const QString &soffice, const QString &path, int timeoutMs)
{
    QTemporaryDir work;
    if (!work.isValid())
        return {{}, QStringLiteral("无法建立临时文件夹。")};

    // LibreOffice gets a copy under a plain ASCII name: no locale or quoting question about the user's file name.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString inDir = work.filePath(QStringLiteral("in"));
    const QString outDir = work.filePath(QStringLiteral("out"));
    QDir().mkpath(inDir);
    QDir().mkpath(outDir);
    const QString input
        = QDir(inDir).filePath(suffix.isEmpty() ? QStringLiteral("document") : QStringLiteral("document.") + suffix);
    if (!QFile::copy(path, input))
        return {{}, QStringLiteral("无法读取该文件。")};
    // LibreOffice reads whatever it cannot recognise as text; a damaged .docx would open as a page of noise.
    if (suffix == u"docx" || suffix == u"odt") {
        QFile copy(input);
        if (!copy.open(QIODevice::ReadOnly) || copy.read(4) != QByteArrayLiteral("PK\x03\x04"))
            return {{}, QStringLiteral("该文件已损坏或不是Word/WPS文档。")};
    }

    QProcess process;
    process.setProgram(soffice);
    process.setArguments({
        QStringLiteral("-env:UserInstallation=")
            + QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString(QUrl::FullyEncoded),
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--convert-to"),
        QStringLiteral("rtf"),
        QStringLiteral("--outdir"),
        outDir,
        input,
    });
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
    // soffice hands the work to a child process; a group of its own lets a timeout end them all.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    process.start();
    if (!process.waitForStarted(10000))
        return {{}, QStringLiteral("无法启动LibreOffice。")};
    if (!process.waitForFinished(timeoutMs)) {
        const qint64 pid = process.processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        process.kill();
        process.waitForFinished(5000);
        return {{}, QStringLiteral("LibreOffice转换该文件超时。")};
    }

    // soffice reports success even when it could not load the file; only the output tells.
    QFile output(QDir(outDir).filePath(QStringLiteral("document.rtf")));
    if (!output.open(QIODevice::ReadOnly) || output.size() == 0)
        return {{}, QStringLiteral("LibreOffice无法转换该文件，它可能已损坏或不是支持的格式。")};
    return {output.readAll(), {}};
}

} // namespace editor
