#include "editor/rtf/rtf.h"
#include "fuzzsupport.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startGuiForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    rtf::readRtf(bytes, &document);
    // What was read must write back and read again without trouble.
    const QByteArray written = rtf::writeRtf(&document);
    QTextDocument again;
    rtf::readRtf(written, &again);
    if (again.toPlainText() != document.toPlainText())
        __builtin_trap();
    return 0;
}
