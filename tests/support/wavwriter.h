#pragma once

#include <QString>

namespace testing {

// Writes a 16-bit mono PCM WAV file holding a sine tone, for tests and benchmarks that need real
// media without shipping any. Returns false when the file cannot be written.
bool writeSineWav(const QString &path, double seconds, int sampleRate = 44100, double frequency = 440.0);

} // namespace testing
