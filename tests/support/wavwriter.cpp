#include "support/wavwriter.h"

#include <QByteArray>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>

namespace testing {

namespace {

void append32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void append16(QByteArray &bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

} // namespace

bool writeSineWav(const QString &path, double seconds, int sampleRate, double frequency)
{
    const auto samples = static_cast<quint32>(std::llround(seconds * sampleRate));
    const quint32 dataBytes = samples * 2;
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(44 + dataBytes));
    bytes.append("RIFF", 4);
    append32(bytes, 36 + dataBytes);
    bytes.append("WAVEfmt ", 8);
    append32(bytes, 16);
    append16(bytes, 1); // PCM
    append16(bytes, 1); // mono
    append32(bytes, static_cast<quint32>(sampleRate));
    append32(bytes, static_cast<quint32>(sampleRate) * 2);
    append16(bytes, 2);
    append16(bytes, 16);
    bytes.append("data", 4);
    append32(bytes, dataBytes);
    const double step = 2.0 * M_PI * frequency / sampleRate;
    for (quint32 i = 0; i < samples; ++i)
        append16(bytes, static_cast<quint16>(static_cast<qint16>(std::lround(8000.0 * std::sin(step * i)))));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace testing
