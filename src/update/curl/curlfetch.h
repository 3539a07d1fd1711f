#pragma once

#include <QByteArray>

namespace update::curl {

// Bounds a request so that a hung network cannot freeze the program and a hostile server cannot fill memory.
struct FetchLimits
{
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 15000;
    qsizetype maxBodyBytes = 8 * 1024 * 1024;
};

// HTTP GET of address (http or https), synchronous. Returns the body whatever the status code; when the transfer
// fails or hits a bound part-way, the bytes read until then; empty when nothing was read.
// For the GUI thread only: the one curl handle is set up on first use and kept for the whole run.
QByteArray fetchPage(const QByteArray &address, const FetchLimits &limits = {});

} // namespace update::curl
