// Replaced by the libcurl client.
