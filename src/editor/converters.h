#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace editor {

struct ConversionResult
{
    QByteArray rtf;
    QString error; // empty on success; otherwise a sentence for the user
    bool ok() const { return error.isEmpty(); }
};

// A text-import converter: turns a document of another word processor into RTF the editor reads.
struct Converter
{
    QString name;
    QStringList patterns;
    std::function<ConversionResult(const QString &path)> convert;

    // "name (*.a;*.b)", the label of its entry in the open dialog.
    QString filterLabel() const;
    // Whether one of the patterns names this extension (lower case, without the dot).
    bool handles(const QString &extension) const;
};

// The converters this system offers now: LibreOffice's when `soffice` is on the PATH, else none.
QList<Converter> availableConverters();

// Runs LibreOffice headless on a copy of the file, in a private folder with a private profile, so a running
// LibreOffice of the user is neither used nor disturbed. Gives up after timeoutMs.
ConversionResult convertWithLibreOffice(const QString &soffice, const QString &path, int timeoutMs);

constexpr int LibreOfficeTimeoutMs = 60000;

} // namespace editor
