#pragma once

#include <QByteArray>
#include <QString>

namespace testing {

// Encodes media with libmpv's own encoder, so tests and benchmarks need no extra tool. `source` is a
// file or anything libmpv opens, e.g. "av://lavfi:testsrc=duration=4[out0];sine=duration=4[out1]" for a
// video with sound. Codecs are libavcodec names ("libmp3lame", "aac", "mpeg4"); no video codec means
// audio only. Returns false, with the reason in *error, when nothing usable was written.
bool encodeMedia(const QString &source, const QString &target, const QByteArray &audioCodec,
    const QByteArray &videoCodec = QByteArray(), QString *error = nullptr);

} // namespace testing
