#include "editor/textcodec.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = editor::decodePlainText(bytes);
    // A saved transcript never holds a zero byte, or reading it back would cut it short.
    const QByteArray saved = editor::encodePlainText(text);
    if (!text.contains(QChar(0)) && saved.contains('\0'))
        __builtin_trap();
    return 0;
}
